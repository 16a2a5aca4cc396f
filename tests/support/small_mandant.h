// A small Mandant for posting tests and the posting benchmark, built from
// the real SKR 03 template: Debitor 10000 (30 days, 2 % discount within 10
// days), Kreditor 70000, cost centres 100 and 200, the collective accounts
// 1400 and 1600, the carry-forward account 0860 and the deduction accounts
// 3736 (Kreditoren) and 8736 (Debitoren).
#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "recman/recman.h"

namespace talvera::testing {

inline bool InsertByPath(const std::string& path, void* record) {
  bool ok = OpenPath(path, kSlotScratch) && Insert(record, kSlotScratch);
  CloseSlot(kSlotScratch);
  return ok;
}

inline bool AddPersonalAccount(const std::string& dir, const char* file, const char* number,
                               const char* code, const char* name, int discountDays, int paymentDays,
                               const char* percent) {
  namespace p = layouts::personal;
  std::vector<char> r(p::kLayout.recordLength);
  layouts::InitRecord(p::kLayout, r.data());
  layouts::SetRawText(r.data(), p::kAccountNo, number);
  layouts::SetText(r.data(), p::kShortCode, code);
  layouts::SetText(r.data(), p::kName, name);
  layouts::SetNumber(r.data(), p::kDiscountDays, discountDays);
  layouts::SetNumber(r.data(), p::kPaymentDays, paymentDays);
  layouts::SetRawText(r.data(), p::kDiscountPercent, percent);
  return InsertByPath(dir + "/" + file + ".btr", r.data());
}

inline bool AddCostCentre(const std::string& dir, const char* number, const char* code) {
  namespace k = layouts::kore;
  std::vector<char> r(k::kLayout.recordLength);
  layouts::InitRecord(k::kLayout, r.data());
  layouts::SetRawText(r.data(), k::kNumber, number);
  layouts::SetText(r.data(), k::kShortCode, code);
  return InsertByPath(dir + "/kore.btr", r.data());
}

// The Mandant's values and settings: fiscal years `current` and `previous`.
inline void SetSmallMandantValues(const char* current, const char* previous) {
  SetMandantNumber(1);
  MandantValues& m = CurrentMandant();
  m = MandantValues{};
  std::strcpy(m.receivablesAccount, "   1400");
  std::strcpy(m.payablesAccount, "   1600");
  std::strcpy(m.carryForwardAccount, "   0860");
  std::strcpy(m.vatId, "DE123456789");
  SetFiscalYears(current, previous);
  MandantSettings& s = CurrentMandantSettings();
  s = MandantSettings{};
  for (int i = 0; i < 3; ++i) s.ab[i] = "   3736";
  for (int i = 3; i < 6; ++i) s.ab[i] = "   8736";
}

// The files of one fiscal year; `charts` holds the chart templates.
inline bool BuildSmallMandantYear(const std::string& charts, const std::string& year) {
  std::string dir = YearDirectory(year);
  std::filesystem::create_directories(dir);
  for (const char* file : {"sako", "steke"})
    if (recman::CopyFile(charts + "/" + file + ".bt3", dir + "/" + file + ".btr") != 0) return false;
  for (const char* file :
       {"bube", "debi", "kred", "kore", "bat", "bank", "ueberw", "opkred", "opdebi", "stapel"})
    if (!layouts::CreateFile(dir, file)) return false;
  return AddPersonalAccount(dir, "debi", "  10000", "Meier", "Meier GmbH", 10, 30, "02,00") &&
         AddPersonalAccount(dir, "kred", "  70000", "Lief", "Lieferant AG", 0, 0, "00,00") &&
         AddCostCentre(dir, "    100", "Verw") && AddCostCentre(dir, "    200", "Vertr");
}

}  // namespace talvera::testing
