// The fixed Mandant of the report tests: "Muster GmbH", calendar fiscal
// year 1996 (standard rate 15 %), a dozen Sachkonten, one Debitor, one
// Kreditor, small structure trees and nine bookings whose figures were
// worked out by hand (fixed_mandant.md). Golden reports of every
// evaluation are built from it; the bookings go through the posting
// engine, so totals and journal agree as they would in real books.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/layouts/bube.h"
#include "core/layouts/create_file.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/layouts/structure.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/structure_file.h"
#include "core/today.h"
#include "posting/posting_engine.h"
#include "posting/posting_fixture.h"
#include "recman/recman.h"
#include "support/small_mandant.h"
#include "support/temp_dir.h"
#include "tax/tax_rates.h"

namespace talvera::testing {

struct FixedSachkonto {
  const char* number;
  const char* shortCode;
  const char* name;
  int accountClass;
  int taxKey;
};

// Opening values are written by the opening records below.
inline constexpr FixedSachkonto kFixedSachkonten[] = {
    {"800", "KAP", "Gezeichnetes Kapital", 4, 0},
    {"860", "GVV", "Gewinnvortrag", 4, 0},
    {"1000", "KASSE", "Kasse", 2, 0},
    {"1200", "BANK", "Bank", 2, 0},
    {"1400", "FORD", "Forderungen", 2, 0},
    {"1575", "VST", "Vorsteuer 15 %", 2, 0},
    {"1590", "DURCH", "Durchlaufende Posten", 2, 0},
    {"1600", "VERB", "Verbindlichkeiten", 4, 0},
    {"1775", "UST", "Umsatzsteuer 15 %", 4, 0},
    {"4210", "MIETE", "Miete", 8, 2 + 32},
    {"4900", "SONST", "Sonstige Kosten", 8, 0},
    {"8400", "ERL", "Erlöse 15 %", 8, 2},
    {"9000", "SVKTO", "Saldenvorträge", 0, 0},
};

struct FixedNode {
  long id;
  int kind;  // 1 leaf, 2 group
  long next, above;
  const char* label;  // a leaf's account number, right-aligned
};

class FixedMandantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "20.12.1996", 1);
    ResetDayToday();
    CurrentSettings() = Settings{};
    SetDataRoot(data_.path());
    SetSmallMandantValues("1996", "");
    MandantValues& m = CurrentMandant();
    std::strcpy(m.currentYear, "1996");
    std::strcpy(m.previousYear, "");
    std::strcpy(m.payablesAccount, "   1600");
    std::strcpy(m.receivablesAccount, "   1400");
    std::strcpy(m.carryForwardAccount, "    860");
    std::strcpy(m.companyName, "Muster GmbH");
    m.fiscalStartMonth = 1;
    ASSERT_TRUE(BuildYear());
    InstallRateLoading();
    ASSERT_TRUE(OpenMainFiles());
    SetPostingMode(PostingMode::kOrdinary);
    ASSERT_TRUE(PostFixedBookings());
    messages_.shown.clear();
  }

  void TearDown() override {
    SetMainFilesSeams({});
    SetPostingMode(PostingMode::kOrdinary);
    Transaction(kAbort);
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }

  static std::string Padded(const char* number) {
    char key[8];
    std::snprintf(key, sizeof key, "%7s", number);
    return key;
  }

  bool BuildYear() {
    std::string dir = YearDirectory("1996");
    std::filesystem::create_directories(dir);
    if (recman::CopyFile(std::string(TALVERA_CHARTS) + "/steke.bt3", dir + "/steke.btr") != 0)
      return false;
    for (const char* file : {"sako", "bube", "debi", "kred", "kore", "bat", "bank", "ueberw", "opkred",
                             "opdebi", "stapel", "guvauf", "bilaktau", "bilpasau"})
      if (!layouts::CreateFile(dir, file)) return false;
    for (const FixedSachkonto& a : kFixedSachkonten)
      if (!AddSachkonto(dir, a)) return false;
    if (!AddPersonalAccount(dir, "debi", "  10000", "MEIER", "Meier GmbH", 10, 30, "02,00") ||
        !AddPersonalAccount(dir, "kred", "  70000", "LIEF", "Lieferant AG", 0, 0, "00,00"))
      return false;
    return AddTree(dir + "/bilaktau.btr", {{1, 2, 0, 0, "Umlaufvermögen"},
                                           {2, 1, 3, 1, "   1000"},
                                           {3, 1, 4, 2, "   1200"},
                                           {4, 1, 5, 3, "   1400"},
                                           {5, 1, 0, 4, "   1575"}}) &&
           AddTree(dir + "/bilpasau.btr", {{1, 2, 4, 0, "Eigenkapital"},
                                           {2, 1, 3, 1, "    800"},
                                           {3, 1, 0, 2, "    860"},
                                           {4, 2, 0, 1, "Verbindlichkeiten"},
                                           {5, 1, 6, 4, "   1600"},
                                           {6, 1, 0, 5, "   1775"}}) &&
           AddTree(dir + "/guvauf.btr", {{1, 2, 3, 0, "Erträge"},
                                         {2, 1, 0, 1, "   8400"},
                                         {3, 2, 0, 1, "Aufwendungen"},
                                         {4, 1, 5, 3, "   4210"},
                                         {5, 1, 0, 4, "   4900"}});
  }

  static bool AddSachkonto(const std::string& dir, const FixedSachkonto& a) {
    namespace s = layouts::sako;
    std::vector<char> r(s::kLayout.recordLength);
    layouts::InitRecord(s::kLayout, r.data());
    layouts::SetRawText(r.data(), s::kAccountNo, Padded(a.number));
    layouts::SetText(r.data(), s::kShortCode, a.shortCode);
    layouts::SetText(r.data(), s::kName, a.name);
    layouts::SetNumber(r.data(), s::kAccountClass, a.accountClass);
    layouts::SetNumber(r.data(), s::kTaxKey, a.taxKey);
    layouts::SetRawText(r.data(), s::kRate, "00,00");
    layouts::SetRawText(r.data(), s::kOpeningDate, "010116");
    return InsertByPath(dir + "/sako.btr", r.data());
  }

  static bool AddTree(const std::string& path, std::vector<FixedNode> nodes) {
    namespace s = layouts::structure;
    for (const FixedNode& n : nodes) {
      char r[s::kLayout.recordLength] = {};
      layouts::SetNumber(r, s::kNodeId, n.id);
      layouts::SetNumber(r, s::kNodeKind, n.kind);
      layouts::SetNumber(r, s::kNext, n.next);
      layouts::SetNumber(r, s::kAbove, n.above);
      layouts::SetNumber(r, s::kLevel, 1);
      if (n.kind == 1)
        layouts::SetRawText(r, s::kLabel, n.label);
      else
        layouts::SetText(r, s::kLabel, n.label);
      if (!InsertByPath(path, r)) return false;
    }
    return true;
  }

  // An opening record as the opening postings write it: the account
  // against 9000 with the carry-forward flag, its amount in the opening
  // values of both accounts instead of the monthly totals.
  static bool AddOpeningRecord(const char* date, const char* debit, const char* credit,
                               const char* amount, const char* text) {
    namespace b = layouts::bube;
    char r[b::kLayout.recordLength];
    layouts::InitRecord(b::kLayout, r);
    char key[11];
    if (!NextJournalKey(date, key)) return false;
    layouts::SetRawText(r, b::kPostingKey, key);
    layouts::SetRawText(r, b::kPostingDate, date);
    layouts::SetRawText(r, b::kVoucherDate, date);
    layouts::SetRawText(r, b::kVoucherNo, "EB");
    layouts::SetRawText(r, b::kDebitAccount, Padded(debit));
    layouts::SetRawText(r, b::kCreditAccount, Padded(credit));
    layouts::SetNumber(r, b::kFlags, 2);
    layouts::SetRawText(r, b::kDebitAmount, amount);
    layouts::SetRawText(r, b::kCreditAmount, amount);
    layouts::SetText(r, b::kText, text);
    if (!Insert(r, MakeFileId(kSlotBube, 0))) return false;
    return AddOpening(debit, 0, amount) && AddOpening(credit, 1, amount);
  }

  static bool AddOpening(const char* number, int side, const char* amount) {
    namespace s = layouts::sako;
    char r[s::kLayout.recordLength];
    bool found = false;
    std::string key = Padded(number);
    if (!GetEqual(r, KeyValue(key.c_str(), 8), found, MakeFileId(kSlotSako, 0)) || !found) return false;
    char* field = layouts::FieldBytes(r, side ? s::kOpeningCredit : s::kOpeningDebit);
    return AmountAddInPlace(field, amount) && Update(r, MakeFileId(kSlotSako, 0));
  }

  // The bookings of fixed_mandant.md, in this order.
  bool PostFixedBookings() {
    constexpr int S = kSachkonto, D = kDebitor, K = kKreditor;
    bool ok = AddOpeningRecord("010116", "1200", "9000", "000000500,00", "EB Bank") &&
              AddOpeningRecord("010116", "9000", "800", "000000500,00", "EB Kapital") &&
              Booking("050116", "Rechnung Meier", "R-1")
                  .Line("10000", D, "8400", S, "000000115,00", "000000100,00", 1, 2, "15,00")
                  .Post() &&
              Booking("120216", "Bareinzahlung", "E-1").Line("1200", S, "1000", S, "000000300,00").Post() &&
              Booking("100316", "Miete Lieferant", "K-1")
                  .Line("4210", S, "70000", K, "000000230,00", "000000200,00", 2, 2, "15,00")
                  .Post() &&
              Booking("150316", "Kontogebühren", "B-1").Line("4210", S, "1200", S, "000000040,00").Post() &&
              Booking("200316", "Zahlung Meier", "Z-1").Line("1200", S, "10000", D, "000000115,00").Post() &&
              AddOpeningRecord("220316", "1000", "9000", "000000100,00", "EB Kasse nachgetragen") &&
              Booking("250316", "Zahlung Lieferant", "K-2").Line("70000", K, "1200", S, "000000230,00").Post() &&
              Booking("280316", "Rechnung Meier", "R-2")
                  .Line("10000", D, "8400", S, "000000057,50", "000000050,00", 1, 2, "15,00")
                  .Post();
    if (!ok) return false;
    SetPostingMode(PostingMode::kClosing);
    ok = Booking("311216", "Abschluss", "A-1").Line("8400", S, "860", S, "000000050,00").Post();
    SetPostingMode(PostingMode::kOrdinary);
    return ok;
  }

  // Added for the account sheets only, by the tests that ask for them (the
  // other reports keep the figures above): cost centres 100 and 200, a
  // booking that carries both, and one booking of two invoice lines to the
  // Debitor, whose two collective records fold into one line on 1400
  // (fixed_mandant.md, "Additions for the account sheets").
  bool PostCostCentreBookings() {
    namespace k = layouts::kore;
    for (auto [number, shortCode, name] : {std::tuple{"100", "VERW", "Verwaltung"},
                                           std::tuple{"200", "VERT", "Vertrieb"}}) {
      char r[k::kLayout.recordLength];
      layouts::InitRecord(k::kLayout, r);
      layouts::SetRawText(r, k::kNumber, Padded(number));
      layouts::SetText(r, k::kShortCode, shortCode);
      layouts::SetText(r, k::kName, name);
      if (!Insert(r, MakeFileId(kSlotKore, 0))) return false;
    }
    constexpr int S = kSachkonto, D = kDebitor;
    return Booking("290316", "Büromaterial", "K-3")
               .Line("4900", S, "1200", S, "000000080,00")
               .CostCentres("    100", "    200")
               .Post() &&
           Booking("300316", "Rechnung Meier", "R-3")
               .Line("10000", D, "8400", S, "000000060,00")
               .Line("10000", D, "8400", S, "000000040,00")
               .Post();
  }

  // Added for the P&L and balance-sheet tests only (fixed_mandant.md,
  // "Additions for the statements"): structure trees of three levels with
  // attributes, a computed result line and an alternative place for the
  // new bank account 1210, which a booking of 29.03. puts in credit; and
  // the year 1995 (its P&L account file and the closing balances the
  // balance-sheet accounts carry from it).
  bool PrepareStatements() {
    std::string dir = YearDirectory("1996");
    if (!AddSachkonto(dir, {"1210", "PBANK", "Postbank", 2, 0})) return false;
    if (!SaveStructure(dir + "/guvauf.btr", StatementProfitAndLossTree()) ||
        !SaveStructure(dir + "/bilaktau.btr", StatementAssetsTree()) ||
        !SaveStructure(dir + "/bilpasau.btr", StatementLiabilitiesTree()))
      return false;
    if (!Booking("290316", "Büromaterial Postbank", "P-1").Line("4900", kSachkonto, "1210", kSachkonto, "000000080,00").Post())
      return false;
    for (auto [number, amount, credit] : {std::tuple{"1000", "000000100,00", 0}, std::tuple{"1200", "000000420,00", 0},
                                          std::tuple{"800", "000000500,00", 1}})
      if (!SetPreviousClosing(number, amount, credit)) return false;
    std::string previous = YearDirectory("1995");
    std::filesystem::create_directories(previous);
    if (!layouts::CreateFile(previous, "sako")) return false;
    struct Figures {
      const char* number;
      int period;
      const char* debit;
      const char* credit;
    };
    const Figures lastYear[] = {{"4210", 3, "000000200,00", nullptr},
                                {"4900", 12, "000000030,00", nullptr},
                                {"8400", 1, nullptr, "000000120,00"},
                                {"8400", 3, nullptr, "000000130,00"}};
    for (const FixedSachkonto& a : kFixedSachkonten) {
      if (a.accountClass != 8) continue;
      namespace s = layouts::sako;
      std::vector<char> r(s::kLayout.recordLength);
      layouts::InitRecord(s::kLayout, r.data());
      layouts::SetRawText(r.data(), s::kAccountNo, Padded(a.number));
      layouts::SetText(r.data(), s::kName, a.name);
      layouts::SetNumber(r.data(), s::kAccountClass, 8);
      for (const Figures& f : lastYear) {
        if (std::strcmp(f.number, a.number) != 0) continue;
        if (f.debit) layouts::SetRawText(r.data(), s::kPeriodDebit.At(f.period - 1), f.debit);
        if (f.credit) layouts::SetRawText(r.data(), s::kPeriodCredit.At(f.period - 1), f.credit);
      }
      if (!InsertByPath(previous + "/sako.btr", r.data())) return false;
    }
    return true;
  }

  static StructureTree StatementProfitAndLossTree() {
    StructureTree t;
    t.title = "GuV";
    int revenue = t.AppendGroup(StructureTree::kHeader, "Umsatzerlöse", 1, kGroupEmptyLineBefore | kGroupBold);
    t.AppendLeaf(revenue, "   8400", "ERL", false);
    int costs = t.AppendGroup(StructureTree::kHeader, "Aufwendungen", 1,
                              kGroupEmptyLineBefore | kGroupBold | kGroupUnderlined);
    t.AppendLeaf(t.AppendGroup(costs, "Raumkosten", 2, 0), "   4210", "MIETE", false);
    int other = t.AppendGroup(costs, "Sonstige Kosten", 2, 0);
    t.AppendLeaf(t.AppendGroup(other, "Verschiedenes", 3, 0), "   4900", "SONST", false);
    t.AppendGroup(StructureTree::kHeader, "Jahresergebnis", 1, kGroupEmptyLineBefore | kGroupBold | kGroupSumAbove);
    return t;
  }

  static StructureTree StatementAssetsTree() {
    StructureTree t;
    t.title = "Aktiva";
    int current = t.AppendGroup(StructureTree::kHeader, "Umlaufvermögen", 1, kGroupBold | kGroupUnderlined);
    int claims = t.AppendGroup(current, "Forderungen", 2, 0);
    t.AppendLeaf(claims, "   1400", "FORD", false);
    t.AppendLeaf(claims, "   1575", "VST", false);
    int cash = t.AppendGroup(current, "Liquide Mittel", 2, kGroupEmptyLineBefore);
    for (const char* account : {"   1000", "   1200", "   1210"}) t.AppendLeaf(cash, account, "", false);
    t.loose.push_back({"   1590", "DURCH"});
    return t;
  }

  static StructureTree StatementLiabilitiesTree() {
    StructureTree t;
    t.title = "Passiva";
    int equity = t.AppendGroup(StructureTree::kHeader, "Eigenkapital", 1, kGroupBold | kGroupUnderlined);
    t.AppendLeaf(t.AppendGroup(equity, "Gezeichnetes Kapital", 2, 0), "    800", "KAP", false);
    t.AppendLeaf(t.AppendGroup(equity, "Gewinnvortrag", 2, 0), "    860", "GVV", false);
    int debts = t.AppendGroup(StructureTree::kHeader, "Verbindlichkeiten", 1, kGroupEmptyLineBefore | kGroupBold);
    t.AppendLeaf(t.AppendGroup(debts, "Lieferungen/Leistungen", 2, 0), "   1600", "VERB", false);
    t.AppendLeaf(t.AppendGroup(debts, "Steuern", 2, 0), "   1775", "UST", false);
    t.AppendLeaf(t.AppendGroup(debts, "Kreditinstitute", 2, 0), "   1210", "PBANK", true);
    return t;
  }

  static bool SetPreviousClosing(const char* number, const char* amount, int credit) {
    namespace s = layouts::sako;
    char r[s::kLayout.recordLength];
    bool found = false;
    std::string key = Padded(number);
    if (!GetEqual(r, KeyValue(key.c_str(), 8), found, MakeFileId(kSlotSako, 0)) || !found) return false;
    layouts::SetRawText(r, s::kPrevClosingBalance, amount);
    layouts::SetNumber(r, s::kPrevClosingSide, credit);
    return Update(r, MakeFileId(kSlotSako, 0));
  }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
