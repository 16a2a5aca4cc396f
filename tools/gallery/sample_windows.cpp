#include "tools/gallery/sample_windows.h"

#include <vector>

#include "accounts/account_dialogs.h"
#include "core/cp1252.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_window.h"
#include "shell/frame_commands.h"
#include "shell/help_viewer.h"
#include "shell/main_frame.h"
#include "tools/gallery/gallery.h"
#include "users/user_file.h"
#include "users/users_dialogs.h"

namespace talvera::gallery {
namespace {

// A short trial balance of the sample bookings, as the report window shows it.
int SampleTrialBalance() {
  struct Row {
    const char* account;
    const char* code;
    const char* name;
    const char* balance;
    const char* side;
  };
  const Row rows[] = {
      {"   1000", "Kasse", "Kasse", "1.200,00", "S"},
      {"   1200", "Bank", "Bank", "595,00", "S"},
      {"   1576", "VSt19", "Abziehbare Vorsteuer 19 %", "95,00", "S"},
      {"   1776", "USt19", "Umsatzsteuer 19 %", "190,00", "H"},
      {"   0880", "Kapital", "Variables Kapital", "2.000,00", "H"},
      {"   3400", "WE19", "Wareneingang 19 % Vorsteuer", "500,00", "S"},
      {"   4210", "Miete", "Miete", "800,00", "S"},
      {"   8400", "Erl19", "Erlöse 19 % USt", "1.000,00", "H"},
  };
  if (!BeginReport("TQKSALOBJ0", "TQKSALTAB0")) return 0;
  // The report buffer holds its text as the records do, in Windows-1252.
  AddTextLine(Utf8ToCp1252("\x01Saldenliste Muster GmbH, März 2026"));
  AddEmptyLine();
  for (const Row& r : rows) {
    SetFieldSlot(0, r.account);
    SetFieldSlot(1, r.code);
    SetFieldSlot(2, Utf8ToCp1252(r.name));
    SetFieldSlot(3, r.balance);
    SetFieldSlot(4, r.side);
    AddTemplateLine();
  }
  AddCodeLine(5);
  EndReport();
  return TheReportBuffer().LineCount();
}

}  // namespace

QWidget* SampleFrame() {
  auto* frame = new MainFrame;
  RegisterCommands(*frame);
  frame->resize(kScreenWidth, kScreenHeight);
  frame->Refresh();
  frame->reportWindow()->ShowReport(kReportSaldenliste, SampleTrialBalance());
  return frame;
}

QWidget* SampleHelp(QWidget* parent) {
  auto* help = new HelpViewer({}, parent);
  help->ShowContents();
  help->hide();
  return help;
}

QWidget* SampleCopyRights(QWidget* parent) {
  OpenUserFile(1);
  std::vector<UserRecord> users;
  ListUsers(users);
  CloseUserFile();
  if (users.empty()) users.push_back(UserRecord{0, "Anna", 0, ""});
  return new CopyRightsDialog(parent, users.front(), users);
}

QWidget* SampleAccountDialog(QWidget* parent, WindowKind kind, const char* number) {
  std::vector<char> record;
  bool found = false;
  if (!ReadAccountRecord(kind, number, record, found) || !found) return nullptr;
  return new AccountDialog(parent, kind, record);
}

QWidget* SampleBudgetDialog(QWidget* parent) {
  std::vector<char> record;
  bool found = false;
  if (!ReadAccountRecord(WindowKind::kSachkonten, "8400", record, found) || !found) return nullptr;
  auto* dialog = new BudgetDialog(parent, WindowKind::kSachkonten, record);
  BudgetValues values{};
  DevelopBudget(BudgetRule::kPercentCompound, 100000, 0, 200, values);
  dialog->Show(values);
  return dialog;
}

}  // namespace talvera::gallery
