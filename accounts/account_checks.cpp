#include "accounts/account_checks.h"

#include <cstdlib>
#include <cstring>

#include "core/account_lookup.h"
#include "core/amount.h"
#include "core/field_readers.h"
#include "core/layouts/kore.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/text_helpers.h"

namespace talvera {

namespace {

namespace S = layouts::sako;
namespace P = layouts::personal;
namespace K = layouts::kore;
using namespace kontoneu;

constexpr int kMessageSelect = 1;
constexpr int kMessageRequiredCode = 2;
constexpr int kMessageDigitsOnly = 3;
constexpr int kMessageNumberTaken = 4;
constexpr int kMessageCodeTaken = 13;
constexpr int kMessageRequired = 22;
constexpr int kMessageOpeningYear = 85;
constexpr int kMessageBankCode = 102;
constexpr int kMessageAustrianBankCode = 529;
constexpr int kMessageUstvaKey = 430;
constexpr int kMessageRevenueNeedsKey = 432;
constexpr int kMessageDomesticCurrency = 434;
constexpr int kMessageCounterAccount = 726;
constexpr int kLargestUstvaKey = 100;
constexpr int kMessageSameCostCentres = 526;
constexpr int kMessageNoSuchCostCentre = 736;
constexpr int kMessageAlphanumeric = 155;

bool Refuse(int message, int control) {
  ShowMessage(message, control);
  return false;
}

std::string Trim(std::string s) {
  std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// The first `n` characters of UTF-8 text.
std::string FirstCharacters(const std::string& s, std::size_t n) {
  std::size_t i = 0, count = 0;
  while (i < s.size() && count < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    ++count;
  }
  return s.substr(0, std::min(i, s.size()));
}

std::string RightAligned(const std::string& digits) {
  char out[8];
  std::snprintf(out, sizeof out, "%7s", digits.c_str());
  return out;
}

// Account number of a new account: required, digits, at most 7, free among
// all kinds (or, for cost centres, in `kore`).
bool ReadNewNumber(DialogFields& d, std::string& number, bool costCentre) {
  std::string text = Trim(d.FieldText(kNumber));
  if (text.empty()) return Refuse(kMessageRequired, kNumber);
  if (!AllDigits(text) || text.size() > 7) return Refuse(kMessageDigitsOnly, kNumber);
  number = RightAligned(text);
  bool taken = false;
  if (costCentre) {
    char record[K::kLayout.recordLength];
    if (!GetEqual(record, KeyValue(number.c_str(), 8), taken, MakeFileId(kSlotKore, 0))) return false;
  } else {
    AccountKind kind = kNoAccount;
    if (!LookUpAccount(number.c_str(), kind)) return false;
    taken = kind != kNoAccount;
  }
  return taken ? Refuse(kMessageNumberTaken, kNumber) : true;
}

// Short code: required, at most 8 characters, free among all kinds (cost
// centres: in `kore`). An unchanged code of the changed account is its own.
bool ReadShortCode(DialogFields& d, const std::string& own, std::string& code, bool costCentre) {
  code = FirstCharacters(Trim(d.FieldText(kShortCode)), kLongestShortCode);
  if (code.empty()) return Refuse(kMessageRequiredCode, kShortCode);
  if (code == own) return true;
  bool taken = false;
  char raw[16] = {};
  layouts::Field f = layouts::Text("code", 0, 10);
  layouts::SetText(raw, f, code);
  if (costCentre) {
    char record[K::kLayout.recordLength];
    if (!GetEqual(record, KeyValue(raw, 9), taken, MakeFileId(kSlotKore, 1))) return false;
  } else {
    AccountKind kind = kNoAccount;
    if (!LookUpShortCode(raw, kind)) return false;
    taken = kind != kNoAccount;
  }
  return taken ? Refuse(kMessageCodeTaken, kShortCode) : true;
}

bool ReadOpeningDate(DialogFields& d, char* date, bool& inPreviousYear) {
  if (!ReadDateField(d, kOpeningDate, date)) return false;
  int year = YearOfDate(date);
  if (year == 0) return Refuse(kMessageOpeningYear, kOpeningDate);
  inPreviousYear = year == std::atoi(CurrentMandant().previousYear) && year != 0 &&
                   CurrentMandant().previousYear[0] != 0;
  return true;
}

bool ReadName(DialogFields& d, std::string& name, std::size_t longest) {
  name = FirstCharacters(Trim(d.FieldText(kName)), longest);
  return name.empty() ? Refuse(kMessageRequired, kName) : true;
}

// An optional field of digits.
bool ReadDigits(DialogFields& d, int control, std::string& out) {
  out = Trim(d.FieldText(control));
  return out.empty() || AllDigits(out) ? true : Refuse(kMessageDigitsOnly, control);
}

// The three previous-year fields, empty counting as zero. The typed side
// belongs to the closing balance.
bool ReadPreviousYear(DialogFields& d, char (&amounts)[3][kAmountWidth + 1]) {
  const int controls[] = {kPrevDebit, kPrevCredit, kPrevBalance};
  for (int i = 0; i < 3; ++i) {
    if (Trim(d.FieldText(controls[i])).empty()) {
      std::strcpy(amounts[i], kZeroAmount);
      continue;
    }
    if (!ReadSignedAmountField(d, controls[i], amounts[i], kAmountWidth)) return false;
  }
  return true;
}

// The tax key and, for the other and EC rates, the rate.
bool ReadTaxKey(DialogFields& d, const AccountChoices& c, int& taxKey, char* rate) {
  taxKey = 0;
  std::strcpy(rate, "");
  if (c.taxFree) return true;
  if (c.rateLine < 0 || c.rateLine >= kRateLineCount) return Refuse(kMessageSelect, kRateList);
  taxKey = kRateLineClasses[c.rateLine] | (c.inputTax ? 32 : 0);
  if (RateLineHasOwnRate(c.rateLine)) return ReadAmountField(d, kRatePercent, rate, kRateWidth);
  return true;
}

// UStVA key numbers 21..100; keys 1..20 and above 100 index nothing in the
// return's table.
bool ReadUstvaKey(DialogFields& d, int& key) {
  std::string text;
  if (!ReadDigits(d, kUstvaKey, text)) return false;
  key = text.empty() || text.size() > 4 ? (text.empty() ? 0 : kLargestUstvaKey + 1) : std::atoi(text.c_str());
  if (key != 0 && (key <= 20 || key > kLargestUstvaKey)) return Refuse(kMessageUstvaKey, kUstvaKey);
  return true;
}

// A cost centre of the account: empty, or one that exists.
bool ReadCostCentre(DialogFields& d, int control, std::string& out) {
  std::string text = Trim(d.FieldText(control));
  out.clear();
  if (text.empty()) return true;
  if (!AllDigits(text) || text.size() > 7) return Refuse(kMessageDigitsOnly, control);
  out = RightAligned(text);
  char record[K::kLayout.recordLength];
  bool found = false;
  if (!GetEqual(record, KeyValue(out.c_str(), 8), found, MakeFileId(kSlotKore, 0))) return false;
  if (found) return true;
  ShowMessage(kMessageNoSuchCostCentre, control, text);
  return false;
}

void SetPreviousYear(void* r, const char (&amounts)[3][kAmountWidth + 1], int side,
                     const layouts::Field& debit, const layouts::Field& credit,
                     const layouts::Field& balance, const layouts::Field& sideField) {
  layouts::SetRawText(r, debit, amounts[0]);
  layouts::SetRawText(r, credit, amounts[1]);
  layouts::SetRawText(r, balance, amounts[2]);
  layouts::SetNumber(r, sideField, side);
}

// Once an account is posted its previous-year figures belong to the
// carry-forwards; the change dialog keeps them.
bool PreviousYearEditable(AccountBase base, const layouts::Field& unposted) {
  return !base.record || layouts::GetNumber(base.record, unposted) != 0;
}

bool ReadCounterAccount(DialogFields& d, std::string& out) {
  std::string text = Trim(d.FieldText(kCounterAccount));
  out.clear();
  if (text.empty()) return true;
  if (!AllDigits(text) || text.size() > 7) return Refuse(kMessageCounterAccount, kCounterAccount);
  out = RightAligned(text);
  AccountKind kind = kNoAccount;
  if (!LookUpAccount(out.c_str(), kind)) return false;
  return kind == kSachkonto ? true : Refuse(kMessageCounterAccount, kCounterAccount);
}

bool ReadBankCode(DialogFields& d, std::string& out) {
  out = Trim(d.FieldText(kBankCode));
  if (out.empty()) return true;
  if (CurrentSettings().austria)
    return AllDigits(out) && out.size() <= 8 ? true : Refuse(kMessageAustrianBankCode, kBankCode);
  return AllDigits(out) && out.size() == 8 ? true : Refuse(kMessageBankCode, kBankCode);
}

// A currency only for a foreign account: an empty country is domestic too.
bool CheckCurrency(const std::string& country, const std::string& currency) {
  if (currency.empty()) return true;
  bool domestic = country.empty() || country == Trim(CurrentSettings().land);
  return domestic ? Refuse(kMessageDomesticCurrency, kCurrency) : true;
}

// No control characters, no '?' or '*' (they would be patterns elsewhere).
bool PlainCharacters(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == '?' || c == '*') return false;
  return true;
}

}  // namespace

bool CheckQuickAccount(DialogFields& d, int file) {
  static const int slots[] = {kSlotSako, kSlotDebi, kSlotKred, kSlotKore};
  bool costCentre = file == 3;
  // No cap on the number of accounts of a kind: today's charts alone hold
  // more than a thousand Sachkonten. The count only proves the file readable.
  if (RecordCount(slots[file]) < 0) return false;
  if (!PlainCharacters(d.FieldText(kNumber))) return Refuse(kMessageAlphanumeric, kNumber);
  if (!PlainCharacters(d.FieldText(kShortCode))) return Refuse(kMessageAlphanumeric, kShortCode);
  std::string number, code;
  return ReadNewNumber(d, number, costCentre) && ReadShortCode(d, "", code, costCentre);
}

bool CheckSachkonto(DialogFields& d, const AccountChoices& c, AccountBase base, void* r,
                    bool& previousYearOpening) {
  std::string number, ownCode, code, name;
  if (base.record) {
    std::memcpy(r, base.record, S::kLayout.recordLength);
    number = layouts::GetText(r, S::kAccountNo);
    ownCode = layouts::GetText(r, S::kShortCode);
  } else {
    layouts::InitRecord(S::kLayout, r);
    if (!ReadNewNumber(d, number, false)) return false;
  }
  char date[8] = {}, rate[8] = {};
  char prev[3][kAmountWidth + 1];
  int taxKey = 0, ustva = 0;
  previousYearOpening = false;
  if (!ReadShortCode(d, ownCode, code, false) || !ReadOpeningDate(d, date, previousYearOpening) ||
      !ReadName(d, name, 25) || !ReadTaxKey(d, c, taxKey, rate) || !ReadUstvaKey(d, ustva))
    return false;
  bool revenue = c.accountClass == 8 && c.revenue;
  if (revenue && ustva == 0) return Refuse(kMessageRevenueNeedsKey, kUstvaKey);
  std::string centre1, centre2;
  bool costType = c.costType || revenue;
  if (costType && (!ReadCostCentre(d, kCostCentre1, centre1) || !ReadCostCentre(d, kCostCentre2, centre2)))
    return false;
  if (!centre1.empty() && centre1 == centre2) return Refuse(kMessageSameCostCentres, kCostCentre2);
  bool prevEditable = PreviousYearEditable(base, S::kUnposted);
  if (prevEditable && !ReadPreviousYear(d, prev)) return false;

  layouts::SetRawText(r, S::kAccountNo, number);
  layouts::SetText(r, S::kShortCode, code);
  layouts::SetText(r, S::kName, name);
  layouts::SetRawText(r, S::kOpeningDate, date);
  layouts::SetNumber(r, S::kAccountClass, c.accountClass);
  layouts::SetNumber(r, S::kDatevFixedAsset, c.fixedAsset ? 1 : 0);
  layouts::SetNumber(r, S::kRevenueAccount, revenue ? 1 : 0);
  layouts::SetNumber(r, S::kTaxKey, taxKey);
  layouts::SetRawText(r, S::kRate, rate[0] ? rate : "");
  layouts::SetNumber(r, S::kUstvaKey, ustva);
  layouts::SetNumber(r, S::kCostType, costType ? 1 : 0);
  layouts::SetNumber(r, S::kCostBehaviour, costType ? c.costBehaviour : 0);
  layouts::SetRawText(r, S::kCostCentre1, centre1);
  layouts::SetRawText(r, S::kCostCentre2, centre2);
  if (prevEditable)
    SetPreviousYear(r, prev, c.prevSide, S::kPrevDebitTurnover, S::kPrevCreditTurnover,
                    S::kPrevClosingBalance, S::kPrevClosingSide);
  return true;
}

bool CheckPersonalAccount(DialogFields& d, const AccountChoices& c, bool debitor, AccountBase base,
                          void* r, bool& previousYearOpening) {
  std::string number, ownCode, code, name;
  if (base.record) {
    std::memcpy(r, base.record, P::kLayout.recordLength);
    number = layouts::GetText(r, P::kAccountNo);
    ownCode = layouts::GetText(r, P::kShortCode);
  } else {
    layouts::InitRecord(P::kLayout, r);
    if (!ReadNewNumber(d, number, false)) return false;
  }
  char date[8] = {}, percent[8] = {};
  char prev[3][kAmountWidth + 1];
  previousYearOpening = false;
  if (!ReadShortCode(d, ownCode, code, false) || !ReadOpeningDate(d, date, previousYearOpening) ||
      !ReadName(d, name, 25))
    return false;
  std::string bankCode, bankAccount, counter, discountDays, paymentDays;
  std::string country = Trim(d.FieldText(kCountry)), currency = Trim(d.FieldText(kCurrency));
  if (!ReadBankCode(d, bankCode) || !ReadDigits(d, kBankAccount, bankAccount)) return false;
  bool prevEditable = PreviousYearEditable(base, P::kUnposted);
  if (prevEditable && !ReadPreviousYear(d, prev)) return false;
  if (!ReadCounterAccount(d, counter) || !ReadDigits(d, kDiscountDays, discountDays) ||
      !ReadDigits(d, kPaymentDays, paymentDays))
    return false;
  if (Trim(d.FieldText(kDiscountPercent)).empty())
    std::strcpy(percent, kZeroRate);
  else if (!ReadAmountField(d, kDiscountPercent, percent, kRateWidth))
    return false;
  if (!CheckCurrency(country, currency)) return false;

  layouts::SetRawText(r, P::kAccountNo, number);
  layouts::SetText(r, P::kShortCode, code);
  layouts::SetText(r, P::kName, name);
  layouts::SetRawText(r, P::kOpeningDate, date);
  layouts::SetText(r, P::kNameExtra, d.FieldText(kSupplement));
  layouts::SetText(r, P::kStreet, d.FieldText(kStreet));
  layouts::SetText(r, P::kPostalCode, d.FieldText(kPostalCode));
  layouts::SetText(r, P::kTown, d.FieldText(kTown));
  layouts::SetText(r, P::kCountry, country);
  layouts::SetText(r, P::kCurrency, currency);
  layouts::SetText(r, P::kVatId, d.FieldText(kVatId));
  layouts::SetNumber(r, P::kContractProcessing, c.contractProcessing ? 1 : 0);
  layouts::SetRawText(r, P::kBankCode, bankCode);
  layouts::SetRawText(r, P::kBankAccount, bankAccount);
  layouts::SetText(r, P::kBankName, d.FieldText(kBankName));
  layouts::SetText(r, P::kPaymentReference, d.FieldText(kPaymentReference));
  layouts::SetRawText(r, P::kCounterAccount, counter);
  layouts::SetNumber(r, P::kDiscountDays, std::atoi(discountDays.c_str()));
  layouts::SetNumber(r, P::kPaymentDays, std::atoi(paymentDays.c_str()));
  layouts::SetRawText(r, P::kDiscountPercent, percent);
  if (debitor) layouts::SetNumber(r, P::kDunningKey, c.dunning ? 0 : -1);
  if (prevEditable)
    SetPreviousYear(r, prev, c.prevSide, P::kPrevDebitTurnover, P::kPrevCreditTurnover,
                    P::kPrevClosingBalance, P::kPrevClosingSide);
  return true;
}

bool CheckCostCentre(DialogFields& d, AccountBase base, void* r) {
  std::string number, ownCode, code, name;
  if (base.record) {
    std::memcpy(r, base.record, K::kLayout.recordLength);
    number = layouts::GetText(r, K::kNumber);
    ownCode = layouts::GetText(r, K::kShortCode);
  } else {
    layouts::InitRecord(K::kLayout, r);
    if (!ReadNewNumber(d, number, true)) return false;
  }
  if (!ReadShortCode(d, ownCode, code, true) || !ReadName(d, name, 30)) return false;
  layouts::SetRawText(r, K::kNumber, number);
  layouts::SetText(r, K::kShortCode, code);
  layouts::SetText(r, K::kName, name);
  return true;
}

}  // namespace talvera
