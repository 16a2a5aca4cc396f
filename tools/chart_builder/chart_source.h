// The readable sources of a chart template, as read from resources/charts:
// accounts, tax rates and the three structure trees. Reading only checks
// the form of each line; the rules that tie the tables together are
// chart_rules.h's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvera::charts {

// Problems found in the sources, one line each: "skr03/sako.txt:12: ...".
class Diagnostics {
 public:
  void Add(const std::string& file, int line, const std::string& text);
  bool empty() const { return lines_.empty(); }
  const std::vector<std::string>& lines() const { return lines_; }
  // True when some line contains `fragment` (for tests).
  bool Mentions(std::string_view fragment) const;

 private:
  std::vector<std::string> lines_;
};

// Tax-key bits of an account and rate classes of the rate records.
enum TaxBits : int {
  kReverseChargeRate = 1,  // recipient owes the tax (§ 13b UStG)
  kStandardRate = 2,
  kReducedRate = 4,
  kZeroRate = 8,
  kOtherRate = 16,
  kInputTax = 32,
  kEcRate = 128,
};
// Account classes.
enum AccountClass : int { kNoClass = 0, kAsset = 2, kLiability = 4, kProfitAndLoss = 8 };

struct AccountRow {
  std::string number;     // right-aligned to seven characters: "   0869"
  std::string shortCode;  // UTF-8
  std::string name;       // UTF-8
  int accountClass = kNoClass;
  int taxKey = 0;         // rate class bit, plus kInputTax
  std::string rate;       // "19,00" for other and EC keys, else empty
  bool revenue = false;   // tax class fixed in bookings
  int ustvaKey = 0;
  int costBehaviour = 0;  // 0 no cost type, 1 fixed, 2 variable
  bool fixedAsset = false;
  int line = 0;
};

struct RateRow {
  int rateClass = 0;      // kStandardRate, kReducedRate, kOtherRate, kEcRate or kReverseChargeRate
  int day = 0, month = 0, year = 0;  // valid from (calendar)
  std::string rate;       // "19,00"; empty for other and EC
  std::string outputAccount;  // right-aligned
  std::string inputAccount;
  int index = -1;         // within the class, 0 newest (NumberRates)
  int line = 0;
};

struct AccountRange {
  std::string from, to;   // right-aligned; equal for a single number
  bool single() const { return from == to; }
};

struct TreeLine {
  enum Kind { kGroup, kAccounts, kAlternatives };
  Kind kind = kGroup;
  int level = 0;          // groups: 1..3
  std::string text;       // groups: UTF-8 label
  int attributes = 0;     // groups: display bits
  std::vector<AccountRange> ranges;  // account lines
  int line = 0;
};

// The three trees and the classes their leaves have.
enum TreeId { kProfitAndLossTree = 0, kAssetsTree = 1, kLiabilitiesTree = 2 };
inline constexpr int kTreeCount = 3;
const char* TreeFileName(TreeId tree);  // "guvauf", "bilaktau", "bilpasau"
const char* TreeTitle(TreeId tree);     // "GuV", "Aktiva", "Passiva"
int TreeClass(TreeId tree);             // class of a normal leaf
int AlternativeClass(TreeId tree);      // class of an alternative leaf; 0 for the P&L

// Display attributes of a group.
enum GroupAttribute : int {
  kEmptyLineBefore = 1,
  kSumAbove = 2,   // a computed line: the sum of the groups above it
  kYearResult = 4, // the line of the year's result in the balance sheet
  kBold = 16,
  kUnderlined = 32,
  kLargerFont = 64,
};

struct ChartSource {
  std::vector<AccountRow> accounts;
  std::vector<RateRow> rates;
  std::vector<TreeLine> trees[kTreeCount];
  // File names as they appear in messages ("skr03/sako.txt").
  std::string accountsFile, ratesFile, treeFiles[kTreeCount];
};

// Parsers of one table's text; `file` names it in the diagnostics.
void ParseAccounts(std::string_view text, const std::string& file, std::vector<AccountRow>& out,
                   Diagnostics& diagnostics);
void ParseRates(std::string_view text, const std::string& file, std::vector<RateRow>& out,
                Diagnostics& diagnostics);
void ParseTree(std::string_view text, const std::string& file, std::vector<TreeLine>& out,
               Diagnostics& diagnostics);

// Reads the five tables of <sourceRoot>/<folder>. False when a file is
// missing or a line is malformed (all problems are in `diagnostics`).
bool ReadChartSource(const std::string& sourceRoot, const std::string& folder, ChartSource& out,
                     Diagnostics& diagnostics);

// "   0869" from "0869"; empty when the text is not 1..7 digits.
std::string AccountNumber(std::string_view digits);

}  // namespace talvera::charts
