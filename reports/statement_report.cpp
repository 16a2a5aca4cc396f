// Both statements walk a tree twice: first the sums (a group's value is the
// sum of its visible accounts and of its subgroups), then the lines in tree
// order. Values are signed so that positive is the tree's expected side:
// debit in the P&L and the assets tree, credit in the liabilities tree.
//
// The balance sheet balances by construction: its year's result is the
// difference of the two sides' sums before the result, and it is part of
// the liabilities side's sum, so "Summe Aktiva" equals "Summe Passiva"
// even when an account with a balance hangs in no tree.
#include "reports/statement_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/mandant_values.h"
#include "reports/account_analysis.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"
#include "reports/statement_values.h"

namespace talvera {
namespace {

int Two(const char* s) { return (s[0] - '0') * 10 + (s[1] - '0'); }

constexpr int kBlockWidths[] = {56, 74, 92, 108};
constexpr int kNameSlot = 0, kBlock1 = 3, kBlock2 = 6, kBlock3 = 9, kBlock4 = 12;
constexpr int kSlotsUsed = 15;
constexpr int kHeadingLines = 7;

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

// " S" for a debit value, " H" for a credit one.
std::string SideAmount(long long debitMinusCredit) {
  return DisplayAmount(std::llabs(debitMinusCredit)) + (debitMinusCredit > 0 ? " S" : " H");
}

struct EntryValue {
  long long value = 0, previous = 0;
  bool previousKnown = true;
  bool visible = true;
  void Add(const EntryValue& v) {
    value += v.value;
    previous += v.previous;
    previousKnown = previousKnown && v.previousKnown;
  }
};

// The sums of one tree.
class TreeSums {
 public:
  TreeSums(const StructureTree& tree, int sign) : tree_(tree), sign_(sign) {}

  // `place` decides for a leaf whether it is shown in this tree.
  template <typename Place>
  EntryValue Compute(const StatementAccounts& accounts, Place place, const EntryValue& result) {
    values_.clear();
    return Group(StructureTree::kHeader, accounts, place, result);
  }
  const EntryValue& At(int handle) const {
    static const EntryValue none{0, 0, true, false};
    auto it = values_.find(handle);
    return it == values_.end() ? none : it->second;
  }
  const StructureTree& tree() const { return tree_; }
  int sign() const { return sign_; }
  // True when a group carries the year's result.
  bool HasResultGroup() const {
    for (int h : tree_.DepthFirst())
      if (tree_.at(h).IsGroup() && (tree_.at(h).attributes & kGroupYearResult)) return true;
    return false;
  }

 private:
  template <typename Place>
  EntryValue Group(int handle, const StatementAccounts& accounts, Place place, const EntryValue& result) {
    EntryValue sum;
    EntryValue above;  // the groups above under this parent, for a computed line
    for (int child : tree_.at(handle).children) {
      const StructureEntry& e = tree_.at(child);
      EntryValue v;
      if (e.IsLeaf()) {
        auto it = accounts.find(e.text);
        v.visible = it != accounts.end() && place(e, it->second);
        if (v.visible) {
          v.value = sign_ * it->second.value;
          v.previous = sign_ * it->second.previous;
          v.previousKnown = it->second.previousKnown;
          sum.Add(v);
        }
      } else if (e.attributes & kGroupSumAbove) {
        v = above;
      } else if (e.attributes & kGroupYearResult) {
        v = result;
        sum.Add(v);
        above.Add(v);
      } else {
        v = Group(child, accounts, place, result);
        sum.Add(v);
        above.Add(v);
      }
      values_[child] = v;
    }
    return sum;
  }

  const StructureTree& tree_;
  int sign_;
  std::map<int, EntryValue> values_;
};

bool Unexpected(const StatementAccount& a) {
  return (a.accountClass == 2 && a.value < 0) || (a.accountClass == 4 && a.value > 0);
}

bool HasPlaceIn(const StructureTree& tree, const std::string& account) {
  return tree.FindLeaf(account, false) >= 0 || tree.FindLeaf(account, true) >= 0;
}

// Where the balance sheet shows an account: in its own tree unless its
// balance lies on the other side and the other tree has a place for it.
auto BalancePlacement(const StructureTree& other) {
  return [&other](const StructureEntry& leaf, const StatementAccount& a) {
    bool unexpected = Unexpected(a);
    if (leaf.kind == StructureEntry::kAlternativeLeaf) return unexpected;
    return !(unexpected && HasPlaceIn(other, a.number));
  };
}

// Both sides of a balance sheet summed, with the year's result.
struct BalanceFigures {
  StructureTree assets, liabilities;
  StatementAccounts accounts;
  TreeSums assetSums{assets, 1}, liabilitySums{liabilities, -1};
  EntryValue assetTotal, liabilityTotal, result;
  bool resultInTree = false;

