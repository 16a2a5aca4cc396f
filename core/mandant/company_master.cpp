#include "core/mandant/company_master.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "core/layouts/fista.h"
#include "core/layouts/layout.h"
#include "core/mandant/load_mandant.h"
#include "core/mandant/mandant_directory.h"
#include "core/mandant_values.h"
#include "core/message.h"

namespace talvera {
namespace {

namespace F = layouts::fista;

enum : int {
  kMessageInputMissing = 2,
  kMessageNotChanged = 191,
  kMessageNameExists = 401,
};
constexpr std::size_t kLongTaxNumber = 13;

bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

std::size_t Characters(const std::string& utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

struct TextField {
  std::string CompanyMaster::*member;
  layouts::Field field;
};
const TextField kTextFields[] = {
    {&CompanyMaster::name, F::kCompanyName},
    {&CompanyMaster::nameExtra, F::kCompanyNameExtra},
    {&CompanyMaster::street, F::kCompanyStreet},
    {&CompanyMaster::town, F::kCompanyTown},
    {&CompanyMaster::phone, F::kTelephone},
    {&CompanyMaster::vatId, F::kVatId},
    {&CompanyMaster::taxOffice, F::kTaxOffice},
    {&CompanyMaster::taxOfficeStreet, F::kTaxOfficeStreet},
    {&CompanyMaster::taxOfficeTown, F::kTaxOfficeTown},
};

bool CheckRequired(const CompanyMaster& c) {
  using namespace stammdat;
  for (auto [text, id] : {std::pair{&c.name, kName}, {&c.taxOffice, kTaxOffice},
                          {&c.taxNumber, kTaxNumber}}) {
    if (Blank(*text)) {
      ShowMessage(kMessageInputMissing, id);
      return false;
    }
  }
  return true;
}

bool NameUsedByOther(const std::string& name, int number, bool& used) {
  std::vector<MandantEntry> all;
  if (!ListMandants(all)) return false;
  // Compared as the record would hold it.
  char probe[F::kLayout.recordLength] = {};
  layouts::SetText(probe, F::kCompanyName, name);
  std::string stored = layouts::GetText(probe, F::kCompanyName);
  used = std::any_of(all.begin(), all.end(),
                     [&](const MandantEntry& e) { return e.number != number && e.name == stored; });
  return true;
}

void Write(const CompanyMaster& c, void* record) {
  for (const TextField& t : kTextFields) layouts::SetText(record, t.field, c.*t.member);
  bool longNumber = Characters(c.taxNumber) >= kLongTaxNumber;
  layouts::SetText(record, F::kTaxNumberShort, longNumber ? "" : c.taxNumber);
  layouts::SetText(record, F::kTaxNumberLong, longNumber ? c.taxNumber : "");
  layouts::SetNumber(record, F::kFederalState, c.federalState);
}

}  // namespace

CompanyMaster CurrentCompanyMaster() {
  const char* record = CurrentMandant().masterRecord;
  CompanyMaster c;
  for (const TextField& t : kTextFields) c.*t.member = layouts::GetText(record, t.field);
  c.taxNumber = layouts::GetText(record, F::kTaxNumberShort);
  if (c.taxNumber.empty()) c.taxNumber = layouts::GetText(record, F::kTaxNumberLong);
  c.federalState = static_cast<int>(layouts::GetNumber(record, F::kFederalState));
  return c;
}

bool SaveCompanyMaster(const CompanyMaster& master) {
  if (!CheckRequired(master)) return false;
  int number = CurrentMandant().number;
  bool used = false;
  if (!NameUsedByOther(master.name, number, used)) return false;
  if (used) {
    ShowMessage(kMessageNameExists, stammdat::kName);
    return false;
  }
  char written[F::kLayout.recordLength];
  bool ok = ChangeMandantRecord(number, [&](void* record) {
    Write(master, record);
    std::memcpy(written, record, sizeof written);
    return true;
  });
  if (!ok) {
    ShowMessage(kMessageNotChanged);
    return false;
  }
  TakeMandantValues(number, written);
  return true;
}

}  // namespace talvera
