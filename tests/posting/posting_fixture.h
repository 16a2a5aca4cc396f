// A small Mandant for posting tests, built from the real SKR 03 template:
// fiscal years 2025 (previous) and 2026 (current), Debitor 10000 (30 days,
// 2 % discount within 10 days), Kreditor 70000, cost centres 100 and 200.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/bube.h"
#include "core/layouts/create_file.h"
#include "core/layouts/kore.h"
#include "core/layouts/open_item.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/posting_engine.h"
#include "recman/recman.h"
#include "support/small_mandant.h"
#include "support/temp_dir.h"
#include "tax/tax_rates.h"

namespace talvera::testing {

namespace bat = layouts::bat;
namespace bl = layouts::bat_line;
namespace bube = layouts::bube;

// A booking record built line by line.
class Booking {
 public:
  explicit Booking(const char* date, const char* text = "Testbuchung", const char* voucher = "R-1")
      : r_(bat::kLayout.recordLength) {
    layouts::InitRecord(bat::kLayout, r_.data());
    layouts::SetRawText(r_.data(), bat::kPostingDate, date);
    layouts::SetRawText(r_.data(), bat::kVoucherDate, date);
    layouts::SetRawText(r_.data(), bat::kVoucherNo, voucher);
    layouts::SetText(r_.data(), bat::kText, text);
  }
  // taxSide 1: the credit account carries the net amount, 2: the debit account.
  Booking& Line(const char* debit, int debitKind, const char* credit, int creditKind, const char* gross,
                const char* net = nullptr, int taxSide = 0, int taxClass = 0, const char* rate = "00,00") {
    int i = lines_++;
    auto f = [i](const layouts::Field& field) { return bat::kLine.In(i, field); };
    char number[8];
    std::snprintf(number, sizeof number, "%7s", debit);
    layouts::SetRawText(r_.data(), f(bl::kDebitAccount), number);
    std::snprintf(number, sizeof number, "%7s", credit);
    layouts::SetRawText(r_.data(), f(bl::kCreditAccount), number);
    layouts::SetNumber(r_.data(), f(bl::kDebitKind), debitKind);
    layouts::SetNumber(r_.data(), f(bl::kCreditKind), creditKind);
    layouts::SetRawText(r_.data(), f(bl::kGross), gross);
    layouts::SetRawText(r_.data(), f(bl::kNet), net ? net : gross);
    layouts::SetNumber(r_.data(), f(bl::kTaxSide), taxSide);
    layouts::SetNumber(r_.data(), f(bl::kTaxClass), taxClass);
    layouts::SetRawText(r_.data(), f(bl::kRate), rate);
    return *this;
  }
  Booking& CostCentres(const char* cc1, const char* cc2, int kind = 1) {
    int i = lines_ - 1;
    layouts::SetRawText(r_.data(), bat::kLine.In(i, bl::kCostCentre1), cc1);
    layouts::SetRawText(r_.data(), bat::kLine.In(i, bl::kCostCentre2), cc2);
    layouts::SetNumber(r_.data(), bat::kLine.In(i, bl::kCostCentreKind), kind);
    return *this;
  }
  Booking& Currency(const char* code, const char* homeAmount) {
    layouts::SetRawText(r_.data(), bat::kCurrency, code);
    layouts::SetRawText(r_.data(), bat::kHomeAmount, homeAmount);
    return *this;
  }
  void* data() { return r_.data(); }
  bool Post(bool startsBooking = true) { return PostBooking(r_.data(), startsBooking); }

 private:
  std::vector<char> r_;
  int lines_ = 0;
};

class PostingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "09.12.2026", 1);
    ResetDayToday();
    CurrentSettings() = Settings{};
    SetDataRoot(data_.path());
    SetSmallMandantValues("2026", "2025");
    for (const char* year : {"2025", "2026"}) ASSERT_TRUE(BuildSmallMandantYear(TALVERA_CHARTS, year)) << year;
    InstallRateLoading();
    ASSERT_TRUE(OpenMainFiles());
    SetPostingMode(PostingMode::kOrdinary);
  }
  void TearDown() override {
    SetMainFilesSeams({});
    SetPostingMode(PostingMode::kOrdinary);
    SetSuppressCollectiveRecords(false);
    SetPostingFromBatch(false);
    Transaction(kAbort);
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }

  // The journal of the working year in key order.
  std::vector<std::vector<char>> Journal() {
    std::vector<std::vector<char>> out;
    std::vector<char> r(bube::kLayout.recordLength);
    bool found = false;
    bool ok = GetFirstFound(r.data(), found, kSlotBube);
    while (ok && found) {
      out.push_back(r);
      ok = GetNextFound(r.data(), found, kSlotBube);
    }
    return out;
  }
  static std::string J(const std::vector<char>& r, const layouts::Field& f) {
    return layouts::FieldBytes(r.data(), f);
  }
  static long JN(const std::vector<char>& r, const layouts::Field& f) { return layouts::GetNumber(r.data(), f); }

  // An account record of the working year (kind 2, 4 or 8).
  std::vector<char> Account(int kind, const char* number) {
    int slot = kind == 2 ? kSlotSako : kind == 4 ? kSlotKred : kSlotDebi;
    std::vector<char> r(layouts::personal::kLayout.recordLength);
    char key[8];
    std::snprintf(key, sizeof key, "%7s", number);
    bool found = false;
    EXPECT_TRUE(GetEqual(r.data(), KeyValue(key, 8), found, MakeFileId(slot, 0)));
    EXPECT_TRUE(found) << number;
    return r;
  }
  // Period total of an account: side 0 debit, 1 credit.
  std::string Total(int kind, const char* number, int period, int side) {
    std::vector<char> r = Account(kind, number);
    if (kind == 2)
      return layouts::FieldBytes(r.data(), (side ? layouts::sako::kPeriodCredit : layouts::sako::kPeriodDebit).At(period - 1));
    return layouts::FieldBytes(r.data(), (side ? layouts::personal::kPeriodCredit : layouts::personal::kPeriodDebit).At(period - 1));
  }
  // Open items of a file in number order.
  std::vector<std::vector<char>> OpenItems(int slot) {
    std::vector<std::vector<char>> out;
    std::vector<char> r(layouts::open_item::kLayout.recordLength);
    bool found = false;
    bool ok = GetFirstFound(r.data(), found, slot);
    while (ok && found) {
      out.push_back(r);
      ok = GetNextFound(r.data(), found, slot);
    }
    CloseSlot(slot);
    return out;
  }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
