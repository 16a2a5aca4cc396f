// A booking as an entry path collects it: the fields of the entry dialog
// as typed, before the confirm checks turn them into a booking record (the
// layout of bat that the posting engine takes). The posting dialog, batch
// entry, splits, opening postings, imports and the command line all fill
// a draft and run the same checks (booking_checks.h).
#pragma once

#include <string>
#include <vector>

#include "posting/booking_accounts.h"
#include "posting/tax_proposal.h"

namespace talvera {

struct BookingDraft {
  // Texts as typed (UTF-8).
  std::string documentDate;    // "15.03.26", "150326", ...; also the posting date
  std::string documentNumber;  // up to 8 characters
  std::string debit, credit;   // account number or short code
  std::string gross;           // gross amount (home currency)
  std::string rate;            // tax rate; empty: the proposal's
  std::string tax;             // tax amount; empty: computed from the rate
  std::string text;            // booking text, up to 35 characters
  std::string costCentre1, costCentre2;
  int costCentreKind = 1;      // 1 "fix", 2 "variabel"
  bool keepDocumentNumber = false;
  // Foreign currency: enabled for a personal account kept in a currency.
  bool currencyEnabled = false;
  std::string currency, foreignAmount;
  int journalByte = 0;         // the KG layout's sign, kept in the line

  // The tax proposal for the accounts (ProposeDraftTax).
  TaxProposal proposal;
  // A split prepared by the split arithmetic (a whole booking record) and
  // whether its box is still checked; an unchecked split is discarded.
  std::vector<char> split;
  bool splitChecked = false;

  // Set by the checks: the home amount of a currency booking, for display.
  std::string homeAmount;
};

// Resolves both accounts and proposes the tax at the document date (the
// date typed, else today). The accounts found are returned for display.
bool ProposeDraftTax(BookingDraft& draft, AccountRef& debit, AccountRef& credit);

// An account as the entry dialog shows it beside its field.
struct AccountDisplay {
  AccountRef account;
  std::string balance;  // current balance, "1.234,50 S"; empty when not found
};

struct EvaluationOptions {
  bool textFromName = false;    // "NTB": a personal account's name becomes the booking text
  bool costAccounting = false;  // "KR": a Sachkonto's cost centres are proposed
};

// What leaving an account field does: both accounts are looked up; a
// customer or vendor fills an empty other field with its counter account,
// enables the currency fields when it is kept in a foreign currency (its
// currency preset) and, with "NTB", gives the text its name; a Sachkonto
// with cost centres proposes them when none are typed; then the tax is
// proposed (ProposeDraftTax).
bool EvaluateDraftAccounts(BookingDraft& draft, const EvaluationOptions& options,
                           AccountDisplay& debit, AccountDisplay& credit);

// The input of a booking record, as "&Rückgängig" brings a pending booking
// back into the fields: date, number, accounts and text; the gross amount
// summed over its lines (the foreign amount with a currency); rate and tax
// only for a one-line booking; the cost centres; a booking of several lines
// comes back as a checked split.
BookingDraft DraftFromBooking(const void* booking);

// Parses a typed amount (width 12) or rate (width 5) into out, which holds
// width + 1 bytes. False when the text is no amount.
bool ParseAmountText(const std::string& typed, int width, bool allowSign, char* out);

}  // namespace talvera
