// State of the posting engine shared by its parts (not for other code).
#pragma once

#include <vector>

#include "core/amount.h"
#include "core/text_helpers.h"
#include "posting/posting_engine.h"

namespace talvera::posting {

struct EngineOptions {
  PostingMode mode = PostingMode::kOrdinary;
  bool suppressCollectiveRecords = false;
  bool fromBatch = false;
  std::vector<BalanceChangeListener> balanceListeners;
  BookingListener bookingListener = nullptr;
};
EngineOptions& Options();

// Journal flags.
enum JournalFlag : unsigned {
  kCarryForwardRecord = 2,
  kClosingPosting = 4,
  kCollectiveRecord = 8,
  kReclassification = 0x10,
  kNegativeGross = 0x20,
  kFirstOfBooking = 0x40,
  kSplitOneToMany = 0x80,
  kSplitManyToOne = 0x100,
  kSettlementPosting = 0x200,
  kCancelled = 0x400,  // on the first record of a booking that a storno cancelled
  kFurtherRecordsUnit = 0x800,
};

// Reads an account record of a kind (2, 4, 8) by number from the working
// year; found = false when missing. record must hold the kind's length.
bool ReadAccount(int kind, const char* number, void* record, bool& found);
int SlotOfKind(int kind);
// Sachkonto type (2, 4, 8) of an account; 0 when it is no Sachkonto.
bool SachkontoType(const char* number, int& type);
void NotifyBalanceChange(const char* account, unsigned periodMask);
// Period of a date as a 1-based number.
int PeriodOf(const char* date);
// Messages of the engine.
enum Message : int {
  kMessageBadRate = 15,
  kMessageOutsideYears = 83,
  kMessageNoTaxAccount = 92,
  kMessageOpenItemsFailed = 150,
  kMessageFilesOfYear = 201,
  kMessageBatchTaxMissing = 704,
  kMessageTaxMissing = 705,
  kMessageFixedRate = 737,
  kMessageSumOverflow = 745,
  kMessageCostCentresTwoPl = 752,
  kMessageDeductionAccounts = 768,
  kMessageCollectiveDirect = 770,
  kMessageAccountMissing = 799,
};
// Shows message 799 naming the account.
void ReportMissingAccount(const char* account);
// Reads an account that must exist in the working year: message 799 when it does not.
bool ReadExistingAccount(int kind, const char* number, void* record);

}  // namespace talvera::posting
