// The month of "Handel Nord GmbH" (tests/cli/month) entered as a user enters
// it, through the main window's commands and keys: the Mandant made in the
// Mandant administration, the customers and vendors in the account windows,
// the bookings typed into the posting dialog (the splits in the split
// dialog, the rent in a recurring batch, the storno in the storno dialog),
// and the evaluations made in their dialogs. Their reports must be the very
// text talvi-cli prints for the month posted from the file
// (tests/cli/golden); printed, and the return's upload file, they must be
// what talvi-cli makes of that month.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "accounts/account_checks.h"
#include "accounts/account_dialogs.h"
#include "accounts/account_window.h"
#include "cli/cli_fixture.h"
#include "core/layouts/bat.h"
#include "core/layouts/personal.h"
#include "core/mandant/company_master.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/mandant_seams.h"
#include "core/mandant/open_mandant.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/batch_bookings.h"
#include "posting/batch_dialog.h"
#include "posting/invariants.h"
#include "posting/posting_dialog.h"
#include "posting/posting_month_dialog.h"
#include "posting/select_batch.h"
#include "posting/split_dialog.h"
#include "posting/storno_dialog.h"
#include "recman/recman.h"
#include "reports/account_list_dialogs.h"
#include "reports/bwa_dialogs.h"
#include "reports/clipboard_text.h"
#include "reports/print_fixture.h"
#include "reports/printer_setting.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/report_text.h"
#include "reports/statement_dialogs.h"
#include "shell/frame_commands.h"
#include "shell/main_frame.h"
#include "shell/mandant_dialogs.h"
#include "shell/shell_state.h"
#include "support/mnemonic.h"
#include "support/temp_dir.h"
#include "tax/evaluation_period_dialog_panel.h"
#include "users/login_state.h"
#include "users/users_dialogs.h"

namespace talvera::testing {
namespace {

namespace bat = layouts::bat;

// ---- the keyboard ------------------------------------------------------------

QWidget* Focus() { return QApplication::focusWidget(); }
// Key clicks of the text; a letter beyond ASCII ("ü", "ß") comes as the
// key event a German keyboard sends for it.
void TypeTo(QWidget* w, const std::string& text) {
  for (QChar c : QString::fromStdString(text)) {
    if (c.unicode() < 128) {
      QTest::keyClick(w, c.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}
// Keys go to the focused control; without one the test fails, not the program.
void Type(const std::string& text) {
  if (QWidget* w = Focus()) TypeTo(w, text);
  else ADD_FAILURE() << "no field has the focus for \"" << text << "\"";
}
void Key(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
  if (QWidget* w = Focus()) QTest::keyClick(w, key, m);
  else ADD_FAILURE() << "no field has the focus for key " << key;
}
// Types into one field of a dialog, as after a click into it.
void TypeInto(QWidget* field, const std::string& text) {
  field->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
  TypeTo(field, text);
}
void Activate(QWidget* w) {
  QApplication::setActiveWindow(w);
  w->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(w, 2000));
}
// Fields one after another, Tab (or the numeric pad's "+") between them.
void Fields(const std::vector<std::string>& values, bool keypadPlus = false) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) Key(keypadPlus ? Qt::Key_Plus : Qt::Key_Tab, keypadPlus ? Qt::KeypadModifier : Qt::NoModifier);
    Type(values[i]);
  }
}
// A button's mnemonic: the button shows itself pressed, then clicks.
void Button(Qt::Key key) { talvera::testing::PressMnemonic(key); }
// Runs `act` on the modal dialog `name` once an exec() shows it, active
// as the user sees it; closes it if `act` left it open.
void WhenModal(const char* name, std::function<void(TalviDialog&)> act) {
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [timer, wanted = QString(name), act] {
    auto* d = qobject_cast<TalviDialog*>(QApplication::activeModalWidget());
    if (!d || d->objectName() != wanted || !d->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    Activate(d);
    act(*d);
    if (d->isVisible()) {
      ADD_FAILURE() << wanted.toStdString() << " stayed open";
      d->reject();
    }
  });
  timer->start(5);
}
// Answers the next file dialog with `path`, as typed into its name field.
void WhenFileDialog(const std::string& path) {
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [timer, path] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    d->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(d, "accept");
  });
  timer->start(5);
}

