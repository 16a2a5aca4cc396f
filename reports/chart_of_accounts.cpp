#include "reports/chart_of_accounts.h"

#include <algorithm>
#include <functional>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/today.h"
#include "reports/account_values.h"
#include "reports/report_buffer.h"
#include "reports/report_page.h"
#include "reports/structure_reading.h"
#include "tax/tax_rates.h"

namespace talvera {
namespace {

namespace sako = layouts::sako;
namespace personal = layouts::personal;

constexpr int kHeaderLines = 3;
constexpr int kMaxDepth = 3;

std::string Raw(const void* r, const layouts::Field& f) {
  const char* b = layouts::FieldBytes(r, f);
  return std::string(b, strnlen(b, f.width));
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

// A structure tree with its parent links worked out: a node's "above" link
// names its parent when it is the first child, else the sibling before it.
class StructureIndex {
 public:
  bool Load(int accountClass) {
    if (!ReadStructureTree(accountClass, nodes_)) return false;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      byId_[nodes_[i].id] = i;
      if (!nodes_[i].IsGroup()) leafOf_[nodes_[i].label.substr(0, 7)] = i;
    }
    return true;
  }

  // The group a node stands under; false when the links are broken.
  bool Parent(std::size_t i, const StructureNode*& parent) const {
    parent = nullptr;
    for (std::size_t steps = 0; steps <= nodes_.size(); ++steps) {
      long above = nodes_[i].above;
      if (above == 0) return true;
      auto it = byId_.find(above);
      if (it == byId_.end()) return false;
      if (nodes_[it->second].next != nodes_[i].id) {
        parent = &nodes_[it->second];
        return parent->IsGroup();
      }
      i = it->second;  // the sibling before: go on from it
    }
    return false;  // a loop
  }

  // The group text over an account's leaf: "" with found false when the
  // account has no leaf; false when the tree is damaged.
  bool GroupText(const std::string& account, std::string& text, bool& found) const {
    text.clear();
    auto it = leafOf_.find(account);
    found = it != leafOf_.end();
    if (!found) return true;
    const StructureNode* parent = nullptr;
    if (!Parent(it->second, parent)) return false;
    if (parent) text = parent->label;
    return true;
  }

  // Depth-first walk from the first root: visit(node, depth from 1).
  bool Walk(const std::function<bool(const StructureNode&, int)>& visit) const {
    std::map<long, std::vector<std::size_t>> children;
    std::vector<std::size_t> roots;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      const StructureNode* parent = nullptr;
      if (!Parent(i, parent)) return false;
      (parent ? children[parent->id] : roots).push_back(i);
    }
    std::set<long> seen;
    std::function<bool(const std::vector<std::size_t>&, int)> walk =
        [&](const std::vector<std::size_t>& level, int depth) {
          for (std::size_t i : Ordered(level)) {
            if (!seen.insert(nodes_[i].id).second) return false;
            if (!visit(nodes_[i], depth)) return false;
            auto c = children.find(nodes_[i].id);
            if (c != children.end() && !walk(c->second, depth + 1)) return false;
          }
          return true;
        };
    return walk(roots, 1);
  }

  bool HasLeaf(const std::string& account) const { return leafOf_.count(account) > 0; }

 private:
  // Siblings in the order of their "next" links.
  std::vector<std::size_t> Ordered(const std::vector<std::size_t>& level) const {
    std::set<long> ids;
    for (std::size_t i : level) ids.insert(nodes_[i].id);
    std::vector<std::size_t> out;
    for (std::size_t i : level) {
      bool first = true;
      for (std::size_t j : level)
        if (nodes_[j].next == nodes_[i].id) first = false;
      if (!first) continue;
      for (std::size_t k = i; out.size() < level.size();) {
        out.push_back(k);
        auto it = byId_.find(nodes_[k].next);
        if (nodes_[k].next == 0 || it == byId_.end() || !ids.count(nodes_[k].next)) break;
        k = it->second;
      }
    }
    return out.size() == level.size() ? out : level;
  }

  std::vector<StructureNode> nodes_;
  std::map<long, std::size_t> byId_;
  std::map<std::string, std::size_t> leafOf_;
};

const char* ClassText(int accountClass) {
  switch (accountClass) {
    case 2: return "Bilanz Aktiv";
    case 4: return "Bilanz Passiv";
    case 8: return "GuV";
    default: return "ohne Zuordnung";
  }
}

const char* StatusText(long unposted) {
  return unposted == 1 ? "Löschbar" : unposted == 2 ? "Gelöscht" : "Nicht löschbar";
}

// The rate of the account's tax key followed by " %", empty without a key.
std::string RateText(const void* record) {
  int key = static_cast<int>(layouts::GetNumber(record, sako::kTaxKey)) & ~32;
  const RatesInForceValue& rates = CurrentRatesInForce();
  std::string rate;
  switch (key) {
    case 0: return {};
    case 8: rate = "00,00"; break;
    case 2: rate = rates.standard; break;
    case 4: rate = rates.reduced; break;
    default: rate = Raw(record, sako::kRate); break;
  }
  return rate + " %";
}

class ChartBuilder {
 public:
  explicit ChartBuilder(const ChartOptions& o) : o_(o), page_(o.linesPerPage) {
    today_ = DayToday().text;
  }

