// The figures of one account as the evaluations read them, the same for
// Sachkonten, Kreditoren and Debitoren, and a walk over the accounts of one
// kind in number or short-code order.
//
// Amounts are held in cents: the lists add thousands of them, and a cent
// count adds exactly as the amount texts do.
#pragma once

#include <functional>
#include <string>

#include "core/text_helpers.h"

namespace talvera {

struct AccountValues {
  AccountKind kind = kNoAccount;
  std::string number;     // "   1000", Windows-1252 as every text here
  std::string shortCode;
  std::string name;
  int accountClass = 0;   // Sachkonten: 0 none, 2 asset, 4 liability, 8 P&L
  long long openingDebit = 0, openingCredit = 0;
  long long periodDebit[12] = {}, periodCredit[12] = {};
  long long closingDebit = 0, closingCredit = 0;
  const void* record = nullptr;  // the record read, for fields only one list needs
};

// Reads the record of `kind` (2, 4, 8) into values; false when an amount
// field holds no amount.
bool ReadAccountValues(AccountKind kind, const void* record, AccountValues& out);

// Calls `visit` for every account of the kind in number order (key 0) or
// short-code order (key 2: short code, then number), until it returns
// false. False when the store failed (reported) or visit stopped it.
bool ForEachAccount(AccountKind kind, bool byNumber,
                    const std::function<bool(const AccountValues&)>& visit);

// The record-store slot of an account kind; -1 for no kind.
int AccountSlot(AccountKind kind);
// Whether the kind's file holds no account; failures count as empty.
bool NoAccountsOf(AccountKind kind);

// Amount texts for report fields: "1.234,50"; BlankZero leaves zero empty.
std::string DisplayAmount(long long cents);
std::string DisplayAmountBlankZero(long long cents);
// A date DDPPYY as "15.03.96" (or with a four-digit year).
std::string DisplayDate(const char* date, bool fourDigitYear = false);
// UTF-8 literal to the Windows-1252 of report lines.
std::string ReportText(std::string_view utf8);

}  // namespace talvera
