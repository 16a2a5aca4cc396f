// Booking texts (butext) and booking templates (buscha): the lists that
// speed up entry. Both files live in the current year's directory. A
// template fills document number, accounts, cost centres and text of a
// booking in one choice; its accounts may be short codes and the
// placeholders "<Debi>" / "<Kred>", resolved when it is applied.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "posting/booking_controls.h"
#include "posting/booking_draft.h"

namespace talvera {

// ---- Booking texts ------------------------------------------------------

// All texts in key (alphabetical) order.
bool ListBookingTexts(std::vector<std::string>& out);
// Adds a text unless it is there already (added = false then). An empty
// text is refused with message 2.
CheckResult AddBookingText(const std::string& text, bool& added);
// Deletes one record of the text; found = false when there is none.
bool DeleteBookingText(const std::string& text, bool& found);

// ---- Booking templates --------------------------------------------------

struct BookingTemplate {
  long id = 0;
  std::string name;
  std::string documentNumber;
  std::string debit, credit;   // as typed: number, short code or placeholder
  std::string costCentre1, costCentre2;
  std::string text;
  bool keepDocumentNumber = false;
};

// All templates in name order.
bool ListTemplates(std::vector<BookingTemplate>& out);
bool FindTemplate(const std::string& name, BookingTemplate& out, bool& found);
// "&Neu": inserts a template (its id is filled in); "&Ändern" rewrites the
// template of that id; "&Löschen" deletes it.
bool InsertTemplate(BookingTemplate& t);
bool UpdateTemplate(const BookingTemplate& t);
bool DeleteTemplate(long id);

// Names the customer or vendor a placeholder stands for: returns false
// when the user chose none.
using PersonalAccountChooser = std::function<bool(AccountKind kind, std::string& accountOut)>;

// Fills the draft from a template: the document number only when the
// template has one, the keep-number state, both accounts (short codes as
// their numbers, placeholders through `choose`; a placeholder without a
// choice leaves the field empty), text and cost centres. Then the accounts
// are evaluated as if typed (the tax proposal). `debitOut`/`creditOut`
// receive what was found, for the names and balances.
bool ApplyTemplate(const BookingTemplate& t, BookingDraft& draft, const PersonalAccountChooser& choose,
                   AccountRef& debitOut, AccountRef& creditOut);

}  // namespace talvera
