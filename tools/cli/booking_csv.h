// The booking file of "talvi-cli buchen": a CSV file, one line per booking
// line, fields separated by ";" (the decimal comma stays free), texts in
// UTF-8, optionally in double quotes ("" for a quote inside). The first
// line names the columns, in any order and case:
//
//   Datum      document date, also the posting date (15.03.2026, 150326)
//   Beleg      document number, up to 8 characters
//   Soll       debit account: number or short code
//   Haben      credit account: number or short code
//   Betrag     gross amount (1.234,56; negative with "-")
//   Satz       tax rate (19,00); empty: what the accounts propose
//   Steuer     tax amount; empty: computed from the rate
//   Text       booking text, up to 35 characters
//   KoSt1      cost centre 1, KoSt2 cost centre 2,
//   KoArt      "fix" (empty) or "variabel"
//   Währung    currency of a customer or vendor kept in a foreign currency,
//   Fremdbetrag  the amount in that currency
//   Buchung    lines that follow one another with the same value form one
//              split booking (one account on one side, up to ten on the
//              other); empty: the line is a booking of its own
//
// Datum, Soll, Haben and Betrag are required columns. The reader streams:
// a file of a million lines is read booking by booking.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace talvera::cli {

enum class CsvColumn {
  kDate, kDocumentNumber, kDebit, kCredit, kGross, kRate, kTax, kText,
  kCostCentre1, kCostCentre2, kCostCentreKind, kCurrency, kForeignAmount, kBooking,
  kCount
};

// The column's name as the header writes it.
const char* ColumnName(CsvColumn column);

// One line of the file, its fields by column (empty when the file has no
// such column).
struct CsvLine {
  int lineNumber = 0;
  std::string fields[static_cast<int>(CsvColumn::kCount)];
  const std::string& operator[](CsvColumn c) const { return fields[static_cast<int>(c)]; }
};

// One booking: a single line, or the lines of a split.
struct CsvBooking {
  std::vector<CsvLine> lines;
  int firstLine() const { return lines.empty() ? 0 : lines.front().lineNumber; }
};

// What is wrong with the file itself (not with a booking): line and text.
struct CsvError {
  int lineNumber = 0;
  std::string field;  // column name, empty when the line as a whole is wrong
  std::string text;   // German
};

class BookingCsvReader {
 public:
  explicit BookingCsvReader(std::istream& in) : in_(in) {}

  // Reads the header line; false with the error when it is missing or names
  // an unknown column, a column twice, or lacks a required one.
  bool ReadHeader(CsvError& error);
  // The next booking; false at the end of the file or on an error (then
  // `error` has a text).
  bool Next(CsvBooking& out, CsvError& error);

 private:
  // One record of the file (quoted fields may hold ";" and line breaks);
  // nullopt at the end. Empty lines are skipped.
  std::optional<std::vector<std::string>> ReadRecord(int& lineNumber, CsvError& error);
  bool ReadLine(CsvLine& out, bool& end, CsvError& error);

  std::istream& in_;
  int lineNumber_ = 0;
  std::vector<int> columnOf_;  // file column -> CsvColumn
  std::optional<CsvLine> ahead_;
};

}  // namespace talvera::cli