  bool Read(const StatementOptions& o) {
    if (!ReadStatementTree(StructureKind::kAssets, assets) ||
        !ReadStatementTree(StructureKind::kLiabilities, liabilities))
      return false;
    ValueRequest r;
    std::memcpy(r.date, o.date, sizeof r.date);
    r.span = o.opening ? ValueSpan::kOpening : ValueSpan::kBalance;
    if (!ReadStatementAccounts(2 | 4, r, accounts)) return false;
    assetTotal = assetSums.Compute(accounts, BalancePlacement(liabilities), {});
    EntryValue before = liabilitySums.Compute(accounts, BalancePlacement(assets), {});
    result = EntryValue{assetTotal.value - before.value, assetTotal.previous - before.previous,
                        assetTotal.previousKnown && before.previousKnown, true};
    liabilityTotal = liabilitySums.Compute(accounts, BalancePlacement(assets), result);
    resultInTree = liabilitySums.HasResultGroup();
    if (!resultInTree) liabilityTotal.Add(result);
    return true;
  }
};

// The lines of a tree in print order: groups down to the depth, accounts
// as asked, for whoever lays them out otherwise than the statements.
void CollectLines(const TreeSums& sums, const StatementAccounts& accounts, const StatementOptions& o, int handle,
                  std::vector<StatementLine>& out) {
  const StructureTree& tree = sums.tree();
  for (int child : tree.at(handle).children) {
    const StructureEntry& e = tree.at(child);
    const EntryValue& v = sums.At(child);
    StatementLine line{"", std::min(tree.DepthOf(child), 3), e.IsLeaf(), v.value, v.previous, v.previousKnown};
    if (e.IsLeaf()) {
      if (o.accounts == StatementAccountLines::kNone || !v.visible || tree.at(e.parent).level > o.depth) continue;
      if (o.accounts == StatementAccountLines::kPosted && v.value == 0 && v.previous == 0) continue;
      auto it = accounts.find(e.text);
      line.label = Trim(e.text) + " " + (it == accounts.end() ? std::string() : it->second.name);
      out.push_back(line);
      continue;
    }
    if (e.level > o.depth) continue;
    line.label = ReportText(e.text);
    out.push_back(line);
    CollectLines(sums, accounts, o, child, out);
  }
}

class StatementBuilder {
 public:
  StatementBuilder(const StatementOptions& o, bool balanceSheet)
      : o_(o), page_(o.linesPerPage), balanceSheet_(balanceSheet) {
    if (o.evaluation == StatementEvaluation::kDevelopment) block_ = 2;
    else if (o.evaluation == StatementEvaluation::kStructure) block_ = balanceSheet && o.previousYearComparison ? 3 : 1;
    dateText_ = DisplayDate(o.date);
  }

  int BuildProfitAndLoss() {
    if (!ReadStatementTree(StructureKind::kProfitAndLoss, pl_)) return 0;
    if (!Begin()) return 0;
    int month = Two(o_.date + 2);
    for (bool yearValues : {false, true}) {
      if (yearValues ? !o_.yearValues : !o_.monthValues) continue;
      ValueRequest r;
      std::memcpy(r.date, o_.date, sizeof r.date);
      r.span = yearValues ? ValueSpan::kYearToDate : ValueSpan::kPeriods;
      r.firstPeriod = o_.firstPeriod > 0 ? o_.firstPeriod : month;
      StatementAccounts accounts;
      if (!ReadStatementAccounts(8, r, accounts)) return 0;
      names_ = accounts;
      TreeSums sums(pl_, 1);
      EntryValue total = sums.Compute(accounts, [](const StructureEntry& leaf, const StatementAccount&) {
        return leaf.kind == StructureEntry::kLeaf;
      }, EntryValue{});
      // On the printer the result line of a first pass has ended its page.
      title_ = "Gewinn- und Verlustrechnung per " + dateText_;
      subtitle_ = yearValues ? "Jahreswerte" : PeriodsLabel(r.firstPeriod, month);
      Heading(yearValues ? "Jahreswerte" : "Monatswerte");
      if (!Walk(sums, StructureTree::kHeader, total, true)) return 0;
      if (!ResultLine(accounts)) return 0;
    }
    return End(false);
  }

