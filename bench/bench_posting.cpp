// bench-posting: the posting engine on a small SKR 03 Mandant.
//
// 20,000 mixed bookings (customer and vendor invoices with tax, payments,
// cost centres, multi-line invoices) are posted twice, each time on a fresh
// Mandant: once all inside one outer transaction, once each booking in its
// own transaction. Between the single bookings a plain SQLite commit of one
// small row (prepared insert, rollback journal, synchronous=FULL, like the
// record manager) is timed on the same disk: the floor of a durable commit.
// Afterwards the stored totals must equal the journal. Both runs are then
// repeated with every fifth booking dated in the previous year (carried
// forward in the same transaction); those figures carry "previous_share".
//
//   bench-posting [bookings] [attached]
//
// With "attached" the Mandant is opened as the program has it after a while:
// the company master file in the data root and the previous year's sako have
// been read too, so their directories stay attached to the record manager
// beside the current year's.
//
// Prints "FIGURE <name> <value>" lines.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/create_file.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "posting/invariants.h"
#include "posting/posting_engine.h"
#include "recman/recman.h"
#include "support/small_mandant.h"
#include "tax/tax_rates.h"
#include "temp_directory.h"

namespace {

using namespace talvera;
using Clock = std::chrono::steady_clock;
namespace bat = layouts::bat;
namespace bl = layouts::bat_line;

constexpr int S = 2, K = 4, D = 8;  // Sachkonto, Kreditor, Debitor

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

// ---- the Mandant ------------------------------------------------------------------

void CloseMandant() {
  CloseAll();
  recman::Shutdown();
}

bool g_attached = false;
bool g_previousShare = false;  // every fifth booking dated in the previous year

// Reads fista and the previous year's sako once, outside any transaction,
// and closes them again as the program does.
bool AttachRootAndPreviousYear(const std::string& root) {
  std::error_code ec;
  std::filesystem::create_directories(YearDirectory("2025"), ec);
  if (!layouts::CreateFile(root, "fista") || !layouts::CreateFile(YearDirectory("2025"), "sako"))
    return false;
  std::vector<char> record(4096);
  bool found = false;
  bool ok = GetFirstFound(record.data(), found, MakeFileId(kSlotFista, 0)) &&
            GetFirstFound(record.data(), found, MakeFileId(kSlotSakoPrevious, 0));
  CloseSlot(kSlotFista);
  CloseSlot(kSlotSakoPrevious);
  return ok;
}

// Fiscal year 2026 from the SKR 03 template: Debitor 10000, Kreditor 70000,
// cost centres 100 and 200.
bool OpenMandant(const std::string& root) {
  SetDataRoot(root);
  testing::SetSmallMandantValues("2026", "2025");
  if (!testing::BuildSmallMandantYear(TALVERA_CHARTS, "2026")) return false;
  if (g_previousShare && !testing::BuildSmallMandantYear(TALVERA_CHARTS, "2025")) return false;
  InstallRateLoading();
  // Reopened as the program opens a Mandant: building it attached the chart
  // templates' directory too, and every transaction would lock that one as
  // well and commit through a super-journal.
  CloseMandant();
  return OpenMainFiles() && (!g_attached || AttachRootAndPreviousYear(root));
}

// ---- bookings ---------------------------------------------------------------------

struct Line {
  const char* debit;
  int debitKind;
  const char* credit;
  int creditKind;
  const char* gross;
  const char* net = nullptr;
  int taxSide = 0, taxClass = 0;
  const char* rate = "00,00";
  const char* costCentre1 = "";
  const char* costCentre2 = "";
  int costCentreKind = 0;
};

struct Shape {
  const char* name;
  std::vector<Line> lines;
};

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"customer_invoice", {{"10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00"}}},
      {"vendor_invoice", {{"3400", S, "70000", K, "000000238,00", "000000200,00", 2, 2, "19,00"}}},
      {"customer_payment", {{"1200", S, "10000", D, "000000119,00"}}},
      {"vendor_payment", {{"70000", K, "1200", S, "000000238,00"}}},
      {"rent_on_two_cost_centres",
       {{"4210", S, "1200", S, "000000500,00", nullptr, 0, 0, "00,00", "    100", "    200", 1}}},
      {"three_line_invoice",
       {{"10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00"},
        {"10000", D, "8736", S, "000000023,80", "000000020,00", 1, 2, "19,00"},
        {"10000", D, "8400", S, "000000011,90", "000000010,00", 1, 2, "19,00"}}},
      {"vendor_invoice_with_cost_centre",
       {{"4210", S, "70000", K, "000000119,00", "000000100,00", 2, 2, "19,00", "    100", "", 1},
        {"3400", S, "70000", K, "000000059,50", "000000050,00", 2, 2, "19,00"}}},
      {"revenue_on_a_cost_centre",
       {{"1200", S, "8120", S, "000000300,00", nullptr, 0, 0, "00,00", "    200", "", 2}}},
  };
  return shapes;
}

