// bench-cli: a year of bookings posted and evaluated through talvi-cli, the
// program a user runs, on a Mandant made from SKR 03 as the program makes it.
//
// For each size (default 20,000 and 100,000 bookings; "--gross" for 100,000
// and 1,000,000) a fresh data root gets a Mandant with 10 customers and 10
// vendors, and a CSV file of that many bookings spread over the fiscal year
// 2026 (sales at 19 % and 7 %, purchases, payments, cash and expenses).
// Then, each as its own talvi-cli process:
//   - buchen: the whole file checked and posted in one transaction
//     (bookings per second);
//   - the trial balance per 15.06. (mid-month: totals plus the postings of
//     16-30 June) and per 30.06. (the stored totals alone), the journal of
//     June and of the year, the UStVA of June and of the second quarter
//     (the account totals plus the records naming a tax account as debit or
//     credit, read by the journal's account keys), all as text;
//   - the P&L and the balance sheet of the year (stored totals only);
//   - every account sheet of the year printed into one PDF file;
//   - pruefen (totals against the journal).
// Each evaluation is set against plain SQLite doing the same reads in the
// same run (the account records and the journal range the report needs,
// decoded as the report decodes them): ratio = talvi-cli / SQLite. The
// talvi-cli times include the start of the process and the opening of the
// Mandant (start_seconds: "talvi-cli mandanten", the part every call pays).
// Dates in the journal keys count years from 1980 (2026 is 46). Peak memory
// is each process's maximum resident set.
//
//   bench-cli [--keep DIR] [--gross | SIZE...]
//
// With --keep the data root of each size stays in DIR/<size> and a later
// run with the same DIR evaluates it again without posting the year anew
// (the posting figures are then left out).
//
// Prints "FIGURE <name> <value>" lines; names carry the size ("_100000"),
// and with more than one size "<name>_growth_<first>_to_<last>": the time at
// the last size over the time at the first.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "accounts/account_store.h"
#include "core/amount.h"
#include "core/layouts/layouts.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant/create_mandant.h"
#include "core/mandant/data_conversion.h"
#include "core/mandant/open_mandant.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/journal_search.h"
#include "recman/recman.h"
#include "tax/ustva_form.h"
#include "temp_directory.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace sako = layouts::sako;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string g_suffix;
void Figure(const std::string& name, double value) {
  std::printf("FIGURE %s_%s %.4f\n", name.c_str(), g_suffix.c_str(), value);
  std::fflush(stdout);
}

std::string CliPath() {
  if (const char* bin = getenv("TALVERA_BIN")) return std::string(bin) + "/talvi-cli";
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "talvi-cli";
  self[n] = '\0';
  return std::filesystem::path(self).parent_path() / "talvi-cli";
}

// ---- the Mandant and the file --------------------------------------------------

bool MakeMandant(const std::string& root) {
  std::ofstream(root + "/TALVI.INI") << "[TALVI]\nPfad=" << root << "/daten\nLand=DE\n";
  // The Mandant's settings (its deduction accounts among them) go where
  // talvi-cli reads them, not into the settings of whoever runs the bench.
  ::setenv("TALVERA_WINDIR", root.c_str(), 1);
  std::string data = root + "/daten";
  std::filesystem::create_directories(data);
  ReadSettings();
  SetDataRoot(data);
  for (const std::string& file : recman::ListFiles(TALVERA_CHARTS))
    if (recman::CopyFile(std::string(TALVERA_CHARTS) + "/" + file, data + "/" + file) != recman::kOk) return false;
  if (!ConvertMasterFile()) return false;
  NewMandant in;
  in.year = "2026";
  in.name = "Bench Handel GmbH";
  in.taxOffice = "Finanzamt Nord";
  in.taxNumber = "123/456/78901";
  in.vatId = "DE123456789";
  int number = 0;
  if (!CreateMandant(in, &number) || !OpenMandant(number)) return false;
  namespace p = layouts::personal;
  for (int k = 0; k < 20; ++k) {
    std::vector<char> r(p::kLayout.recordLength);
    layouts::InitRecord(p::kLayout, r.data());
    char account[8];
    std::snprintf(account, sizeof account, "%7d", k < 10 ? 10000 + k : 70000 + k - 10);
    layouts::SetRawText(r.data(), p::kAccountNo, account);
    layouts::SetText(r.data(), p::kShortCode, (k < 10 ? "K" : "L") + std::to_string(k));
    layouts::SetText(r.data(), p::kName, (k < 10 ? "Kunde " : "Lieferant ") + std::to_string(k));
    if (!SaveNewAccount(k < 10 ? AccountFile::kDebi : AccountFile::kKred, r.data(), false)) return false;
  }
  CloseAll();
  recman::Shutdown();
  return true;
}