  int BuildBalanceSheet() {
    BalanceFigures f;
    if (!f.Read(o_)) return 0;
    names_ = f.accounts;
    if (!Begin()) return 0;
    if (o_.opening) {
      char first[11] = "";
      std::snprintf(first, sizeof first, "0101%.2s", o_.date + 4);
      title_ = ReportText("Eröffnungsbilanz zum ") + DisplayDate(first);
    } else {
      title_ = "Bilanz per " + dateText_;
    }
    Heading(o_.opening ? DisplayDate(o_.date) : dateText_);
    if (!Side("Aktiva", f.assetSums, f.assetTotal)) return 0;
    if (!NeedRoom(3)) return 0;
    AddEmptyLine();
    if (!Side("Passiva", f.liabilitySums, f.liabilityTotal, f.resultInTree ? nullptr : &f.result)) return 0;
    return End();
  }

 private:
  bool Begin() {
    bool printer = page_.Printing();
    if (!BeginReport(balanceSheet_ ? (printer ? "TQBILOBJ1" : "TQBILOBJ0") : (printer ? "TQGUVOBJ1" : "TQGUVOBJ0"),
                     balanceSheet_ ? (printer ? "TQBILTAB1" : "TQBILTAB0") : (printer ? "TQGUVTAB1" : "TQGUVTAB0")))
      return false;
    SetReportWidth(kBlockWidths[block_]);
    return true;
  }

  // `pageBreak` false: the last line already ended the printed page.
  int End(bool pageBreak = true) {
    if (pageBreak || !page_.Printing()) AddEmptyLine();
    if (pageBreak && page_.Printing()) AddPageBreak();
    EndReport();
    return TheReportBuffer().LineCount();
  }

  std::string PeriodsLabel(int first, int last) const {
    if (first == last) return "Monatswerte " + ReportText(FiscalMonthName(last));
    return "Werte " + ReportText(FiscalMonthName(first)) + " bis " + ReportText(FiscalMonthName(last));
  }

  void ClearSlots() {
    for (int i = 0; i < kSlotsUsed; ++i) SetFieldSlot(i, "");
  }

  // The heading of the statement and, on the printer, of each page.
  void Heading(const std::string& valueColumn) {
    valueColumn_ = valueColumn;
    if (page_.Printing()) {
      page_.StartPage();
      AddTextLine("\2" + ReportText(CurrentMandant().companyName) + std::string(3 * block_ + 5, '\3') +
                  "Seite : " + PageNumberText(page_.Page()));
    } else {
      AddEmptyLine();
    }
    AddTextLine("\x11" + title_);
    if (!subtitle_.empty()) AddTextLine("\1" + subtitle_);
    AddEmptyLine();
    ClearSlots();
    SetFieldSlot(kNameSlot, "Bezeichnung");
    SetFieldSlot(kBlock1 + 2, valueColumn_);
    if (o_.evaluation == StatementEvaluation::kStructure) SetFieldSlot(kBlock2 + 2, "Anteil");
    if (o_.evaluation == StatementEvaluation::kDevelopment) SetFieldSlot(kBlock2 + 2, "Entw. %");
    if (block_ >= 2) SetFieldSlot(kBlock3 + 2, "Vorjahr");
    if (block_ == 3) SetFieldSlot(kBlock4 + 2, "Anteil VJ");
    AddTemplateLine();
    AddCodeLine(kLineRule);
    AddEmptyLine();
    page_.Count(subtitle_.empty() ? kHeadingLines - 1 : kHeadingLines);
  }

  // A page break and the heading when `lines` more do not fit the page.
  bool NeedRoom(int lines) {
    if (page_.Printing() && page_.Used() + lines > page_.LinesPerPage()) {
      AddPageBreak();
      Heading(valueColumn_);
    }
    page_.Count(lines);
    return true;
  }

  // The value columns of a line at indentation `slot` (0..2). `sideMarks`
  // writes the value with " S" / " H" (the P&L's computed lines), whose
  // development then counts credit as the expected side.
  void FillValues(int slot, const EntryValue& v, const EntryValue& total, bool sideMarks) {
    SetFieldSlot(kBlock1 + slot, sideMarks ? SideAmount(v.value) : SignedAmountText(v.value));
    if (o_.evaluation == StatementEvaluation::kStructure) {
      SetFieldSlot(kBlock2 + slot, ShareText(v.value, total.value));
      if (block_ == 3) {
        SetFieldSlot(kBlock3 + slot, SignedAmountText(v.previous));
        SetFieldSlot(kBlock4 + slot, ShareText(v.previous, total.previous));
      }
    } else if (o_.evaluation == StatementEvaluation::kDevelopment) {
      if (!v.previousKnown) {
        SetFieldSlot(kBlock2 + slot, "    -    ");
        SetFieldSlot(kBlock3 + slot, "-");
      } else {
        long long sign = sideMarks ? -1 : 1;
        SetFieldSlot(kBlock2 + slot, DevelopmentText(sign * v.value, sign * v.previous));
        SetFieldSlot(kBlock3 + slot, sideMarks ? SideAmount(v.previous) : SignedAmountText(v.previous));
      }
    }
  }