// Booking n: shape n mod the shapes, dated over the whole year.
void MakeBooking(int n, std::vector<char>& r) {
  r.assign(bat::kLayout.recordLength, 0);
  layouts::InitRecord(bat::kLayout, r.data());
  char date[16], voucher[16];
  int year = g_previousShare && n % 5 == 4 ? 45 : 46;
  std::snprintf(date, sizeof date, "%02d%02d%02d", 1 + n % 28, 1 + n / 28 % 12, year);
  std::snprintf(voucher, sizeof voucher, "R%07d", n % 10000000);
  const Shape& shape = Shapes()[size_t(n) % Shapes().size()];
  layouts::SetRawText(r.data(), bat::kPostingDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherDate, date);
  layouts::SetRawText(r.data(), bat::kVoucherNo, voucher);
  layouts::SetText(r.data(), bat::kText, shape.name);
  for (size_t i = 0; i < shape.lines.size(); ++i) {
    const Line& l = shape.lines[i];
    auto f = [i](const layouts::Field& field) { return bat::kLine.In(int(i), field); };
    char number[16];
    std::snprintf(number, sizeof number, "%7s", l.debit);
    layouts::SetRawText(r.data(), f(bl::kDebitAccount), number);
    std::snprintf(number, sizeof number, "%7s", l.credit);
    layouts::SetRawText(r.data(), f(bl::kCreditAccount), number);
    layouts::SetNumber(r.data(), f(bl::kDebitKind), l.debitKind);
    layouts::SetNumber(r.data(), f(bl::kCreditKind), l.creditKind);
    layouts::SetRawText(r.data(), f(bl::kGross), l.gross);
    layouts::SetRawText(r.data(), f(bl::kNet), l.net ? l.net : l.gross);
    layouts::SetNumber(r.data(), f(bl::kTaxSide), l.taxSide);
    layouts::SetNumber(r.data(), f(bl::kTaxClass), l.taxClass);
    layouts::SetRawText(r.data(), f(bl::kRate), l.rate);
    layouts::SetRawText(r.data(), f(bl::kCostCentre1), l.costCentre1);
    layouts::SetRawText(r.data(), f(bl::kCostCentre2), l.costCentre2);
    layouts::SetNumber(r.data(), f(bl::kCostCentreKind), l.costCentreKind);
  }
}

bool Post(int n, std::vector<char>& record, const MessageRecorder& messages) {
  MakeBooking(n, record);
  if (PostBooking(record.data(), true)) return true;
  std::fprintf(stderr, "bench-posting: booking %d refused", n);
  if (!messages.shown.empty()) std::fprintf(stderr, ": %s", messages.shown.back().text.c_str());
  std::fprintf(stderr, "\n");
  return false;
}

bool Balanced() {
  std::vector<std::string> problems;
  if (g_previousShare) {
    // The previous year's journal and totals; the current year's check
    // below compares the carried figures with them too.
    if (!SwitchWorkingYear("2025") || !CheckTotalsAgainstJournal(problems)) return false;
    for (const std::string& p : problems) std::fprintf(stderr, "bench-posting: 2025: %s\n", p.c_str());
    if (!problems.empty() || !SwitchWorkingYear("2026")) return false;
  }
  if (!CheckTotalsAgainstJournal(problems)) return false;
  for (const std::string& p : problems) std::fprintf(stderr, "bench-posting: %s\n", p.c_str());
  return problems.empty();
}

// ---- the plain commit -----------------------------------------------------------

