#include "posting/booking_texts.h"

#include <cstring>

#include "core/cp1252.h"
#include "core/layouts/buscha.h"
#include "core/layouts/butext.h"
#include "core/record_store.h"

namespace talvera {
namespace {

namespace butext = layouts::butext;
namespace buscha = layouts::buscha;

constexpr int kMessageEmpty = 2;
constexpr FileId kTextsByText = MakeFileId(kSlotButext, 0);
constexpr FileId kTemplatesById = MakeFileId(kSlotBuscha, 0);
constexpr FileId kTemplatesByName = MakeFileId(kSlotBuscha, 1);

// Keeps a file open for the calls of one operation (an update or delete
// needs the position the read left), closed afterwards unless it was open.
class SlotOpen {
 public:
  explicit SlotOpen(int slot) : slot_(slot), wasOpen_(IsSlotOpen(slot)), ok_(OpenSlot(slot)) {}
  ~SlotOpen() {
    if (!wasOpen_) CloseSlot(slot_);
  }
  SlotOpen(const SlotOpen&) = delete;
  SlotOpen& operator=(const SlotOpen&) = delete;
  bool ok() const { return ok_; }

 private:
  int slot_;
  bool wasOpen_, ok_;
};

// Every record of a file in the order of a key.
template <typename Visit>
bool ForEach(int slot, FileId id, int length, Visit visit) {
  SlotOpen open(slot);
  if (!open.ok()) return false;
  std::vector<char> r(static_cast<std::size_t>(length));
  bool found = false;
  bool ok = GetFirstFound(r.data(), found, id);
  while (ok && found) {
    visit(r.data());
    ok = GetNextFound(r.data(), found, id);
  }
  return ok;
}

KeyValue TextKey(const std::string& utf8, const layouts::Field& field) {
  std::string cp = Utf8ToCp1252(utf8);
  if (cp.size() > static_cast<std::size_t>(field.width - 1)) cp.resize(field.width - 1);
  return KeyValue(cp.data(), static_cast<int>(cp.size()));
}

BookingTemplate FromRecord(const void* r) {
  BookingTemplate t;
  t.id = layouts::GetNumber(r, buscha::kId);
  t.name = layouts::GetText(r, buscha::kName);
  t.documentNumber = layouts::GetText(r, buscha::kVoucherNo);
  t.debit = layouts::GetText(r, buscha::kDebitAccount);
  t.credit = layouts::GetText(r, buscha::kCreditAccount);
  t.costCentre1 = layouts::GetText(r, buscha::kCostCentre1);
  t.costCentre2 = layouts::GetText(r, buscha::kCostCentre2);
  t.text = layouts::GetText(r, buscha::kText);
  t.keepDocumentNumber = layouts::GetNumber(r, buscha::kKeepVoucherNo) != 0;
  return t;
}

void ToRecord(const BookingTemplate& t, void* r) {
  layouts::InitRecord(buscha::kLayout, r);
  layouts::SetNumber(r, buscha::kId, t.id);
  layouts::SetText(r, buscha::kName, t.name);
  layouts::SetText(r, buscha::kVoucherNo, t.documentNumber);
  layouts::SetText(r, buscha::kDebitAccount, t.debit);
  layouts::SetText(r, buscha::kCreditAccount, t.credit);
  layouts::SetText(r, buscha::kCostCentre1, t.costCentre1);
  layouts::SetText(r, buscha::kCostCentre2, t.costCentre2);
  layouts::SetText(r, buscha::kText, t.text);
  layouts::SetNumber(r, buscha::kKeepVoucherNo, t.keepDocumentNumber ? 1 : 0);
}

bool ReadTemplateById(long id, std::vector<char>& r, bool& found) {
  r.assign(buscha::kLayout.recordLength, 0);
  layouts::SetNumber(r.data(), buscha::kId, id);
  return GetEqual(r.data(), KeyValue(r.data(), 4), found, kTemplatesById);
}

// A template's account: short codes as numbers, placeholders chosen.
std::string TemplateAccount(const std::string& typed, const PersonalAccountChooser& choose) {
  AccountKind placeholder = PlaceholderKind(typed);
  if (placeholder != kNoAccount) {
    std::string chosen;
    if (!choose || !choose(placeholder, chosen)) return {};
    return chosen;
  }
  AccountRef a;
  if (ResolveAccountText(typed, a) && a.found()) {
    std::string number = a.number;
    return number.substr(number.find_first_not_of(' '));
  }
  return typed;
}

}  // namespace

bool ListBookingTexts(std::vector<std::string>& out) {
  out.clear();
  return ForEach(kSlotButext, kTextsByText, butext::kLayout.recordLength,
                 [&](const void* r) { out.push_back(layouts::GetText(r, butext::kText)); });
}

CheckResult AddBookingText(const std::string& text, bool& added) {
  added = false;
  if (text.find_first_not_of(' ') == std::string::npos) return CheckResult::Refuse(kMessageEmpty, 0);
  SlotOpen open(kSlotButext);
  if (!open.ok()) return CheckResult::Refuse(0, 0);
  std::vector<char> r(butext::kLayout.recordLength);
  bool found = false;
  bool ok = GetEqual(r.data(), TextKey(text, butext::kText), found, kTextsByText);
  if (ok && !found) {
    layouts::InitRecord(butext::kLayout, r.data());
    layouts::SetText(r.data(), butext::kText, text);
    ok = Insert(r.data(), kTextsByText);
    added = ok;
  }
  return ok ? CheckResult::Pass() : CheckResult::Refuse(0, 0);
}

bool DeleteBookingText(const std::string& text, bool& found) {
  SlotOpen open(kSlotButext);
  if (!open.ok()) return false;
  std::vector<char> r(butext::kLayout.recordLength);
  found = false;
  bool ok = GetEqual(r.data(), TextKey(text, butext::kText), found, kTextsByText);
  if (ok && found) ok = Delete(kSlotButext);
  return ok;
}

bool ListTemplates(std::vector<BookingTemplate>& out) {
  out.clear();
  return ForEach(kSlotBuscha, kTemplatesByName, buscha::kLayout.recordLength,
                 [&](const void* r) { out.push_back(FromRecord(r)); });
}

bool FindTemplate(const std::string& name, BookingTemplate& out, bool& found) {
  SlotOpen open(kSlotBuscha);
  if (!open.ok()) return false;
  std::vector<char> r(buscha::kLayout.recordLength);
  bool ok = GetEqual(r.data(), TextKey(name, buscha::kName), found, kTemplatesByName);
  if (ok && found) out = FromRecord(r.data());
  return ok;
}

bool InsertTemplate(BookingTemplate& t) {
  SlotOpen open(kSlotBuscha);
  if (!open.ok()) return false;
  std::vector<char> r(buscha::kLayout.recordLength);
  BookingTemplate fresh = t;
  fresh.id = 0;
  ToRecord(fresh, r.data());
  bool ok = Insert(r.data(), kTemplatesById);
  if (ok) t.id = layouts::GetNumber(r.data(), buscha::kId);
  return ok;
}

bool UpdateTemplate(const BookingTemplate& t) {
  SlotOpen open(kSlotBuscha);
  if (!open.ok()) return false;
  std::vector<char> r;
  bool found = false;
  bool ok = ReadTemplateById(t.id, r, found) && found;
  if (ok) {
    ToRecord(t, r.data());
    ok = Update(r.data(), kTemplatesById);
  }
  return ok;
}

bool DeleteTemplate(long id) {
  SlotOpen open(kSlotBuscha);
  if (!open.ok()) return false;
  std::vector<char> r;
  bool found = false;
  bool ok = ReadTemplateById(id, r, found) && found && Delete(kSlotBuscha);
  return ok;
}

bool ApplyTemplate(const BookingTemplate& t, BookingDraft& draft, const PersonalAccountChooser& choose,
                   AccountRef& debitOut, AccountRef& creditOut) {
  if (!t.documentNumber.empty()) draft.documentNumber = t.documentNumber;
  draft.keepDocumentNumber = t.keepDocumentNumber;
  draft.debit = TemplateAccount(t.debit, choose);
  draft.credit = TemplateAccount(t.credit, choose);
  draft.text = t.text;
  draft.costCentre1 = t.costCentre1;
  draft.costCentre2 = t.costCentre2;
  return ProposeDraftTax(draft, debitOut, creditOut);
}

}  // namespace talvera