  bool Walk(const TreeSums& sums, int handle, const EntryValue& total, bool profitAndLoss) {
    const StructureTree& tree = sums.tree();
    for (int child : tree.at(handle).children) {
      const StructureEntry& e = tree.at(child);
      const EntryValue& v = sums.At(child);
      if (e.IsLeaf()) {
        if (!AccountLine(tree, child, v, total)) return false;
        continue;
      }
      if (e.level > o_.depth) continue;
      bool emptyBefore = e.attributes & kGroupEmptyLineBefore;
      bool emptyAfter = e.attributes & kGroupLargerFont;
      if (!NeedRoom(1 + emptyBefore + emptyAfter)) return false;
      if (emptyBefore) AddEmptyLine();
      ClearSlots();
      int slot = std::min(e.level, 3) - 1;
      SetFieldSlot(kNameSlot + slot, ReportText(e.text));
      FillValues(slot, v, total, profitAndLoss && (e.attributes & kGroupSumAbove));
      if (!AddTemplateLine(static_cast<unsigned char>(e.attributes & (kLineBold | kLineUnderlined | kLineLarge))))
        return false;
      if (emptyAfter) AddEmptyLine();
      if (!Walk(sums, child, total, profitAndLoss)) return false;
    }
    return true;
  }

  bool AccountLine(const StructureTree& tree, int leaf, const EntryValue& v, const EntryValue& total) {
    if (o_.accounts == StatementAccountLines::kNone || !v.visible) return true;
    int group = tree.at(leaf).parent;
    if (tree.at(group).level > o_.depth) return true;
    bool previousShown = block_ >= 2;
    if (o_.accounts == StatementAccountLines::kPosted && v.value == 0 && (!previousShown || v.previous == 0))
      return true;
    const StatementAccount* a = AccountOf(tree.at(leaf).text);
    if (!NeedRoom(1)) return false;
    ClearSlots();
    int slot = std::min(tree.DepthOf(leaf), 3) - 1;
    SetFieldSlot(kNameSlot + slot, Trim(tree.at(leaf).text) + " " + (a ? a->name : std::string()));
    FillValues(slot, v, total, false);
    return AddTemplateLine();
  }

  const StatementAccount* AccountOf(const std::string& number) {
    auto it = names_.find(number);
    return it == names_.end() ? nullptr : &it->second;
  }

  // One closing line in bold: the label in the name column, the value at
  // the first level.
  bool TotalLine(const std::string& label, const EntryValue& v, const EntryValue& total) {
    ClearSlots();
    SetFieldSlot(kNameSlot, label);
    FillValues(0, v, total, false);
    return AddTemplateLine(kLineBold);
  }

  bool Side(const char* name, const TreeSums& sums, const EntryValue& total, const EntryValue* result = nullptr) {
    if (!NeedRoom(2)) return false;
    AddTextLine("\x11" + std::string(name));
    AddEmptyLine();
    if (!Walk(sums, StructureTree::kHeader, total, false)) return false;
    // The result stays on the page of the side's sum.
    if (!NeedRoom(result ? 4 : 2)) return false;
    if (result) {
      AddEmptyLine();
      if (!TotalLine(result->value >= 0 ? "Bilanzgewinn :" : "Bilanzverlust :", *result, total)) return false;
    }
    AddCodeLine(kLineRule);
    return TotalLine("Summe " + std::string(name), total, total);
  }

  // "Gewinn/Verlust :" with the balance of every P&L account.
  bool ResultLine(const StatementAccounts& accounts) {
    EntryValue result;
    for (const auto& [number, a] : accounts) {
      result.value += a.value;
      result.previous += a.previous;
      result.previousKnown = result.previousKnown && a.previousKnown;
    }
    if (page_.Printing() && page_.Used() >= page_.LinesPerPage() - 3) {
      AddPageBreak();
      Heading(valueColumn_);
    }
    page_.Count(3);
    AddEmptyLine();
    AddEmptyLine();
    ClearSlots();
    SetFieldSlot(kNameSlot, "Gewinn/Verlust :     ");
    FillValues(0, result, result, true);
    if (!AddTemplateLine(kLineBold)) return false;
    if (page_.Printing()) AddPageBreak();
    return true;
  }

