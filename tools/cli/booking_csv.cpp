#include "tools/cli/booking_csv.h"

#include <algorithm>
#include <cctype>

namespace talvera::cli {
namespace {

constexpr int kColumns = static_cast<int>(CsvColumn::kCount);
constexpr char kSeparator = ';';

// Header names; the second is what a keyboard without umlauts writes.
struct ColumnNames {
  const char* name;
  const char* alternative;
};
constexpr ColumnNames kNames[kColumns] = {
    {"Datum", nullptr},   {"Beleg", nullptr},  {"Soll", nullptr},     {"Haben", nullptr},
    {"Betrag", nullptr},  {"Satz", nullptr},   {"Steuer", nullptr},   {"Text", nullptr},
    {"KoSt1", nullptr},   {"KoSt2", nullptr},  {"KoArt", nullptr},    {"Währung", "Waehrung"},
    {"Fremdbetrag", nullptr}, {"Buchung", nullptr},
};
constexpr CsvColumn kRequired[] = {CsvColumn::kDate, CsvColumn::kDebit, CsvColumn::kCredit,
                                   CsvColumn::kGross};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

int ColumnOfName(const std::string& header) {
  std::string name = Lower(Trim(header));
  for (int c = 0; c < kColumns; ++c) {
    if (name == Lower(kNames[c].name)) return c;
    if (kNames[c].alternative && name == Lower(kNames[c].alternative)) return c;
  }
  return -1;
}

bool ValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int follow = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (follow < 0 || i + static_cast<std::size_t>(follow) >= s.size()) return false;
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

}  // namespace

const char* ColumnName(CsvColumn column) { return kNames[static_cast<int>(column)].name; }

std::optional<std::vector<std::string>> BookingCsvReader::ReadRecord(int& lineNumber, CsvError& error) {
  std::string line;
  while (true) {
    if (!std::getline(in_, line)) return std::nullopt;
    ++lineNumber_;
    if (lineNumber_ == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t;") != std::string::npos) break;
  }
  lineNumber = lineNumber_;
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0;; ++i) {
    if (i == line.size()) {
      if (!quoted) break;
      // A quoted field goes on in the next line.
      std::string next;
      if (!std::getline(in_, next)) {
        error = {lineNumber, "", "Ein Anführungszeichen wird nicht geschlossen."};
        return std::nullopt;
      }
      ++lineNumber_;
      if (!next.empty() && next.back() == '\r') next.pop_back();
      fields.back() += '\n';
      line = next;
      i = static_cast<std::size_t>(-1);
      continue;
    }
    char c = line[i];
    if (quoted) {
      if (c != '"') fields.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
      else quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == kSeparator) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (const std::string& f : fields) {
    if (!ValidUtf8(f)) {
      error = {lineNumber, "", "Die Zeile ist nicht in UTF-8 geschrieben."};
      return std::nullopt;
    }
  }
  return fields;
}

bool BookingCsvReader::ReadHeader(CsvError& error) {
  int line = 0;
  std::optional<std::vector<std::string>> header = ReadRecord(line, error);
  if (!header) {
    if (error.text.empty()) error = {0, "", "Die Datei ist leer: die erste Zeile muss die Spalten nennen."};
    return false;
  }
  columnOf_.clear();
  bool seen[kColumns] = {};
  for (const std::string& name : *header) {
    int c = ColumnOfName(name);
    if (c < 0) {
      error = {line, Trim(name), "Unbekannte Spalte \"" + Trim(name) + "\"."};
      return false;
    }
    if (seen[c]) {
      error = {line, kNames[c].name, "Die Spalte \"" + std::string(kNames[c].name) + "\" steht zweimal in der Kopfzeile."};
      return false;
    }
    seen[c] = true;
    columnOf_.push_back(c);
  }
  for (CsvColumn required : kRequired) {
    if (!seen[static_cast<int>(required)]) {
      error = {line, ColumnName(required),
               "Die Kopfzeile nennt die Spalte \"" + std::string(ColumnName(required)) + "\" nicht."};
      return false;
    }
  }
  return true;
}

bool BookingCsvReader::ReadLine(CsvLine& out, bool& end, CsvError& error) {
  end = false;
  int line = 0;
  std::optional<std::vector<std::string>> fields = ReadRecord(line, error);
  if (!fields) {
    end = error.text.empty();
    return false;
  }
  if (fields->size() > columnOf_.size()) {
    error = {line, "", "Die Zeile hat " + std::to_string(fields->size()) + " Felder, die Kopfzeile nennt " +
                           std::to_string(columnOf_.size()) + " Spalten."};
    return false;
  }
  out = CsvLine{};
  out.lineNumber = line;
  for (std::size_t i = 0; i < fields->size(); ++i) out.fields[columnOf_[i]] = Trim((*fields)[i]);
  return true;
}

bool BookingCsvReader::Next(CsvBooking& out, CsvError& error) {
  error = CsvError{};
  out.lines.clear();
  CsvLine line;
  bool end = false;
  if (ahead_) {
    line = std::move(*ahead_);
    ahead_.reset();
  } else if (!ReadLine(line, end, error)) {
    return false;
  }
  const std::string group = line[CsvColumn::kBooking];
  out.lines.push_back(std::move(line));
  if (group.empty()) return true;
  // The lines of a split follow one another with the same value.
  while (true) {
    CsvLine next;
    if (!ReadLine(next, end, error)) return end;
    if (next[CsvColumn::kBooking] != group) {
      ahead_ = std::move(next);
      return true;
    }
    out.lines.push_back(std::move(next));
  }
}

}  // namespace talvera::cli