// A modal dialog nobody expected (a question, a login) would wait for a
// user forever: one still open at the next look, ten seconds on, fails the
// test and is closed, so the run goes on. The dialogs the test fills in
// are closed long before.
void WatchForStrayDialogs() {
  static QPointer<QWidget> seen;
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal == seen) {
      ADD_FAILURE() << "an unexpected dialog waits: " << modal->objectName().toStdString() << " \""
                    << modal->windowTitle().toStdString() << "\"";
      if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
    }
    seen = modal;
  });
  timer->start(10000);
}

// ---- the month ------------------------------------------------------------------

// One booking of the month's file: a line, or the lines of a split.
struct MonthLine {
  std::string date, voucher, debit, credit, gross, text, group;
};
struct MonthBooking {
  std::vector<MonthLine> lines;
};

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ';') out.emplace_back();
    else if (c != '\r') out.back() += c;
  }
  return out;
}

std::vector<MonthBooking> ReadMonth(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // Datum;Beleg;Soll;Haben;Betrag;Satz;Steuer;Text;Buchung
  std::vector<MonthBooking> out;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::vector<std::string> f = SplitFields(line);
    f.resize(9);
    MonthLine l{f[0], f[1], f[2], f[3], f[4], f[7], f[8]};
    if (!l.group.empty() && !out.empty() && out.back().lines.front().group == l.group)
      out.back().lines.push_back(l);
    else
      out.push_back({{l}});
  }
  return out;
}

// "25.000,00" -> 2500000
long long Cents(const std::string& amount) {
  long long cents = 0;
  for (char c : amount)
    if (c >= '0' && c <= '9') cents = cents * 10 + (c - '0');
  return cents;
}
// 119000 -> "1.190,00"
std::string Amount(long long cents) {
  std::string euros = std::to_string(cents / 100);
  for (int at = static_cast<int>(euros.size()) - 3; at > 0; at -= 3) euros.insert(static_cast<std::size_t>(at), ".");
  char rest[8];
  std::snprintf(rest, sizeof rest, ",%02lld", cents % 100);
  return euros + rest;
}
// Some accounts the user knows by their short codes and types so.
std::string AsTyped(const std::string& account) {
  static const std::pair<const char*, const char*> kCodes[] = {
      {"1000", "Kasse"}, {"1200", "Bank"}, {"10000", "Mueller"}, {"10001", "Schmidt"}, {"70000", "Gross"}};
  for (auto [number, code] : kCodes)
    if (account == number) return code;
  return account;
}
// "01.03.2026" as typed: "01.03.26".
std::string Typed(const std::string& date) { return date.substr(0, 6) + date.substr(8, 2); }

const std::string kMonthFile = std::string(TALVERA_MONTH_DIR) + "/handel_nord_maerz_2026.csv";

// The customers and vendors, as the command line's books have them.
const std::vector<CliPerson> kPeople = {
    {"debi", "10000", "Mueller", "Müller KG", "DE", ""},
    {"debi", "10001", "Schmidt", "Schmidt OHG", "DE", ""},
    {"kred", "70000", "Gross", "Großhandel Süd GmbH", "DE", ""},
    {"kred", "70001", "VanDijk", "Van Dijk B.V.", "NL", "NL123456789B01"},
};

