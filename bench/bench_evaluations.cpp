// bench-evaluations: the account lists on a large year.
//
// A fiscal year (1996) with `records` journal records (default 1,000,000)
// spread evenly over the days and `accounts` Sachkonten (default 2,000),
// whose monthly totals agree with the journal, is written once by a child
// process. Then, in this process:
//   - the trial balance per 15.06. (mid-month), whose cost should follow the
//     accounts: it reads the stored totals and only the postings of 16-30 June;
//     the same list on a year a tenth as large is timed beside it;
//   - the journal of June and of the whole year, each one key scan, against a
//     plain SQLite query over the same table in the same run, decoding the
//     same fields (ratio recman / SQLite); and the journal report of June;
//   - every account sheet of the year, built one after the other and then
//     printed into one PDF file as the program prints them (each sheet's
//     pages painted while the next is built; best of two runs), each
//     against the plain SQLite scan of the
//     year's records (time per journal record, ratio to the scan); and
//     against plain SQLite reading the same records the way the sheets read
//     them, account by account through the debit, credit and tax account
//     indexes (out of page order, so far dearer than the scan), beside the
//     record manager doing just those reads;
//   - the peak memory of this process (the data were written by the child).
//
//   bench-evaluations [records] [accounts] [keep.pdf]
//
// With a third argument the printed sheets are kept in that file, to
// compare the output of two builds (pdftotext, pdftoppm).
//
// Prints "FIGURE <name> <value>" lines.
#include <QApplication>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/layouts/bube.h"
#include "core/layouts/create_file.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/profile.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/journal_search.h"
#include "recman/recman.h"
#include "reports/account_sheet.h"
#include "reports/journal_report.h"
#include "reports/print_report.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/report_buffer.h"
#include "reports/trial_balance.h"
#include "temp_directory.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace bube = layouts::bube;
namespace sako = layouts::sako;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// The processor time of this process (user and system), which a machine
// busy with other work disturbs far less than the elapsed time.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

void UseMandant(const std::string& root, const char* year) {
  SetDataRoot(root);
  SetMandantNumber(1);
  SetFiscalYears(year, "");
  MandantValues& m = CurrentMandant();
  m = MandantValues{};
  std::strcpy(m.currentYear, year);
  std::strcpy(m.companyName, "Bench GmbH");
}

std::string AccountNumber(int i) {
  char n[8];
  std::snprintf(n, sizeof n, "%7d", 1000 + i);
  return n;
}

