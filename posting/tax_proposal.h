// The tax an entry path proposes for a pair of accounts: which side carries
// the net amount, the rate class and rate record valid at the document
// date, and the rate. The user may change the rate; the engine resolves the
// final class and tax account from what the booking holds.
#pragma once

#include "core/amount.h"
#include "posting/booking_accounts.h"

namespace talvera {

struct TaxProposal {
  int taxSide = 0;          // 0 no tax, 1 the credit account carries the net amount, 2 the debit account
  int taxClass = 0;         // rate class of the net-side account's tax key (1, 2, 4, 8, 16, 128), 0 none
  int rateIndex = 0;        // index of the rate record valid at the document date
  RateText rate = "00,00";
  bool rateEnabled = false; // the rate field takes input (a tax side was found)
  bool ecCase = false;      // intra-Community: foreign customer or vendor with an identification number
};

// The proposal for the accounts of a booking dated `documentDate` (DDPPYY).
// False only when the record store failed (reported).
bool ProposeTax(const AccountRef& debit, const AccountRef& credit, const char* documentDate,
                TaxProposal& out);

// Whether the rate of a class splits the gross amount into net and tax. A
// § 13b rate is the rate of the tax the recipient owes: the invoice carries
// none, its gross amount is the net amount, and the engine writes the tax.
bool RateSplitsGross(int taxClass);

// The rate as the rate field shows it: "07,00" as "7,00".
std::string RateForDisplay(const char* rate);

// Net and tax of a gross amount at a rate: net = gross * 100 / (100 + rate)
// with the sign of the gross amount, tax = gross - net. False when an input
// is malformed.
bool SplitGross(const char* gross, const char* rate, char* netOut, char* taxOut);

}  // namespace talvera
