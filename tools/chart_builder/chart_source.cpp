#include "tools/chart_builder/chart_source.h"

#include <fstream>
#include <sstream>

namespace talvera::charts {

void Diagnostics::Add(const std::string& file, int line, const std::string& text) {
  lines_.push_back(file + ":" + std::to_string(line) + ": " + text);
}

bool Diagnostics::Mentions(std::string_view fragment) const {
  for (const std::string& line : lines_)
    if (line.find(fragment) != std::string::npos) return true;
  return false;
}

const char* TreeFileName(TreeId tree) {
  static const char* const names[] = {"guvauf", "bilaktau", "bilpasau"};
  return names[tree];
}

const char* TreeTitle(TreeId tree) {
  static const char* const titles[] = {"GuV", "Aktiva", "Passiva"};
  return titles[tree];
}

int TreeClass(TreeId tree) {
  static const int classes[] = {kProfitAndLoss, kAsset, kLiability};
  return classes[tree];
}

int AlternativeClass(TreeId tree) {
  static const int classes[] = {kNoClass, kLiability, kAsset};
  return classes[tree];
}

std::string AccountNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 7) return {};
  for (char c : digits)
    if (c < '0' || c > '9') return {};
  return std::string(7 - digits.size(), ' ') + std::string(digits);
}

namespace {

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

// Reads one table and hands its text to `parse`.
template <typename Parse>
void ReadTable(const std::string& root, const std::string& file, Diagnostics& diagnostics,
               Parse parse) {
  std::string text;
  if (!ReadFile(root + "/" + file, text)) {
    diagnostics.Add(file, 0, "Datei fehlt oder ist nicht lesbar");
    return;
  }
  parse(text);
}

}  // namespace

bool ReadChartSource(const std::string& sourceRoot, const std::string& folder, ChartSource& out,
                     Diagnostics& diagnostics) {
  out = ChartSource{};
  size_t before = diagnostics.lines().size();
  out.accountsFile = folder + "/sako.txt";
  out.ratesFile = folder + "/steke.txt";
  ReadTable(sourceRoot, out.accountsFile, diagnostics, [&](const std::string& text) {
    ParseAccounts(text, out.accountsFile, out.accounts, diagnostics);
  });
  ReadTable(sourceRoot, out.ratesFile, diagnostics, [&](const std::string& text) {
    ParseRates(text, out.ratesFile, out.rates, diagnostics);
  });
  for (int t = 0; t < kTreeCount; ++t) {
    out.treeFiles[t] = folder + "/" + TreeFileName(static_cast<TreeId>(t)) + ".txt";
    ReadTable(sourceRoot, out.treeFiles[t], diagnostics, [&](const std::string& text) {
      ParseTree(text, out.treeFiles[t], out.trees[t], diagnostics);
    });
  }
  return diagnostics.lines().size() == before;
}

}  // namespace talvera::charts