// Writes the year: the journal in one outer transaction (committed every
// 100,000 records), then the accounts with the totals the journal gives.
bool WriteYear(const std::string& root, const char* year, long records, int accounts) {
  UseMandant(root, year);
  std::string dir = YearDirectory(year);
  std::filesystem::create_directories(dir);
  for (const char* file : {"sako", "bube", "kred", "debi", "kore"})
    if (!layouts::CreateFile(dir, file)) return false;
  std::vector<long long> debit(static_cast<std::size_t>(accounts) * 12), credit(debit.size());
  std::vector<int> count(debit.size());  // postings per account and period, as the engine counts them
  std::vector<char> r(bube::kLayout.recordLength);
  int yearIndex = std::atoi(year) - 1980;
  int lastDay = -1, running = 0;
  if (!Transaction(kBegin)) return false;
  for (long i = 0; i < records; ++i) {
    int dayOfYear = static_cast<int>(i * 365 / records);
    int period = 1, day = dayOfYear;
    while (period < 12 && day >= DaysInPeriod(period, yearIndex)) day -= DaysInPeriod(period++, yearIndex);
    running = dayOfYear == lastDay ? running + 1 : 0;
    lastDay = dayOfYear;
    char date[7], key[11], amount[13];
    MakePeriodDate(date, day + 1, period, yearIndex);
    std::snprintf(key, sizeof key, "%02d%02d%02d%04d", yearIndex, period, day + 1, running);
    int d = static_cast<int>((i * 7919) % accounts), c = static_cast<int>((i * 104729 + 1) % accounts);
    if (c == d) c = (c + 1) % accounts;
    long long cents = 100 + (i * 37) % 100000;
    AmountFromCents(amount, cents);
    layouts::InitRecord(bube::kLayout, r.data());
    layouts::SetRawText(r.data(), bube::kPostingKey, key);
    layouts::SetRawText(r.data(), bube::kPostingDate, date);
    layouts::SetRawText(r.data(), bube::kVoucherDate, date);
    layouts::SetRawText(r.data(), bube::kVoucherNo, "B" + std::to_string(i % 1000000));
    layouts::SetRawText(r.data(), bube::kDebitAccount, AccountNumber(d));
    layouts::SetRawText(r.data(), bube::kCreditAccount, AccountNumber(c));
    layouts::SetRawText(r.data(), bube::kDebitAmount, amount);
    layouts::SetRawText(r.data(), bube::kCreditAmount, amount);
    layouts::SetRawText(r.data(), bube::kText, "Buchung");
    layouts::SetNumber(r.data(), bube::kFlags, 0x40);
    if (!Insert(r.data(), MakeFileId(kSlotBube, 0))) return false;
    debit[static_cast<std::size_t>(d) * 12 + period - 1] += cents;
    credit[static_cast<std::size_t>(c) * 12 + period - 1] += cents;
    ++count[static_cast<std::size_t>(d) * 12 + period - 1];
    ++count[static_cast<std::size_t>(c) * 12 + period - 1];
    if ((i + 1) % 100000 == 0 && !(Transaction(kEnd) && Transaction(kBegin))) return false;
  }
  std::vector<char> a(sako::kLayout.recordLength);
  for (int k = 0; k < accounts; ++k) {
    layouts::InitRecord(sako::kLayout, a.data());
    layouts::SetRawText(a.data(), sako::kAccountNo, AccountNumber(k));
    layouts::SetText(a.data(), sako::kName, "Konto " + std::to_string(1000 + k));
    layouts::SetNumber(a.data(), sako::kAccountClass, 2 << (k % 3));
    for (int p = 0; p < 12; ++p) {
      AmountFromCents(layouts::FieldBytes(a.data(), sako::kPeriodDebit.At(p)),
                      debit[static_cast<std::size_t>(k) * 12 + p]);
      AmountFromCents(layouts::FieldBytes(a.data(), sako::kPeriodCredit.At(p)),
                      credit[static_cast<std::size_t>(k) * 12 + p]);
      layouts::SetNumber(a.data(), sako::kPostingCount.At(p), count[static_cast<std::size_t>(k) * 12 + p]);
    }
    if (!Insert(a.data(), MakeFileId(kSlotSako, 0))) return false;
  }
  bool ok = Transaction(kEnd);
  CloseAll();
  recman::Shutdown();
  return ok;
}

bool WriteInChild(const std::string& root, const char* year, long records, int accounts) {
  pid_t child = fork();
  if (child == 0) _exit(WriteYear(root, year, records, accounts) ? 0 : 1);
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

double TimeTrialBalance(const std::string& root, const char* year) {
  UseMandant(root, year);
  if (!OpenMainFiles()) return -1;
  TrialBalanceOptions o;
  o.kinds = 2;
  MakePeriodDate(o.date, 15, 6, std::atoi(year) - 1980);
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    if (BuildTrialBalance(o) <= 0) return -1;
    best = std::min(best, Seconds(start));
  }
  TheReportBuffer().Clear();
  CloseAll();
  recman::Shutdown();
  return best;
}

// The journal records from `first` to `last` through the record manager.
double RecmanScan(const char* first, const char* last, long& count) {
  auto start = Clock::now();
  count = 0;
  long long sum = 0;
  ForEachJournalLine(first, last, [&](const JournalLine& l) {
    ++count;
    sum += l.debit;
    return true;
  });
  return Seconds(start);
}

// The name of the record manager's table of the journal ("r2").
std::string JournalTable(sqlite3* db) {
  sqlite3_stmt* name = nullptr;
  sqlite3_prepare_v2(db, "SELECT tbl FROM recman_catalogue WHERE name LIKE 'bube.%'", -1, &name, nullptr);
  std::string table = sqlite3_step(name) == SQLITE_ROW ? "r" + std::to_string(sqlite3_column_int(name, 0)) : "";
  sqlite3_finalize(name);
  return table;
}