const int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

void WriteBookings(const std::string& path, long bookings) {
  std::ofstream out(path, std::ios::binary);
  out << "Datum;Beleg;Soll;Haben;Betrag;Text\n";
  char line[160];
  for (long i = 0; i < bookings; ++i) {
    int day = static_cast<int>(i * 365 / bookings), month = 0;
    while (day >= kDaysInMonth[month]) day -= kDaysInMonth[month++];
    int customer = 10000 + static_cast<int>(i % 10), vendor = 70000 + static_cast<int>((i / 10) % 10);
    long cents = 100 + (i * 7919) % 500000;
    std::string debit, credit;
    const char* text = "";
    switch (i % 10) {
      case 0: debit = std::to_string(customer); credit = "8400"; text = "Rechnung"; break;
      case 1: debit = std::to_string(customer); credit = "8300"; text = "Rechnung 7 %"; break;
      case 2: debit = "3400"; credit = std::to_string(vendor); text = "Wareneingang"; break;
      case 3: debit = "3300"; credit = std::to_string(vendor); text = "Wareneingang 7 %"; break;
      case 4: debit = "1200"; credit = std::to_string(customer); text = "Zahlung Kunde"; break;
      case 5: debit = std::to_string(vendor); credit = "1200"; text = "Zahlung Lieferant"; break;
      case 6: debit = "4930"; credit = "1000"; text = "Bürobedarf"; break;
      case 7: debit = "1000"; credit = "8400"; text = "Barverkauf"; break;
      case 8: debit = "4210"; credit = "1200"; text = "Miete"; break;
      default: debit = "4970"; credit = "1200"; text = "Kontoführung"; break;
    }
    std::snprintf(line, sizeof line, "%02d.%02d.2026;B%ld;%s;%s;%ld,%02ld;%s\n", day + 1, month + 1, i % 10000000,
                  debit.c_str(), credit.c_str(), cents / 100, cents % 100, text);
    out << line;
  }
}

// ---- talvi-cli as a process -------------------------------------------------------

struct ProcessRun {
  bool ok = false;
  double seconds = 0;
  double peakMb = 0;
};

