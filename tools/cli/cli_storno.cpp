#include "tools/cli/cli_storno.h"

#include <map>

#include "core/dialog_fields.h"
#include "core/field_readers.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "posting/journal_search.h"
#include "posting/posting_state.h"
#include "posting/storno.h"
#include "tools/cli/cli_session.h"

namespace talvera::cli {
namespace {

constexpr std::size_t kListLimit = 5000;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

class DateField : public DialogFields {
 public:
  explicit DateField(std::string text) : text_(std::move(text)) {}
  std::string FieldText(int) const override { return text_; }
  void SetFieldText(int, std::string_view) override {}
  void EnableField(int, bool) override {}

 private:
  std::string text_;
};

}  // namespace

int CancelByDocumentNumber(const std::string& documentNumber, const std::string& date, std::string& error) {
  std::string stornoDate;
  if (!date.empty()) {
    char parsed[11] = "";
    DateField field(date);
    if (!ReadDateField(field, 1, parsed)) return kExitRefused;
    stornoDate = parsed;
  }
  JournalFilter filter;
  filter.voucherPrefix = documentNumber;
  std::vector<JournalBooking> found;
  bool more = false;
  if (!FindBookings(filter, kListLimit, found, more)) return kExitRefused;
  std::vector<JournalBooking> matching;
  for (JournalBooking& b : found)
    if (!b.lines.empty() && Trimmed(b.lines.front().voucherNo) == documentNumber) matching.push_back(std::move(b));
  if (matching.empty()) {
    error = "Im Geschäftsjahr " + WorkingYear() + " gibt es keine Buchung mit dem Beleg " + documentNumber + ".";
    return kExitRefused;
  }
  // A storno carries the document number of the booking it cancels: once a
  // booking of the number is cancelled, which one is meant is the user's
  // choice in the storno list.
  for (const JournalBooking& b : matching) {
    if (b.lines.front().flags & posting::kCancelled) {
      error = "Eine Buchung mit dem Beleg " + documentNumber +
              " ist bereits storniert; wählen Sie im Programm (Buchen › Stornieren), welche gemeint ist.";
      return kExitRefused;
    }
  }
  if (matching.size() > 1) {
    error = "Den Beleg " + documentNumber + " tragen " + std::to_string(matching.size()) +
            " Buchungen; stornieren Sie diese im Programm (Buchen › Stornieren).";
    return kExitRefused;
  }
  StornoRun run = CancelSelectedBookings(matching, stornoDate);
  SwitchWorkingYear(CurrentMandant().currentYear);
  if (run.posted == 1) return kExitOk;
  if (run.skipped == 1 && error.empty()) error = "Die Buchung liegt im gesperrten Zeitraum und wird nicht storniert.";
  return kExitRefused;
}

}  // namespace talvera::cli
