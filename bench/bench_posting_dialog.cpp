// bench-posting-dialog: opening the current-postings dialog on a month that
// already holds 5,000 bookings (three of four with tax, every tenth a
// vendor invoice with its collective-account record), and confirming one
// booking more while the month is listed.
//
//   bench-posting-dialog [bookings]
//
// Prints "FIGURE <name> <value>" lines (seconds; target for the opening:
// below 0.3).
#include <stdlib.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/create_file.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/booking_list_dialog_view.h"
#include "posting/posting_dialog.h"
#include "posting/posting_engine.h"
#include "recman/recman.h"
#include "small_mandant_root.h"
#include "tax/tax_rates.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace bat = layouts::bat;
namespace bl = layouts::bat_line;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

bool PostMonth(int bookings) {
  std::vector<char> r(bat::kLayout.recordLength);
  if (!Transaction(kBegin)) return false;
  for (int n = 0; n < bookings; ++n) {
    layouts::InitRecord(bat::kLayout, r.data());
    char date[7], voucher[9];
    std::snprintf(date, sizeof date, "%02d1246", 1 + n % 28);
    std::snprintf(voucher, sizeof voucher, "B%05d", n);
    layouts::SetRawText(r.data(), bat::kPostingDate, date);
    layouts::SetRawText(r.data(), bat::kVoucherDate, date);
    layouts::SetRawText(r.data(), bat::kVoucherNo, voucher);
    layouts::SetText(r.data(), bat::kText, "Monatsbuchung");
    auto F = [](const layouts::Field& f) { return bat::kLine.In(0, f); };
    bool vendor = n % 10 == 0, taxed = n % 4 != 0;
    layouts::SetRawText(r.data(), F(bl::kDebitAccount), vendor ? "   3400" : "   1000");
    layouts::SetRawText(r.data(), F(bl::kCreditAccount), vendor ? "  70000" : taxed ? "   8400" : "   1200");
    layouts::SetNumber(r.data(), F(bl::kDebitKind), 2);
    layouts::SetNumber(r.data(), F(bl::kCreditKind), vendor ? 4 : 2);
    layouts::SetRawText(r.data(), F(bl::kGross), "000000119,00");
    layouts::SetRawText(r.data(), F(bl::kNet), taxed || vendor ? "000000100,00" : "000000119,00");
    layouts::SetNumber(r.data(), F(bl::kTaxSide), vendor ? 2 : taxed ? 1 : 0);
    layouts::SetNumber(r.data(), F(bl::kTaxClass), taxed || vendor ? 2 : 0);
    layouts::SetRawText(r.data(), F(bl::kRate), taxed || vendor ? "19,00" : "00,00");
    if (!PostBooking(r.data(), true)) return false;
  }
  return Transaction(kEnd);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("TALVERA_TODAY", "09.12.2026", 1);
  QApplication app(argc, argv);
  int bookings = argc > 1 ? std::atoi(argv[1]) : 5000;
  MessageRecorder messages;
  ResetDayToday();
  SmallMandantRoot books;
  if (!books.Make("bench-posting-dialog")) return 1;
  for (const char* file : {"butext", "buscha"})
    if (!layouts::CreateFile(YearDirectory("2026"), file)) return 1;
  InstallRateLoading();
  if (!OpenMainFiles() || !PostMonth(bookings)) return 1;

  // Opening: the dialog built, shown and its month listed, three times.
  double best = 1e9;
  std::size_t rows = 0;
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    PostingDialogOptions o;
    o.user = "bench";
    o.month = MonthOf(12, 2026);
    PostingDialog dialog(nullptr, std::move(o));
    dialog.show();
    if (!dialog.Start()) return 1;
    QApplication::processEvents();
    best = std::min(best, Seconds(start));
    rows = static_cast<std::size_t>(dialog.list()->model()->rowCount());
    dialog.hide();
  }
  std::printf("month of %d bookings, %zu list rows\n", bookings, rows);
  Figure("posting_dialog_open_month_s", best);

  // One confirmation with the month listed: ready for the next booking.
  PostingDialogOptions o;
  o.user = "bench";
  o.month = MonthOf(12, 2026);
  PostingDialog dialog(nullptr, std::move(o));
  dialog.show();
  dialog.Start();
  double confirm = 1e9;
  for (int n = 0; n < 5; ++n) {
    dialog.SetFieldText(buclau::kDate, "10.12.26");
    dialog.SetFieldText(buclau::kDocumentNumber, "X" + std::to_string(n));
    dialog.SetFieldText(buclau::kDebit, "1000");
    dialog.SetFieldText(buclau::kCredit, "8400");
    dialog.EvaluateAccounts();
    dialog.SetFieldText(buclau::kGross, "119,00");
    auto start = Clock::now();
    if (!dialog.ConfirmBooking()) return 1;
    QApplication::processEvents();
    confirm = std::min(confirm, Seconds(start));
  }
  Figure("posting_dialog_confirm_s", confirm);
  dialog.End();
  CloseAll();
  recman::Shutdown();
  return 0;
}