ProcessRun RunCli(const std::string& root, const std::vector<std::string>& args, const std::string& outPath) {
  ProcessRun run;
  std::string cli = CliPath();
  auto start = Clock::now();
  pid_t child = fork();
  if (child == 0) {
    setenv("TALVERA_WINDIR", root.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    FILE* out = std::freopen(outPath.c_str(), "w", stdout);
    (void)out;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(cli.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(cli.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = Seconds(start);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakMb = usage.ru_maxrss / 1024.0;
  if (!run.ok) std::fprintf(stderr, "bench-cli: talvi-cli %s failed (status %d)\n", args[0].c_str(), WEXITSTATUS(status));
  return run;
}

// ---- the same reads in plain SQLite -------------------------------------------------

class PlainBooks {
 public:
  explicit PlainBooks(const std::string& db) {
    if (sqlite3_open_v2(db.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return;
    bube_ = Table("bube.%");
    sako_ = Table("sako.%");
  }
  ~PlainBooks() { sqlite3_close(db_); }

  // The journal records of a date range (DDPPYY), decoded.
  long Journal(const char* first, const char* last) {
    char lo[11], hi[11];
    std::snprintf(lo, sizeof lo, "%.2s%.2s%.2s0000", first + 4, first + 2, first);
    std::snprintf(hi, sizeof hi, "%.2s%.2s%.2s9999", last + 4, last + 2, last);
    sqlite3_stmt* scan = nullptr;
    std::string sql = "SELECT data FROM " + bube_ + " WHERE k0 BETWEEN ?1 AND ?2 ORDER BY k0";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &scan, nullptr) != SQLITE_OK) return -1;
    sqlite3_bind_blob(scan, 1, lo, 10, SQLITE_STATIC);
    sqlite3_bind_blob(scan, 2, hi, 10, SQLITE_STATIC);
    long count = 0;
    long long sum = 0;
    JournalLine line;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      ReadJournalLine(sqlite3_column_blob(scan, 0), line);
      sum += line.debit;
      ++count;
    }
    sqlite3_finalize(scan);
    return count + (sum == -1 ? 1 : 0);
  }
  // The records naming one of the accounts as debit or credit (the
  // journal's account keys: the whole year of each), decoded; those of the
  // date range (DDPPYY) counted.
  long ByAccounts(const std::vector<std::string>& accounts, const char* first, const char* last) {
    char lo[11], hi[11];
    std::snprintf(lo, sizeof lo, "%.2s%.2s%.2s0000", first + 4, first + 2, first);
    std::snprintf(hi, sizeof hi, "%.2s%.2s%.2s9999", last + 4, last + 2, last);
    long count = 0;
    long long sum = 0;
    JournalLine line;
    for (const char* column : {"k1", "k2"}) {
      sqlite3_stmt* scan = nullptr;
      std::string sql = "SELECT data FROM " + bube_ + " WHERE " + column + " = ?1";
      if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &scan, nullptr) != SQLITE_OK) return -1;
      for (const std::string& account : accounts) {
        char key[8] = {};
        std::memcpy(key, account.data(), std::min<std::size_t>(account.size(), 7));
        sqlite3_bind_blob(scan, 1, key, sizeof key, SQLITE_STATIC);
        while (sqlite3_step(scan) == SQLITE_ROW) {
          ReadJournalLine(sqlite3_column_blob(scan, 0), line);
          if (line.key < std::string(lo) || line.key > std::string(hi)) continue;
          sum += line.debit;
          ++count;
        }
        sqlite3_reset(scan);
      }
      sqlite3_finalize(scan);
    }
    return count + (sum == -1 ? 1 : 0);
  }
  // The accounts whose UStVA key names a tax line of the year's form.
  std::vector<std::string> TaxAccounts(int year) {
    std::vector<std::string> out;
    const UstvaForm* form = UstvaFormFor("DE", year);
    sqlite3_stmt* scan = nullptr;
    std::string sql = "SELECT data FROM " + sako_ + " ORDER BY k0";
    if (!form || sqlite3_prepare_v2(db_, sql.c_str(), -1, &scan, nullptr) != SQLITE_OK) return out;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      const void* r = sqlite3_column_blob(scan, 0);
      int key = static_cast<int>(layouts::GetNumber(r, sako::kUstvaKey));
      if (key == 0) continue;
      int taxKey = static_cast<int>(layouts::GetNumber(r, sako::kTaxKey));
      const UstvaLine* line = form->LineForAccountKey(TodaysKennzahl(key, taxKey), year);
      if (line && line->IsTax()) out.push_back(layouts::GetText(r, sako::kAccountNo));
    }
    sqlite3_finalize(scan);
    return out;
  }
  // Every account record, its twelve period totals added up.
  long Accounts() {
    sqlite3_stmt* scan = nullptr;
    std::string sql = "SELECT data FROM " + sako_ + " ORDER BY k0";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &scan, nullptr) != SQLITE_OK) return -1;
    long count = 0;
    long long sum = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      const void* r = sqlite3_column_blob(scan, 0);
      for (int p = 0; p < 12; ++p) {
        for (const layouts::Field& side : {sako::kPeriodDebit.At(p), sako::kPeriodCredit.At(p)}) {
          long long cents = 0;
          if (AmountToCents(layouts::GetText(r, side).c_str(), &cents)) sum += cents;
        }
      }
      ++count;
    }
    sqlite3_finalize(scan);
    return count + (sum == -1 ? 1 : 0);
  }

 private:
  std::string Table(const char* like) {
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db_, "SELECT tbl FROM recman_catalogue WHERE name LIKE ?1", -1, &q, nullptr);
    sqlite3_bind_text(q, 1, like, -1, SQLITE_STATIC);
    std::string table = sqlite3_step(q) == SQLITE_ROW ? "r" + std::to_string(sqlite3_column_int(q, 0)) : "";
    sqlite3_finalize(q);
    return table;
  }

  sqlite3* db_ = nullptr;
  std::string bube_, sako_;
};

// Each evaluation's time per size, in the order of the sizes, for the growth
// figures at the end.
std::map<std::string, std::vector<double>> g_times;

template <typename F>
double BestOf3(F read) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    read();
    best = std::min(best, Seconds(start));
  }
  return best;
}

void Evaluation(const std::string& root, const std::string& name, const std::vector<std::string>& args,
                double plainSeconds) {
  ProcessRun run = RunCli(root, args, root + "/" + name + ".txt");
  if (!run.ok) return;
  Figure(name + "_seconds", run.seconds);
  Figure(name + "_sqlite_seconds", plainSeconds);
  Figure(name + "_ratio", plainSeconds > 0 ? run.seconds / plainSeconds : -1);
  Figure(name + "_peak_mb", run.peakMb);
  g_times[name].push_back(run.seconds);
}

std::string g_keep;