// The same records by one plain SQLite query over the record manager's table.
double PlainScan(const std::string& dbPath, const char* lo, const char* hi, long& count) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return -1;
  std::string table = JournalTable(db);
  sqlite3_stmt* scan = nullptr;
  std::string sql = "SELECT data FROM " + table + " WHERE k0 BETWEEN ?1 AND ?2 ORDER BY k0";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &scan, nullptr) != SQLITE_OK) return -1;
  auto start = Clock::now();
  sqlite3_bind_blob(scan, 1, lo, 10, SQLITE_STATIC);
  sqlite3_bind_blob(scan, 2, hi, 10, SQLITE_STATIC);
  count = 0;
  long long sum = 0;
  JournalLine line;
  while (sqlite3_step(scan) == SQLITE_ROW) {
    ReadJournalLine(sqlite3_column_blob(scan, 0), line);
    sum += line.debit;
    ++count;
  }
  double seconds = Seconds(start);
  sqlite3_finalize(scan);
  sqlite3_close(db);
  return seconds;
}

// The records of every account as the account sheets read them: by the
// debit, credit and tax account keys, each run of an account in insertion
// order, through the record manager.
double RecmanByAccount(const std::vector<SheetAccount>& accounts, long& count) {
  auto start = Clock::now();
  count = 0;
  long long sum = 0;
  char r[bube::kLayout.recordLength];
  for (const SheetAccount& a : accounts) {
    for (int key = 1; key <= 3; ++key) {
      const layouts::Field& field = key == 1 ? bube::kDebitAccount : key == 2 ? bube::kCreditAccount : bube::kTaxAccount;
      FileId id = MakeFileId(kSlotBube, key);
      bool found = false;
      bool ok = GetGreaterOrEqualFound(r, KeyValue(a.number.c_str(), 8), found, id);
      JournalLine line;
      while (ok && found && std::strncmp(layouts::FieldBytes(r, field), a.number.c_str(), 7) == 0) {
        ReadJournalLine(r, line);
        sum += line.debit;
        ++count;
        ok = GetNextFound(r, found, id);
      }
    }
  }
  return Seconds(start);
}

// The same reads by plain SQLite: one indexed query per account and key.
double PlainByAccount(const std::string& dbPath, const std::vector<SheetAccount>& accounts, long& count) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return -1;
  std::string table = JournalTable(db);
  sqlite3_stmt* byKey[3] = {};
  for (int key = 1; key <= 3; ++key) {
    std::string k = "k" + std::to_string(key);
    std::string sql = "SELECT data FROM " + table + " WHERE " + k + "=?1 ORDER BY id";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &byKey[key - 1], nullptr) != SQLITE_OK) return -1;
  }
  auto start = Clock::now();
  count = 0;
  long long sum = 0;
  JournalLine line;
  for (const SheetAccount& a : accounts) {
    char blob[8] = {};
    std::memcpy(blob, a.number.c_str(), std::min<std::size_t>(a.number.size(), 7));
    for (sqlite3_stmt* scan : byKey) {
      sqlite3_bind_blob(scan, 1, blob, sizeof blob, SQLITE_STATIC);
      while (sqlite3_step(scan) == SQLITE_ROW) {
        ReadJournalLine(sqlite3_column_blob(scan, 0), line);
        sum += line.debit;
        ++count;
      }
      sqlite3_reset(scan);
    }
  }
  double seconds = Seconds(start);
  for (sqlite3_stmt* scan : byKey) sqlite3_finalize(scan);
  sqlite3_close(db);
  return seconds;
}