  int Build() {
    bool printer = page_.Printing();
    bool group = o_.order == ChartOrder::kGroup;
    std::string obj = group ? "TQKPLAGOBJ0" : "TQKPLANOBJ0";
    std::string tab = group ? (printer ? "TQKPLAGTAB1" : "TQKPLAGTAB0")
                            : (printer ? "TQKPLANTAB1" : "TQKPLANTAB0");
    if (!BeginReport(obj, tab)) return 0;
    SetReportWidth(ChartReportWidth(o_.order, printer));
    AddEmptyLine();
    if (printer) PageHeader();
    AddEmptyLine();
    AddTextLine("\x61" + ReportText("Kontenplan vom ") + today_);
    AddEmptyLine();
    AddEmptyLine();
    page_.Count(4);
    bool earlier = false;
    if ((o_.kinds & kSachkonto) && !NoAccountsOf(kSachkonto)) {
      if (!(group ? SachkontenByGroup() : Sachkonten())) return Fail();
      earlier = true;
    }
    for (AccountKind kind : {kKreditor, kDebitor}) {
      if (!(o_.kinds & kind) || NoAccountsOf(kind)) continue;
      if (!Personal(kind, earlier)) return Fail();
      earlier = true;
    }
    AddEmptyLine();
    if (printer) AddPageBreak();
    EndReport();
    return TheReportBuffer().LineCount();
  }

 private:
  int Fail() {
    EndReport();
    TheReportBuffer().Clear();
    return 0;
  }

  void PageHeader() {
    page_.StartPage();
    AddEmptyLine();
    std::string later = page_.Page() > 1 ? ReportText("Kontenplan vom ") + today_ : "";
    AddTextLine("\2Mandant: " + ReportText(CurrentMandant().companyName) + "\2\2\2\2\2" + later +
                "\3\3\3Seite : " + PageNumberText(page_.Page()));
    AddEmptyLine();
    page_.Count(kHeaderLines);
  }

  // Raises the page's count by an account's lines; a full page is ended first.
  void BeforeAccount(int lines) {
    if (!page_.Printing()) return;
    page_.Count(lines);
    if (page_.Used() >= page_.LinesPerPage()) {
      AddPageBreak();
      PageHeader();
      page_.Count(lines);
    }
  }

  bool LoadTrees() {
    for (int c : {2, 4, 8})
      if (!trees_[c].Load(c)) return false;
    return true;
  }

  void FillSachkonto(const AccountValues& a, const std::string& groupText) {
    const void* r = a.record;
    long ustva = layouts::GetNumber(r, sako::kUstvaKey);
    const std::string values[10] = {
        a.number,
        a.shortCode,
        a.name,
        RateText(r),
        ReportText("eröffnet: ") + DisplayDate(layouts::FieldBytes(r, sako::kOpeningDate)),
        ustva ? std::to_string(ustva) : std::string(),
        layouts::GetNumber(r, sako::kDatevFixedAsset) ? "AM/AV" : "",
        ClassText(a.accountClass),
        groupText,
        ReportText(StatusText(layouts::GetNumber(r, sako::kUnposted)))};
    for (int i = 0; i < 10; ++i) SetFieldSlot(i, values[i]);
  }

  bool Sachkonten() {
    AddTextLine("\x31Sachkonten");
    AddEmptyLine();
    page_.Count(2);
    if (!LoadTrees()) return false;
    bool ok = ForEachAccount(kSachkonto, o_.order == ChartOrder::kNumber, [&](const AccountValues& a) {
      std::string text;
      bool found = false;
      if (a.accountClass == 2 || a.accountClass == 4 || a.accountClass == 8)
        if (!trees_[a.accountClass].GroupText(a.number, text, found)) return false;
      BeforeAccount(3);
      FillSachkonto(a, text);
      return AddTemplateLine() && AddEmptyLine();
    });
    AddEmptyLine();
    return ok;
  }