bool RunSize(long bookings) {
  g_suffix = std::to_string(bookings);
  std::string root;
  bool posted = false;
  if (g_keep.empty()) {
    root = TempDirectory("bench-cli");
  } else {
    root = g_keep + "/" + g_suffix;
    posted = std::filesystem::exists(root + "/buchen.txt");
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
  }
  if (!posted) {
    if (root.empty() || !MakeMandant(root)) {
      std::fprintf(stderr, "bench-cli: the Mandant cannot be made\n");
      return false;
    }
    std::string csv = root + "/jahr.csv";
    WriteBookings(csv, bookings);
    ProcessRun post = RunCli(root, {"buchen", "--mandant", "1", "--csv", csv}, root + "/buchen.tmp");
    if (!post.ok) return false;
    std::filesystem::rename(root + "/buchen.tmp", root + "/buchen.txt");
    Figure("post_seconds", post.seconds);
    Figure("post_bookings_per_second", bookings / post.seconds);
    Figure("post_peak_mb", post.peakMb);
  }

  // What every call costs before it reads: the process, the settings, the
  // Mandant file.
  ProcessRun start = RunCli(root, {"mandanten"}, root + "/mandanten.txt");
  Figure("start_seconds", start.seconds);
  PlainBooks plain(root + "/daten/2026/records.db");
  std::vector<std::string> m = {"--mandant", "1"};
  auto with = [&m](std::vector<std::string> a) {
    a.insert(a.begin() + 2, m.begin(), m.end());
    return a;
  };
  Evaluation(root, "trial_balance",
             with({"auswertung", "saldenliste", "--bis", "15.06.2026", "--arten", "SKD"}),
             BestOf3([&] { plain.Accounts(); plain.Journal("160646", "300646"); }));
  Evaluation(root, "trial_balance_month_end",
             with({"auswertung", "saldenliste", "--bis", "30.06.2026", "--arten", "SKD"}),
             BestOf3([&] { plain.Accounts(); }));
  Evaluation(root, "journal_month", with({"auswertung", "journal", "--jahr", "2026", "--periode", "6"}),
             BestOf3([&] { plain.Journal("010646", "300646"); }));
  Evaluation(root, "journal_year", with({"auswertung", "journal", "--jahr", "2026", "--periode", "jahr"}),
             BestOf3([&] { plain.Journal("010146", "311246"); }));
  std::vector<std::string> taxAccounts = plain.TaxAccounts(2026);
  Evaluation(root, "ustva_month", with({"auswertung", "ustva", "--jahr", "2026", "--periode", "6"}),
             BestOf3([&] { plain.Accounts(); plain.ByAccounts(taxAccounts, "010646", "300646"); }));
  Evaluation(root, "ustva_quarter", with({"auswertung", "ustva", "--jahr", "2026", "--periode", "Q2"}),
             BestOf3([&] { plain.Accounts(); plain.ByAccounts(taxAccounts, "010446", "300646"); }));
  Evaluation(root, "pnl_year",
             with({"auswertung", "guv", "--bis", "31.12.2026", "--jahreswerte", "--konten", "bebucht"}),
             BestOf3([&] { plain.Accounts(); }));
  Evaluation(root, "balance_sheet_year",
             with({"auswertung", "bilanz", "--bis", "31.12.2026", "--konten", "bebucht"}),
             BestOf3([&] { plain.Accounts(); }));
  Evaluation(root, "sheets_pdf",
             with({"auswertung", "kontenblatt", "--arten", "SKD", "--jahr", "2026", "--periode", "jahr", "--pdf",
                   root + "/blaetter.pdf"}),
             BestOf3([&] { plain.Journal("010146", "311246"); }));
  ProcessRun check = RunCli(root, {"pruefen", "--mandant", "1"}, root + "/pruefen.txt");
  Figure("check_seconds", check.seconds);
  Figure("check_peak_mb", check.peakMb);
  if (!check.ok) std::fprintf(stderr, "bench-cli: pruefen found differences\n");
  if (g_keep.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("TALVERA_TODAY", "31.12.2026", 1);
  ResetDayToday();
  MessageRecorder messages;
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gross") == 0) sizes = {100000, 1000000};
    else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) g_keep = argv[++i];
    else sizes.push_back(std::atol(argv[i]));
  }
  if (sizes.empty()) sizes = {20000, 100000};
  for (long size : sizes) {
    if (size <= 0 || !RunSize(size)) return 1;
  }
  // How each evaluation's time grows from the smallest to the largest size.
  if (sizes.size() > 1) {
    g_suffix = std::to_string(sizes.front()) + "_to_" + std::to_string(sizes.back());
    for (const auto& [name, times] : g_times)
      if (times.size() == sizes.size() && times.front() > 0) Figure(name + "_growth", times.back() / times.front());
  }
  for (const MessageRequest& m : messages.shown)
    std::fprintf(stderr, "bench-cli: message %d %s\n", m.number, m.text.c_str());
  return 0;
}