// Returns the seconds of the plain SQLite scan.
double CompareScans(const std::string& root, const char* label, const char* first, const char* last) {
  UseMandant(root, "1996");
  if (!OpenMainFiles()) return -1;
  long recmanCount = 0, plainCount = 0;
  char lo[11], hi[11];
  std::snprintf(lo, sizeof lo, "%.2s%.2s%.2s0000", first + 4, first + 2, first);
  std::snprintf(hi, sizeof hi, "%.2s%.2s%.2s9999", last + 4, last + 2, last);
  double recman = 1e9, plain = 1e9;
  for (int run = 0; run < 3; ++run) {
    recman = std::min(recman, RecmanScan(first, last, recmanCount));
    plain = std::min(plain, PlainScan(YearDirectory("1996") + "/records.db", lo, hi, plainCount));
  }
  std::string name = std::string("journal_") + label;
  Figure((name + "_records").c_str(), static_cast<double>(recmanCount));
  Figure((name + "_recman_seconds").c_str(), recman);
  Figure((name + "_sqlite_seconds").c_str(), plain);
  Figure((name + "_ratio").c_str(), plain > 0 ? recman / plain : -1);
  if (recmanCount != plainCount) std::fprintf(stderr, "bench-evaluations: %ld records against %ld\n", recmanCount, plainCount);
  CloseAll();
  recman::Shutdown();
  return plain;
}