class PlainCommit {
 public:
  bool Open(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) return false;
    const char* setup =
        "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;"
        "CREATE TABLE t(id INTEGER PRIMARY KEY, v BLOB NOT NULL)";
    return sqlite3_exec(db_, setup, nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_prepare_v2(db_, "INSERT INTO t(v) VALUES(?1)", -1, &insert_, nullptr) == SQLITE_OK;
  }
  bool Commit() {
    static const char row[16] = "one small row";
    sqlite3_bind_blob(insert_, 1, row, sizeof row, SQLITE_STATIC);
    bool ok = sqlite3_step(insert_) == SQLITE_DONE;
    sqlite3_reset(insert_);
    return ok;
  }
  ~PlainCommit() {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// ---- the two runs -----------------------------------------------------------------

bool RunOuter(const std::string& root, int bookings, const MessageRecorder& messages, double* seconds) {
  if (!OpenMandant(root)) return false;
  std::vector<char> record;
  auto start = Clock::now();
  bool ok = Transaction(kBegin);
  for (int n = 0; ok && n < bookings; ++n) ok = Post(n, record, messages);
  ok = ok && Transaction(kEnd);
  *seconds = Seconds(start);
  ok = ok && Balanced();
  CloseMandant();
  return ok;
}

struct SingleTimes {
  std::vector<double> booking, plain;
  std::vector<std::vector<double>> byShape;
  double seconds = 0;
};

bool RunSingle(const std::string& root, int bookings, const MessageRecorder& messages, SingleTimes* t) {
  PlainCommit plain;
  if (!plain.Open(root + "/plain.db") || !OpenMandant(root)) return false;
  std::vector<char> record;
  t->byShape.assign(Shapes().size(), {});
  bool ok = true;
  for (int n = 0; ok && n < bookings; ++n) {
    auto start = Clock::now();
    ok = Post(n, record, messages);
    double booking = Seconds(start);
    t->seconds += booking;
    t->booking.push_back(booking);
    t->byShape[size_t(n) % Shapes().size()].push_back(booking);
    start = Clock::now();
    ok = ok && plain.Commit();
    t->plain.push_back(Seconds(start));
  }
  ok = ok && Balanced();
  CloseMandant();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int bookings = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (bookings <= 0) return 2;
  g_attached = argc > 2 && std::strcmp(argv[2], "attached") == 0;
  ::setenv("TALVERA_TODAY", "09.12.2026", 1);
  ResetDayToday();
  MessageRecorder messages;
  bool ok = true;
  for (bool previousShare : {false, true}) {
    g_previousShare = previousShare;
    std::string outerRoot = TempDirectory("bench-posting"), singleRoot = TempDirectory("bench-posting");
    if (outerRoot.empty() || singleRoot.empty()) return 1;
    double outerSeconds = 0;
    SingleTimes single;
    ok = RunOuter(outerRoot, bookings, messages, &outerSeconds) &&
         RunSingle(singleRoot, bookings, messages, &single);
    std::error_code ec;
    std::filesystem::remove_all(outerRoot, ec);
    std::filesystem::remove_all(singleRoot, ec);
    if (!ok) break;
    double bookingMedian = Median(single.booking), plainMedian = Median(single.plain);
    std::string prefix = previousShare ? "posting_previous_share_" : "posting_";
    Figure((prefix + "outer_per_s").c_str(), bookings / outerSeconds);
    Figure((prefix + "single_latency_ratio").c_str(), bookingMedian / plainMedian);
    Figure((prefix + "single_median_us").c_str(), bookingMedian * 1e6);
    if (!previousShare) Figure("plain_commit_median_us", plainMedian * 1e6);
    Figure((prefix + "single_per_s").c_str(), bookings / single.seconds);
    if (previousShare) {
      // The previous-year bookings alone: every fifth.
      std::vector<double> previous;
      for (size_t n = 4; n < single.booking.size(); n += 5) previous.push_back(single.booking[n]);
      Figure("posting_previous_year_single_ratio", Median(previous) / plainMedian);
      continue;
    }
    for (size_t s = 0; s < Shapes().size(); ++s) {
      std::string name = std::string("posting_single_ratio_") + Shapes()[s].name;
      Figure(name.c_str(), Median(single.byShape[s]) / plainMedian);
    }
  }
  if (!ok) {
    std::fprintf(stderr, "bench-posting: failed\n");
    return 1;
  }
  return 0;
}