// Its rows as a user clicks them: the first whose name starts so.
void ClickEntry(QListWidget* list, const char* start) {
  int row = 0;
  while (row < list->count() && !list->item(row)->text().trimmed().startsWith(start)) ++row;
  ASSERT_LT(row, list->count()) << start;
  QRect rect = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// The evaluations of the month's end: the menu command, its dialog as the
// user fills it in, and the command line that makes the same report.
struct Evaluation {
  const char* golden;  // tests/cli/golden/<golden>.txt
  int kind;
  int command;
  const char* dialog;  // its resource name
  int printerRadio;
  std::function<void(TalviDialog&)> fill;
  const char* cli;     // talvi-cli auswertung ...
  std::vector<int> questions = {};  // asked, answered "Nein"
};

const Evaluation kEvaluations[] = {
    {"maerz_saldenliste", kReportSaldenliste, 3008, "KTOSAL", evalids::kPrinter,
     [](TalviDialog& d) {
       TypeInto(d.Edit(ktosal::kDate), "31.03.26");
       d.Check(evalids::kKreditoren)->click();
       d.Check(evalids::kDebitoren)->click();
       d.Radio(evalids::kByNumber)->click();
     },
     "saldenliste --bis 31.03.2026 --arten SKD"},
    {"maerz_journal", kReportJournal, 3015, "BUCJOU", evalids::kPrinter,
     [](TalviDialog& d) {
       d.Radio(periodids::kFirstMonth + 2)->click();
       TypeInto(d.Edit(periodids::kYear), "2026");
     },
     "journal --jahr 2026 --periode 3"},
    {"maerz_ustva", kReportUstva, 3012, "USTVA", period_panel::kPrinter,
     [](TalviDialog& d) {
       TypeInto(d.Edit(period_panel::kYear), "2026");
       d.Radio(period_panel::kFirstMonth + 2)->click();
     },
     "ustva --jahr 2026 --periode 3"},
    {"maerz_guv", kReportGuv, 3016, "GUVPER", evalids::kPrinter,
     [](TalviDialog& d) {
       d.Radio(periodids::kFirstMonth + 2)->click();
       TypeInto(d.Edit(periodids::kYear), "2026");
     },
     "guv --jahr 2026 --periode 3"},
    // The withdrawals (1800) stand in debit among the liabilities: "Nein"
    // to question 204 keeps them there, reducing the capital, as the command
    // line does.
    {"maerz_bilanz", kReportBilanz, 3044, "BILAKT", evalids::kPrinter,
     [](TalviDialog& d) { TypeInto(d.Edit(statementids::kDate), "31.03.26"); }, "bilanz --bis 31.03.2026", {204}},
    {"maerz_bwa", kReportAnalyse, 2091, "BWA", evalids::kPrinter,  // BWA › GuV / GuV
     [](TalviDialog& d) {
       TypeInto(d.Edit(bwa::kYear), "2026");
       ClickEntry(d.List(bwa::kEntries), "1. Umsatz");
       ClickEntry(d.List(bwa::kEntries + bwa::kSecondSide), "5. Material");
     },
     "bwa --jahr 2026 --erste 'guv:1. Umsatz' --zweite 'guv:5. Material'"},
};

// ---- the fixture: one Mandant, its month posted through the dialogs ------------------

class MonthDialogsTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    ::setenv("TALVERA_TODAY", "31.03.2026", 1);
    ResetDayToday();
    settings_ = new TempSettingsDir;
    data_ = new TempDir;
    messages_ = new MessageRecorder;
    // An installed program: TALVI.INI names the data root, the chart
    // templates lie in it, the printer is a PDF file.
    std::ofstream(*settings_ / "TALVI.INI") << "[TALVI]\nPfad=" << data_->path() << "\nLand=DE\nDrucker="
                                            << PrinterSettingForPdf(Pdf()) << "\n";
    ReadSettings();
    SetDataRoot(data_->path());
    for (const std::string& file : recman::ListFiles(TALVERA_CHARTS))
      ASSERT_EQ(recman::CopyFile(std::string(TALVERA_CHARTS) + "/" + file, data_->path() + "/" + file), recman::kOk);
    // The program's start: the Mandants, the main window with its
    // commands, the printer, the keys above all windows.
    PrepareMandants();
    InstallCurrencyConversion();
    frame_ = new MainFrame;
    RegisterCommands(*frame_);
    OpenPrinterAtStart();
    InstallListPrinting();
    keys_ = new KeyboardFilter(frame_, [](long) {});
    QApplication::instance()->installEventFilter(keys_);
    frame_->show();
    WatchForStrayDialogs();
    CreateTheMandant();
    if (::testing::Test::HasFatalFailure()) return;
    CreateThePeople();
    if (::testing::Test::HasFatalFailure()) return;
    PostTheMonth();
  }
  static void TearDownTestSuite() {
    CloseAccountWindows();
    QApplication::instance()->removeEventFilter(keys_);
    delete keys_;
    delete frame_;
    CloseAll();
    recman::Shutdown();
    delete messages_;
    delete data_;
    delete settings_;
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }

 protected:
  void SetUp() override {
    ASSERT_TRUE(posted_) << "the month was not posted";
    messages_->Clear();
  }
  void TearDown() override {
    TheReportBuffer().Clear();
    SetReportKind(kReportNone);
    ClearPrintRequest();
  }

  static std::string Pdf() { return *settings_ / "dialog.pdf"; }

  // A key on the main window: its menus' shortcuts and the keys above all windows.
  static void FrameKey(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    Activate(frame_);
    QTest::keyClick(frame_, key, m);
  }

  // Mandant 1 from SKR 03 through "Anle&gen..." of the Mandant
  // administration (Ctrl+M), opened with OK, and its company master
  // completed (Ctrl+F): the keyboard only, Tab from field to field and
  // Enter for OK.
  static void CreateTheMandant() {
    WhenModal("MANDANT", [](TalviDialog& administration) {
      WhenModal("MANDANLEGEN", [](TalviDialog& d) {
        using namespace mandanlegen;
        EXPECT_EQ(Focus(), d.Control(kMonth));
        EXPECT_EQ(d.FieldText(kYear), "2026");
        EXPECT_TRUE(d.Checked(kSkr03));
        EXPECT_TRUE(d.Checked(kAccrual));
        Key(Qt::Key_Tab);  // January and this year stay
        Fields({"", "Handel Nord GmbH", "Finanzamt Nord", "123/456/78901", "DE123456789"});
        Key(Qt::Key_Return);
      });
      Button(Qt::Key_G);  // "Anle&gen..."
      EXPECT_EQ(messages_->Numbers(), std::vector<int>{510});  // "Der Mandant wurde installiert."
      messages_->Clear();
      ASSERT_EQ(administration.List(mandant::kList)->count(), 1);
      // OK opens it; its first login makes the user its administrator.
      WhenModal("BENUTZERLOGIN", [](TalviDialog&) {
        Type("anna");
        Key(Qt::Key_Return);
      });
      Activate(&administration);  // back from the creation
      Key(Qt::Key_Return);
    });
    FrameKey(Qt::Key_M, Qt::ControlModifier);  // Datei › Mandantenverwaltung
    ASSERT_TRUE(MainFilesOpen());
    ASSERT_EQ(CurrentMandant().number, 1);
    ASSERT_EQ(CurrentLogin().userName, "anna");
    ASSERT_EQ(CurrentShell().currentMandant, 1);

    WhenModal("STAMMDAT", [](TalviDialog& master) {
      using namespace stammdat;
      EXPECT_EQ(Focus(), master.Control(kName));
      Key(Qt::Key_Tab);
      Fields({"Großhandel für Bürobedarf", "Hafenstraße 1", "20457 Hamburg", "040 123456", "", "", "Steuerweg 2",
              "20095 Hamburg", "Bay"});
      Key(Qt::Key_Return);
    });
    FrameKey(Qt::Key_F, Qt::ControlModifier);  // Datei › Firmenstammdaten
    const CompanyMaster stored = CurrentCompanyMaster();
    EXPECT_EQ(stored.federalState, 2);  // Bayern
    EXPECT_EQ(stored.street, "Hafenstraße 1");
    EXPECT_EQ(stored.taxOfficeTown, "20095 Hamburg");
    EXPECT_EQ(stored.vatId, "DE123456789");
  }

  // The Debitoren (F7) and Kreditoren (F6) through their windows' "&Neu...".
  static void CreateThePeople() {
    for (const CliPerson& p : kPeople) {
      SCOPED_TRACE(p.number);
      bool debitor = std::string(p.file) == "debi";
      FrameKey(debitor ? Qt::Key_F7 : Qt::Key_F6);
      AccountWindow* window = OpenAccountWindow(debitor ? WindowKind::kDebitoren : WindowKind::kKreditoren);
      ASSERT_NE(window, nullptr);
      Activate(window);
      WhenModal(debitor ? "DEBINEU" : "KREDNEU", [&p](TalviDialog& d) {
        EXPECT_EQ(Focus(), d.Control(kontoneu::kNumber));
        // Number, short code, opening date (today), counter account, name,
        // supplement, street, postal code, town, country, currency, VAT id.
        Fields({p.number, p.shortCode, "", "", p.name, "", "", "", "", p.country, "", p.vatId});
        Key(Qt::Key_Return);
      });
      Button(Qt::Key_N);  // "&Neu..."
      EXPECT_EQ(window->SelectedNumber(), std::string(7 - std::strlen(p.number), ' ') + p.number);
    }
    CloseAccountWindows();
    EXPECT_EQ(messages_->Numbers(), std::vector<int>{});
  }

  // Types one booking into the focused entry dialog and confirms it.
  static void EnterBooking(PostingDialog& dialog, const MonthBooking& b) {
    using namespace buclau;
    const MonthLine& first = b.lines.front();
    SCOPED_TRACE(first.voucher);
    EXPECT_EQ(Focus(), dialog.Control(kDate));
    if (b.lines.size() == 1) {
      // The cash book (KA..) is typed on the numeric pad: "+" moves on.
      bool keypad = first.voucher.rfind("KA", 0) == 0;
      Fields({Typed(first.date), first.voucher, AsTyped(first.debit), AsTyped(first.credit), first.gross}, keypad);
    } else {
      // One fixed account on one side, the lines on the other.
      bool manyDebits = b.lines[1].credit == first.credit;
      long long total = 0;
      for (const MonthLine& l : b.lines) total += Cents(l.gross);
      Fields({Typed(first.date), first.voucher, manyDebits ? "" : first.debit, manyDebits ? first.credit : "",
              Amount(total)});
      Key(manyDebits ? Qt::Key_F11 : Qt::Key_F12);
      auto* split = dialog.findChild<SplitDialog*>();
      ASSERT_NE(split, nullptr);
      Activate(split);
      for (const MonthLine& l : b.lines) {
        EXPECT_EQ(Focus(), split->Control(split_dialog::kAccount));
        Fields({manyDebits ? l.debit : l.credit, l.gross});
        Key(Qt::Key_Return);
      }
      EXPECT_EQ(split->FieldText(split_dialog::kSum), Amount(total));
      Button(Qt::Key_O);
      QApplication::processEvents();
      Activate(&dialog);
    }
    Key(Qt::Key_X, Qt::AltModifier);
    Type(first.text);
    Key(Qt::Key_Return);
    EXPECT_EQ(messages_->Numbers(), std::vector<int>{}) << messages_->shown.front().text;
    messages_->Clear();
  }

  // "Buchungsmonat": March, today's month, stands chosen.
  static void ChooseMarch() {
    WhenModal("BUCPERIODE", [](TalviDialog& d) {
      EXPECT_TRUE(d.Checked(bucperiode::kFirstMonth + 2));
      Key(Qt::Key_Return);
    });
  }

  // Buchen › Laufende Geschäftsvorfälle (Ctrl+B): the month, then the
  // entry dialog beside the main window.
  static PostingDialog* OpenCurrentPostings() {
    ChooseMarch();
    FrameKey(Qt::Key_B, Qt::ControlModifier);
    PostingDialog* dialog = talvera::OpenPostingDialog();
    EXPECT_NE(dialog, nullptr);
    if (dialog) Activate(dialog);
    return dialog;
  }
  // "Buchen-&Ende": the last booking is posted, the dialog goes.
  static void EndPostings(PostingDialog* dialog) {
    Activate(dialog);
    Button(Qt::Key_E);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(talvera::OpenPostingDialog(), nullptr);
  }

  // The rent in a recurring batch of its own (Buchen › Stapelbuchungen,
  // Ctrl+C): made in the batch choice, entered in the batch dialog and
  // posted with "&Übernehmen".
  static void PostTheRent(const MonthBooking& rent) {
    WhenModal("STAPELWAHL", [](TalviDialog& choice) {
      Key(Qt::Key_N, Qt::AltModifier);  // "&Neuer Stapel :"
      Type("Miete");
      Button(Qt::Key_W);  // "&wiederkehrende Buchungen"
      EXPECT_TRUE(choice.Checked(stapelwahl::kRecurring));
      Button(Qt::Key_A);  // "&Anlegen"
      Key(Qt::Key_Return);
    });
    ChooseMarch();
    FrameKey(Qt::Key_C, Qt::ControlModifier);
    auto* dialog = dynamic_cast<BatchPostingDialog*>(talvera::OpenPostingDialog());
    ASSERT_NE(dialog, nullptr);
    Activate(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Stapelbuchen - Miete [W] März 2026");
    rentBatch_ = dialog->header().number;
    EnterBooking(*dialog, rent);
    Button(Qt::Key_Udiaeresis);  // "&Übernehmen"
    EXPECT_EQ(messages_->Numbers(), std::vector<int>{89});  // all posted
    messages_->Clear();
    EndPostings(dialog);
  }

  // AR1007 cancelled on 31.03.2026 in Buchen › Stornieren.
  static void CancelAR1007() {
    WhenModal("BUCSTORNO", [](TalviDialog& d) {
      using namespace bucstorno;
      auto& storno = static_cast<StornoDialog&>(d);
      EXPECT_EQ(Focus(), storno.Control(kFrom));
      Fields({"01.03.26", "31.03.26", "AR1007"});
      Key(Qt::Key_Return);  // "&Liste" is the default button
      QListWidget* list = storno.List(kList);
      ASSERT_EQ(list->count(), 1);
      EXPECT_EQ(Focus(), list) << "the list found takes the focus";
      Key(Qt::Key_Space);  // selects the booking under the cursor
      ASSERT_EQ(list->selectedItems().size(), 1);
      Key(Qt::Key_U, Qt::AltModifier);  // "Stornodat&um:"
      Type("31.03.26");
      Button(Qt::Key_T);  // "S&tornieren"
      EXPECT_EQ(storno.lastRun().posted, 1);
      EXPECT_EQ(messages_->Numbers(), std::vector<int>{});
      Button(Qt::Key_E);  // "Be&enden"
    });
    frame_->RunCommand(2098);
  }

  static void PostTheMonth() {
    std::vector<MonthBooking> month = ReadMonth(kMonthFile);
    ASSERT_EQ(month.size(), 37u);
    // The journal keeps the order of the file: the opening payment, the
    // rent from its batch, then the others in the entry dialog.
    ASSERT_EQ(month[1].lines.front().voucher, "MI03");
    PostingDialog* dialog = OpenCurrentPostings();
    ASSERT_NE(dialog, nullptr);
    EnterBooking(*dialog, month[0]);
    EndPostings(dialog);
    PostTheRent(month[1]);
    if (::testing::Test::HasFatalFailure()) return;
    dialog = OpenCurrentPostings();
    ASSERT_NE(dialog, nullptr);
    for (std::size_t i = 2; i < month.size(); ++i) {
      EnterBooking(*dialog, month[i]);
      if (::testing::Test::HasFatalFailure()) return;
    }
    EndPostings(dialog);
    CancelAR1007();
    posted_ = !::testing::Test::HasFailure();
  }

  // An evaluation from its menu command: the dialog filled in, "Drucker"
  // chosen when `printer`, OK; the main window's report window shows or
  // prints what it built.
  static void RunEvaluationCommand(const Evaluation& e, bool printer) {
    for (std::size_t i = 0; i < e.questions.size(); ++i) messages_->answers.push_back(kIdNo);
    WhenModal(e.dialog, [&e, printer](TalviDialog& d) {
      e.fill(d);
      if (printer) d.Radio(e.printerRadio)->click();
      Key(Qt::Key_Return);
    });
    frame_->RunCommand(e.command);
  }

  // A report as the screen shows it, in the text talvi-cli prints.
  static std::string ScreenText(int kind) {
    const ReportState& r = CurrentReport();
    return ReportFixedText(TheReportBuffer(), kind,
                           kind == kReportJournal ? JournalPeriodText(r.journalFirst, r.journalLast) : "");
  }
  // Compared with the command line's golden file, never rewritten here.
  static void ExpectCliGolden(const char* name, const std::string& text) {
    std::string path = std::string(TALVERA_GOLDEN_DIR) + "/" + name + ".txt";
    std::string golden = ReadWhole(path);
    ASSERT_FALSE(golden.empty()) << path;
    EXPECT_EQ(text, golden) << "differs from " << path;
  }

  static inline TempSettingsDir* settings_ = nullptr;
  static inline TempDir* data_ = nullptr;
  static inline MessageRecorder* messages_ = nullptr;
  static inline int rentBatch_ = 0;
  static inline bool posted_ = false;
  static inline MainFrame* frame_ = nullptr;
  static inline KeyboardFilter* keys_ = nullptr;
};