// Every Sachkonto's sheet of the whole year: built one after the other
// (each replaces the last in the report buffer), then printed into one PDF
// file as the account-sheet command prints them. Times per journal record
// are compared with the plain scan of the year.
void AccountSheets(const std::string& root, long records, double plainYearSeconds, const std::string& keep) {
  UseMandant(root, "1996");
  if (!OpenMainFiles()) return;
  std::vector<SheetAccount> accounts;
  if (!ListSheetAccounts(2, "", "", accounts)) return;
  AccountSheetOptions o;
  o.selector = kWholeYear;
  std::strcpy(o.first, "010116");
  std::strcpy(o.last, "311216");
  auto start = Clock::now();
  long listed = 0;
  for (const SheetAccount& a : accounts) {
    SheetFigures f;
    if (BuildAccountSheet(a, o, &f) < 0) return;
    listed += f.postings;
  }
  double build = Seconds(start);
  double plainPerRecord = plainYearSeconds / static_cast<double>(records);
  Figure("sheets_accounts", static_cast<double>(accounts.size()));
  Figure("sheets_listed_lines", static_cast<double>(listed));
  Figure("sheets_build_seconds", build);
  Figure("sheets_build_ratio", build / static_cast<double>(records) / plainPerRecord);

  // The same records read by account, by plain SQLite and by the record
  // manager alone (best of three each, as the scans).
  long plainRead = 0, recmanRead = 0;
  double plainByAccount = 1e9, recmanByAccount = 1e9, plainByAccountCpu = 1e9;
  for (int run = 0; run < 3; ++run) {
    double cpu = CpuSeconds();
    plainByAccount = std::min(plainByAccount, PlainByAccount(YearDirectory("1996") + "/records.db", accounts, plainRead));
    plainByAccountCpu = std::min(plainByAccountCpu, CpuSeconds() - cpu);
    recmanByAccount = std::min(recmanByAccount, RecmanByAccount(accounts, recmanRead));
  }
  if (plainRead != recmanRead || plainRead != listed)
    std::fprintf(stderr, "bench-evaluations: %ld records by account against %ld, %ld listed\n", recmanRead, plainRead, listed);
  Figure("sheets_by_account_sqlite_seconds", plainByAccount);
  Figure("sheets_by_account_sqlite_cpu_seconds", plainByAccountCpu);
  Figure("sheets_by_account_recman_seconds", recmanByAccount);
  Figure("sheets_by_account_read_ratio", plainByAccount > 0 ? recmanByAccount / plainByAccount : -1);
  Figure("sheets_build_ratio_by_account", plainByAccount > 0 ? build / plainByAccount : -1);

  std::string pdf = root + "/sheets.pdf";
  std::ofstream(TalviIniPath()) << "[TALVI]\nDrucker=" << PrinterSettingForPdf(pdf) << "\n";
  ReadSettings();
  if (!OpenPrinter() || !PreparePrintFont(kReportKontenblatt)) {
    std::fprintf(stderr, "bench-evaluations: no PDF printer\n");
    return;
  }
  o.linesPerPage = CurrentPrinterMetrics().linesPerPage;
  // Best of two, as the plain reads are best of three: one slow run on a
  // shared machine says little about the printing.
  double printed = 1e9, printedCpu = 1e9;
  SheetRunResult result;
  for (int run = 0; run < 2 && !result.failed && !result.stopped; ++run) {
    start = Clock::now();
    double startCpu = CpuSeconds();
    {
      PrintRun printRun;
      PrintBehind behind;
      result = PrintAccountSheets(
          accounts, o,
          [](int lines) {
            SetReportKind(kReportKontenblatt);
            RequestPrint(lines);
            return PrintReport(nullptr);
          },
          nullptr);
      if (!behind.Finish()) result.stopped = true;
    }
    double seconds = Seconds(start), cpu = CpuSeconds() - startCpu;
    Figure(("sheets_pdf_seconds_run_" + std::to_string(run + 1)).c_str(), seconds);
    printed = std::min(printed, seconds);
    printedCpu = std::min(printedCpu, cpu);
  }
  Figure("sheets_pdf_sheets", result.printed);
  Figure("sheets_pdf_seconds", printed);
  Figure("sheets_pdf_ratio", printed / static_cast<double>(records) / plainPerRecord);
  Figure("sheets_pdf_ratio_by_account", plainByAccount > 0 ? printed / plainByAccount : -1);
  Figure("sheets_pdf_cpu_seconds", printedCpu);
  Figure("sheets_pdf_cpu_ratio_by_account", plainByAccountCpu > 0 ? printedCpu / plainByAccountCpu : -1);
  std::error_code ec;
  auto size = std::filesystem::file_size(pdf, ec);
  Figure("sheets_pdf_mb", ec ? -1 : static_cast<double>(size) / (1024.0 * 1024.0));
  if (!keep.empty()) std::filesystem::copy_file(pdf, keep, std::filesystem::copy_options::overwrite_existing, ec);
  if (result.failed || result.stopped) std::fprintf(stderr, "bench-evaluations: the sheets did not print\n");
  CloseAll();
  recman::Shutdown();
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);  // printing to PDF needs fonts and shows its abort dialog
  long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  int accounts = argc > 2 ? std::atoi(argv[2]) : 2000;
  ::setenv("TALVERA_TODAY", "20.12.1996", 1);
  ResetDayToday();
  MessageRecorder messages;  // a failure shows up as a message, not a box
  std::string root = TempDirectory("bench-evaluations");
  ::setenv("TALVERA_WINDIR", root.c_str(), 1);  // the PDF printer's settings live there
  auto start = Clock::now();
  if (!WriteInChild(root, "1996", records, accounts) || !WriteInChild(root, "1997", records / 10, accounts)) {
    std::fprintf(stderr, "bench-evaluations: writing the years failed\n");
    return 1;
  }
  Figure("write_years_seconds", Seconds(start));

  Figure("trial_balance_seconds", TimeTrialBalance(root, "1996"));
  Figure("trial_balance_tenth_seconds", TimeTrialBalance(root, "1997"));

  CompareScans(root, "june", "010616", "300616");
  double plainYear = CompareScans(root, "year", "010116", "311216");

  UseMandant(root, "1996");
  if (OpenMainFiles()) {
    JournalReportOptions o;
    std::strcpy(o.first, "010616");
    std::strcpy(o.last, "300616");
    auto t = Clock::now();
    int lines = BuildJournalReport(o);
    Figure("journal_june_report_seconds", Seconds(t));
    Figure("journal_june_report_lines", lines);
    TheReportBuffer().Clear();
    CloseAll();
    recman::Shutdown();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  Figure("peak_memory_mb", usage.ru_maxrss / 1024.0);
  AccountSheets(root, records, plainYear, argc > 3 ? argv[3] : "");
  getrusage(RUSAGE_SELF, &usage);
  Figure("peak_memory_with_sheets_mb", usage.ru_maxrss / 1024.0);
  for (const MessageRequest& m : messages.shown)
    std::fprintf(stderr, "bench-evaluations: message %d %s\n", m.number, m.text.c_str());
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
