// bench-account-window: opening the Debitoren window on a chart of 100,000
// Debitoren, and jumping by typing to the last of them.
//
//   bench-account-window [debitors]
//
// Prints "FIGURE <name> <value>" lines (seconds; target for the opening:
// below 0.2).
#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "accounts/account_window.h"
#include "core/layouts/personal.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/today.h"
#include "recman/recman.h"
#include "small_mandant_root.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace P = layouts::personal;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

bool AddDebitors(int count) {
  std::vector<char> r(P::kLayout.recordLength);
  if (!Transaction(kBegin)) return false;
  for (int n = 0; n < count; ++n) {
    layouts::InitRecord(P::kLayout, r.data());
    char number[8], code[10], name[26], postal[7];
    std::snprintf(number, sizeof number, "%7d", 1000000 + n);
    std::snprintf(code, sizeof code, "K%06d", n);
    std::snprintf(name, sizeof name, "Kunde %06d GmbH", (n * 7919) % count);
    std::snprintf(postal, sizeof postal, "%05d", 10000 + n % 89999);
    layouts::SetRawText(r.data(), P::kAccountNo, number);
    layouts::SetText(r.data(), P::kShortCode, code);
    layouts::SetText(r.data(), P::kName, name);
    layouts::SetText(r.data(), P::kPostalCode, postal);
    layouts::SetText(r.data(), P::kTown, "Köln");
    if (!Insert(r.data(), kSlotDebi)) return false;
  }
  return Transaction(kEnd);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("TALVERA_TODAY", "09.12.2026", 1);
  QApplication app(argc, argv);
  int debitors = argc > 1 ? std::atoi(argv[1]) : 100000;
  MessageRecorder messages;
  ResetDayToday();
  SmallMandantRoot books;
  if (!books.Make("bench-account-window")) return 1;
  if (!OpenMainFiles() || !AddDebitors(debitors)) return 1;

  // Opening: the window built, shown and its first page listed, three times.
  double best = 1e9, jump = 1e9;
  int rows = 0;
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    AccountWindow* window = ShowAccountWindow(nullptr, WindowKind::kDebitoren);
    QApplication::processEvents();
    best = std::min(best, Seconds(start));
    rows = window->model()->rowCount();
    // Typing the number of the last Debitor reads on to it.
    start = Clock::now();
    window->Edit(kontoverwaltung::kSelection)->setText(QString::number(1000000 + debitors - 1));
    window->FollowTyping();
    QApplication::processEvents();
    jump = std::min(jump, Seconds(start));
    if (window->SelectedNumber().empty()) return 1;
    CloseAccountWindows();
  }
  std::printf("%d Debitoren, %d rows read on opening\n", debitors, rows);
  Figure("account_window_open_debitors_s", best);
  Figure("account_window_type_last_debitor_s", jump);
  CloseAll();
  recman::Shutdown();
  return 0;
}