// ---- the tests -------------------------------------------------------------------------

TEST_F(MonthDialogsTest, TheBooksHoldTheMonthAndTheBatchTheNextRent) {
  std::vector<std::string> problems;
  EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
  // The recurring batch moved on by one period: April's rent waits.
  std::vector<BatchRecord> records;
  ASSERT_TRUE(ListBatchBookings(rentBatch_, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(layouts::GetText(records[0].data(), bat::kVoucherNo), "MI03");
  EXPECT_EQ(std::string(layouts::FieldBytes(records[0].data(), bat::kPostingDate), 6), "010446");  // 01.04.2026
  // The Dutch vendor as typed: its country and VAT id make ER2004 an
  // intra-Community acquisition (its reverse-charge record is in the journal).
  std::vector<char> vendor;
  bool found = false;
  ASSERT_TRUE(ReadAccountRecord(WindowKind::kKreditoren, "  70001", vendor, found));
  ASSERT_TRUE(found);
  EXPECT_EQ(layouts::GetText(vendor.data(), layouts::personal::kCountry), "NL");
  EXPECT_EQ(layouts::GetText(vendor.data(), layouts::personal::kVatId), "NL123456789B01");
}

// The evaluations of the month's end as the user fills in their dialogs,
// beside the command line that makes the same report.
TEST_F(MonthDialogsTest, ScreenReportsAreTheCommandLines) {
  for (const Evaluation& e : kEvaluations) {
    SCOPED_TRACE(e.golden);
    RunEvaluationCommand(e, false);
    EXPECT_EQ(messages_->Numbers(), e.questions);
    messages_->Clear();
    ExpectCliGolden(e.golden, ScreenText(e.kind));
  }
}

// Printed from the dialogs and printed by talvi-cli, every report reads
// the same; the return's upload file is the command line's byte for byte,
// its Kennzahlen sheet reads the same.
TEST_F(MonthDialogsTest, PrintedReportsAndTheUploadAreTheCommandLines) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  std::vector<std::string> texts;
  for (const Evaluation& e : kEvaluations) {
    SCOPED_TRACE(e.golden);
    std::remove(Pdf().c_str());
    RunEvaluationCommand(e, true);
    std::vector<int> shown = e.questions;
    if (e.kind == kReportUstva) shown.push_back(804);  // printed, the month is locked now
    EXPECT_EQ(messages_->Numbers(), shown);
    messages_->Clear();
    texts.push_back(RunCommand("pdftotext -layout '" + Pdf() + "' -"));
  }
  // "Datei &speichern..." of the return: the upload file and beside it the
  // Kennzahlen sheet.
  std::string xml = *settings_ / "maerz.xml";
  WhenModal("USTVA", [&xml](TalviDialog& d) {
    kEvaluations[2].fill(d);
    WhenFileDialog(xml);
    Button(Qt::Key_S);
    Activate(&d);  // back from the file dialog
    Key(Qt::Key_Escape);
  });
  frame_->RunCommand(3012);
  EXPECT_EQ(messages_->Numbers(), std::vector<int>{});
  std::string sheet = RunCommand("pdftotext -layout '" + (*settings_ / "maerz.pdf") + "' -");

  // The same month posted from its file by talvi-cli, in books of its own.
  CloseAll();
  recman::Shutdown();
  TempDir cliSettings, cliData;
  std::ofstream(cliSettings / "TALVI.INI") << "[TALVI]\nPfad=" << cliData.path() << "\nLand=DE\n";
  SetDataRoot(cliData.path());
  for (const std::string& file : recman::ListFiles(TALVERA_CHARTS))
    ASSERT_EQ(recman::CopyFile(std::string(TALVERA_CHARTS) + "/" + file, cliData / file), recman::kOk);
  ASSERT_TRUE(ConvertMasterFile());
  // Made where talvi-cli will read its settings (the Mandant's deduction
  // accounts are kept in TALVI.INI), without a login.
  ::setenv("TALVERA_WINDIR", cliSettings.path().c_str(), 1);
  MandantSeams screen = CurrentMandantSeams();
  SetMandantSeams({});
  CreateCliMandant(kPeople);
  SetMandantSeams(screen);
  ::setenv("TALVERA_WINDIR", settings_->path().c_str(), 1);
  const char* bin = std::getenv("TALVERA_BIN");
  const std::string program = std::string(bin ? bin : TALVERA_BIN_DIR) + "/talvi-cli ";
  std::string cli = "TALVERA_WINDIR='" + cliSettings.path() + "' " + program;
  // Everything it says, the messages of the books on standard error included.
  EXPECT_EQ(RunCommand(cli + "buchen --mandant 1 --csv '" + kMonthFile + "' 2>&1"),
            "37 Buchungen (40 Zeilen) gebucht.\n");
  EXPECT_EQ(RunCommand(cli + "stornieren --mandant 1 --beleg AR1007 --datum 31.03.2026 2>&1"),
            "Die Buchung AR1007 ist storniert.\n");
  // Both books pass the consistency checks (totals, journal, open items).
  for (const std::string& settings : {cliSettings.path(), settings_->path()}) {
    std::string command = "TALVERA_WINDIR='" + settings + "' " + program + "pruefen --mandant 1 >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
  cli += "auswertung ";
  auto cliPdf = [&cli, &cliData](const std::string& args) {
    std::string pdf = cliData / "cli.pdf";
    std::string command = cli + args + " --mandant 1 --pdf '" + pdf + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return RunCommand("pdftotext -layout '" + pdf + "' -");
  };
  for (std::size_t i = 0; i < std::size(kEvaluations); ++i)
    EXPECT_EQ(texts[i], cliPdf(kEvaluations[i].cli)) << kEvaluations[i].golden;
  std::string cliXml = cliData / "cli.xml", cliSheet = cliData / "cli_kz.pdf";
  std::string command = cli + "ustva --mandant 1 --jahr 2026 --periode 3 --xml '" + cliXml + "' --formular '" +
                        cliSheet + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(ReadWhole(xml), ReadWhole(cliXml));
  EXPECT_EQ(sheet, RunCommand("pdftotext -layout '" + cliSheet + "' -"));
  for (const char* field : {"<Kz81>8280</Kz81>", "<Kz86>1950</Kz86>", "<Kz89>5000</Kz89>", "<Kz61>950.00</Kz61>",
                            "<Kz66>1747.10</Kz66>", "<Kz83>-37.40</Kz83>"})
    EXPECT_NE(ReadWhole(xml).find(field), std::string::npos) << field;
  // The hand calculation's figures are there to compare at all.
  const char* figures[] = {"42.713,70", "85.879,30", "-37,40", "11.872,50", "19.511,20", "-175,67 %"};
  for (std::size_t i = 0; i < std::size(figures); ++i)
    EXPECT_NE(texts[i].find(figures[i]), std::string::npos) << kEvaluations[i].golden << "\n" << texts[i];

  // Back to the books of the dialogs.
  SetDataRoot(data_->path());
  ASSERT_TRUE(StartRecordManager());
  ASSERT_TRUE(OpenMandant(1));
}

}  // namespace
}  // namespace talvera::testing