  // The order "Gruppe": the accounts under the groups of the P&L, the
  // assets and the liabilities, then those without a place in them.
  bool SachkontenByGroup() {
    if (!LoadTrees()) return false;
    std::map<std::string, std::vector<char>> accounts;
    std::vector<std::string> order;
    bool ok = ForEachAccount(kSachkonto, true, [&](const AccountValues& a) {
      const char* bytes = static_cast<const char*>(a.record);
      accounts[a.number].assign(bytes, bytes + sako::kLayout.recordLength);
      order.push_back(a.number);
      return true;
    });
    if (!ok) return false;
    std::set<std::string> placed;
    const std::pair<int, const char*> sections[] = {{8, "Aufwands- und Ertragskonten"},
                                                    {2, "Bilanz-Aktivakonten"},
                                                    {4, "Bilanz-Passivakonten"}};
    for (const auto& [accountClass, title] : sections) {
      Section(title);
      int cls = accountClass;
      bool walked = trees_[cls].Walk([&](const StructureNode& n, int depth) {
        int d = std::min(depth, kMaxDepth);
        if (n.IsGroup()) {
          BeforeAccount(1);
          return AddTextLine(std::string(1, d == 1 ? '\x12' : '\2') + std::string(d - 1, '\2') +
                             n.label);
        }
        auto it = accounts.find(n.label.substr(0, 7));
        if (it == accounts.end()) return true;  // a leaf of an account gone since
        AccountValues a;
        ReadAccountValues(kSachkonto, it->second.data(), a);
        if (a.accountClass != cls) return true;
        placed.insert(a.number);
        BeforeAccount(1);
        ClearSlots();
        SetFieldSlot(d - 1, a.number);
        SetFieldSlot(3 + d - 1, a.name);
        SetFieldSlot(6 + d - 1, a.shortCode);
        SetFieldSlot(9 + d - 1, RateText(a.record));
        return AddTemplateLine();
      });
      if (!walked) return false;
      AddEmptyLine();
    }
    std::vector<std::string> unplaced;
    for (const std::string& number : order)
      if (!placed.count(number)) unplaced.push_back(number);
    Section(unplaced.empty() ? "keine Konten ohne Zuordnung" : "Konten ohne Zuordnung");
    for (const std::string& number : unplaced) {
      AccountValues a;
      ReadAccountValues(kSachkonto, accounts[number].data(), a);
      BeforeAccount(1);
      ClearSlots();
      SetFieldSlot(0, a.number);
      SetFieldSlot(3, a.name);
      SetFieldSlot(6, a.shortCode);
      SetFieldSlot(9, RateText(a.record));
      if (!AddTemplateLine()) return false;
    }
    AddEmptyLine();
    return true;
  }

  void Section(const char* title) {
    BeforeAccount(2);
    AddTextLine("\x31" + ReportText(title));
    AddEmptyLine();
  }

  bool Personal(AccountKind kind, bool earlier) {
    if (page_.Printing() && earlier) {
      AddPageBreak();
      PageHeader();
    }
    // The group order keeps its own template: its tab list is the report's.
    if (o_.order != ChartOrder::kGroup &&
        !UseObjectTemplate(o_.withAddresses ? "TQKPLANOBJ2" : "TQKPLANOBJ1"))
      return false;
    AddTextLine(std::string("\x11") + (kind == kKreditor ? "Kreditoren" : "Debitoren"));
    AddEmptyLine();
    page_.Count(2);
    int lines = o_.withAddresses ? 5 : 3;
    bool group = o_.order == ChartOrder::kGroup;
    bool ok = ForEachAccount(kind, o_.order != ChartOrder::kShortCode, [&](const AccountValues& a) {
      if (group) {
        // The group order's columns: number, name and short code in one line.
        BeforeAccount(1);
        ClearSlots();
        SetFieldSlot(0, a.number);
        SetFieldSlot(3, a.name);
        SetFieldSlot(6, a.shortCode);
        return AddTemplateLine();
      }
      const void* r = a.record;
      std::string counter = Raw(r, personal::kCounterAccount);
      const std::string values[12] = {
          a.number,
          a.shortCode,
          a.name,
          Raw(r, personal::kVatId),
          ReportText("eröffnet: ") + DisplayDate(layouts::FieldBytes(r, personal::kOpeningDate)),
          Raw(r, personal::kNameExtra),
          "Gegenkonto: " + (Trim(counter).empty() ? std::string(" Keines") : counter),
          ReportText(StatusText(layouts::GetNumber(r, personal::kUnposted))),
          o_.withAddresses ? Raw(r, personal::kStreet) : "",
          o_.withAddresses ? Raw(r, personal::kCountry) : "",
          o_.withAddresses ? Raw(r, personal::kPostalCode) : "",
          o_.withAddresses ? Raw(r, personal::kTown) : ""};
      for (int i = 0; i < 12; ++i) SetFieldSlot(i, values[i]);
      BeforeAccount(lines);
      return AddTemplateLine() && AddEmptyLine();
    });
    AddEmptyLine();
    return ok;
  }

  static void ClearSlots() {
    for (int i = 0; i < 12; ++i) SetFieldSlot(i, "");
  }

  const ChartOptions& o_;
  ReportPage page_;
  std::string today_;
  StructureIndex trees_[9];
};

}  // namespace

int ChartReportWidth(ChartOrder order, bool printer) {
  if (order != ChartOrder::kGroup) return 80;
  return printer ? 84 : 92;
}

int BuildChartOfAccounts(const ChartOptions& options) { return ChartBuilder(options).Build(); }

}  // namespace talvera