  const StatementOptions& o_;
  ReportPage page_;
  bool balanceSheet_;
  int block_ = 0;  // the last value block shown: 0..3
  std::string dateText_, title_, subtitle_, valueColumn_;
  StructureTree pl_, assets_, liabilities_;
  StatementAccounts names_;
};

}  // namespace

bool StatementLines(StructureKind kind, const StatementOptions& o, std::vector<StatementLine>& out) {
  out.clear();
  if (kind == StructureKind::kProfitAndLoss) {
    StructureTree tree;
    if (!ReadStatementTree(kind, tree)) return false;
    ValueRequest r;
    std::memcpy(r.date, o.date, sizeof r.date);
    r.span = ValueSpan::kYearToDate;
    StatementAccounts accounts;
    if (!ReadStatementAccounts(8, r, accounts)) return false;
    TreeSums sums(tree, 1);
    sums.Compute(accounts, [](const StructureEntry& leaf, const StatementAccount&) {
      return leaf.kind == StructureEntry::kLeaf;
    }, EntryValue{});
    CollectLines(sums, accounts, o, StructureTree::kHeader, out);
    return true;
  }
  BalanceFigures f;
  if (!f.Read(o)) return false;
  CollectLines(kind == StructureKind::kAssets ? f.assetSums : f.liabilitySums, f.accounts, o,
               StructureTree::kHeader, out);
  return true;
}

int StatementWidth(const StatementOptions& o) {
  switch (o.evaluation) {
    case StatementEvaluation::kDevelopment: return 92;
    case StatementEvaluation::kStructure: return o.previousYearComparison ? 108 : 74;
    default: return 56;
  }
}

std::string ShareText(long long value, long long total) {
  if (total == 0) return "  -   ";
  // hundredths of a per cent, rounded half away from zero
  long long q = std::llround(static_cast<double>(value) * 10000.0 / static_cast<double>(total));
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld,%02lld %%", q < 0 ? "-" : "", std::llabs(q) / 100, std::llabs(q) % 100);
  return text;
}

std::string DevelopmentText(long long current, long long previous) {
  if (previous == 0) return "    -    ";
  long long c = std::llabs(current), p = std::llabs(previous);
  long long change = 0;
  bool plus = false;
  if (current == 0) {
    change = p;
    plus = previous < 0;
  } else if ((current > 0) == (previous > 0)) {
    change = std::llabs(c - p);
    plus = current > 0 ? c > p : c < p;
  } else {
    change = c + p;
    plus = current > 0;
  }
  if (change == 0) return "     0,00";
  if (change * 100 > 99999 * p) return " >100 000";  // beyond 999.99 times P
  long long hundredths = (change * 20000 + p) / (2 * p);  // change / p * 100, two decimals, half up
  char text[32];
  std::snprintf(text, sizeof text, "%9s", (std::to_string(hundredths / 100) + "," +
                                          (hundredths % 100 < 10 ? "0" : "") + std::to_string(hundredths % 100))
                                             .c_str());
  text[0] = plus ? '+' : '-';
  return text;
}

int BuildProfitAndLoss(const StatementOptions& options) {
  if (!options.monthValues && !options.yearValues) return 0;
  return StatementBuilder(options, false).BuildProfitAndLoss();
}

int BuildBalanceSheet(const StatementOptions& options) {
  return StatementBuilder(options, true).BuildBalanceSheet();
}

bool FindMisplacedAccounts(const StatementOptions& options, std::vector<MisplacedAccount>& out) {
  out.clear();
  StructureTree assets, liabilities;
  if (!ReadStatementTree(StructureKind::kAssets, assets) ||
      !ReadStatementTree(StructureKind::kLiabilities, liabilities))
    return false;
  ValueRequest r;
  std::memcpy(r.date, options.date, sizeof r.date);
  r.span = options.opening ? ValueSpan::kOpening : ValueSpan::kBalance;
  StatementAccounts accounts;
  if (!ReadStatementAccounts(2 | 4, r, accounts)) return false;
  for (const auto& [number, a] : accounts) {
    if (!Unexpected(a)) continue;
    const StructureTree& own = a.accountClass == 2 ? assets : liabilities;
    const StructureTree& other = a.accountClass == 2 ? liabilities : assets;
    if (own.FindLeaf(number, false) >= 0 && !HasPlaceIn(other, number)) out.push_back({number, a.accountClass});
  }
  return true;
}

}  // namespace talvera
