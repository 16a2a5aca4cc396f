#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "shell/notices.h"

using namespace talvera;
using namespace talvera::layouts;

namespace {

std::string Str(const unsigned char* p, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}
std::int32_t Int(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
bool AllZero(const unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i]) return false;
  return true;
}

bool SixteenPercent(int taxClass, int index, char* rate) {
  if (taxClass != 2 || index != 0) return false;
  std::strcpy(rate, "16,00");
  return true;
}

void SetLine(std::vector<char>& r, int i, const char* debit, const char* credit, const char* gross) {
  SetRawText(r.data(), bat::kLine.In(i, bat_line::kDebitAccount), debit);
  SetRawText(r.data(), bat::kLine.In(i, bat_line::kCreditAccount), credit);
  SetRawText(r.data(), bat::kLine.In(i, bat_line::kGross), gross);
}

TEST(Notices, BookingWithThreeLines) {
  std::vector<char> r(bat::kLayout.recordLength);
  InitRecord(bat::kLayout, r.data());
  SetNumber(r.data(), bat::kBatchNo, 7);
  SetRawText(r.data(), bat::kVoucherDate, "150317");
  SetRawText(r.data(), bat::kVoucherNo, "R-4711");
  SetText(r.data(), bat::kText, "Wareneinkauf bei der Firma Müller und Söhne");
  SetLine(r, 0, "   3400", "  70000", "000000116,00");
  SetNumber(r.data(), bat::kLine.In(0, bat_line::kDebitKind), 2);
  SetNumber(r.data(), bat::kLine.In(0, bat_line::kCreditKind), 4);
  SetNumber(r.data(), bat::kLine.In(0, bat_line::kTaxClass), 2 | 32);
  SetNumber(r.data(), bat::kLine.In(0, bat_line::kTaxSide), 1);
  SetRawText(r.data(), bat::kLine.In(0, bat_line::kNet), "000000100,00");
  SetLine(r, 1, "   1200", "  10000", "000000012-30");  // a negative gross amount
  SetNumber(r.data(), bat::kLine.In(1, bat_line::kCreditKind), 8);
  SetNumber(r.data(), bat::kLine.In(1, bat_line::kTaxClass), 16);
  SetRawText(r.data(), bat::kLine.In(1, bat_line::kRate), "05,50");
  SetLine(r, 2, "   4900", "   1000", "000000001,00");
  SetRawText(r.data(), bat::kLine.In(2, bat_line::kCostCentre1), "    100");
  SetNumber(r.data(), bat::kLine.In(2, bat_line::kCostCentreKind), 2);
  SetNumber(r.data(), bat::kNoCashBasisTax, 1);

  unsigned char p[kBookingPayloadSize];
  BuildBookingPayload(r.data(), 3, SixteenPercent, p);
  EXPECT_EQ(Int(p), 3);
  EXPECT_EQ(Int(p + 4), 7);
  EXPECT_EQ(Str(p + 8, 7), std::string("150397\0", 7));  // year index 17 -> 97
  EXPECT_EQ(Str(p + 15, 7), std::string("R-4711\0", 7));
  EXPECT_EQ(Str(p + 24, 30), "Wareneinkauf bei der Firma M\xFCl");  // 30 characters, no NUL
  EXPECT_EQ(p[54], 0);
  EXPECT_EQ(Int(p + 55), 3);

  const unsigned char* l0 = p + 59;
  EXPECT_EQ(Str(l0, 5), std::string("3400\0", 5));
  EXPECT_EQ(Int(l0 + 8), 1);   // Sachkonto
  EXPECT_EQ(Str(l0 + 12, 6), std::string("70000\0", 6));
  EXPECT_EQ(Int(l0 + 20), 2);  // Kreditor
  EXPECT_EQ(Str(l0 + 24, 12), "000000116,00");
  EXPECT_EQ(Str(l0 + 37, 5), "16,00");
  EXPECT_EQ(Str(l0 + 43, 12), "000000016,00");
  const unsigned char* l1 = p + 59 + 84;
  EXPECT_EQ(Str(l1 + 24, 12), "-00000012,30");  // the minus travels in front
  EXPECT_EQ(Int(l1 + 20), 4);                   // Debitor
  EXPECT_EQ(Str(l1 + 37, 5), "05,50");          // the line's own rate
  EXPECT_TRUE(AllZero(l1 + 43, 13));            // no tax side: no tax amount
  const unsigned char* l2 = p + 59 + 168;
  EXPECT_EQ(Str(l2 + 56, 8), std::string("    100\0", 8));
  EXPECT_EQ(Int(l2 + 72), 2);
  EXPECT_TRUE(AllZero(p + 59 + 3 * 84, 7 * 84));  // lines 4 to 10
  EXPECT_EQ(p[899], 1);
}

TEST(Notices, AccountsAndTheEmptyDiscount) {
  std::vector<char> d(personal::kLayout.recordLength);
  InitRecord(personal::kLayout, d.data());
  SetRawText(d.data(), personal::kAccountNo, "  10000");
  SetText(d.data(), personal::kName, "Meier GmbH");
  SetNumber(d.data(), personal::kDunningKey, -1);
  std::memset(FieldBytes(d.data(), personal::kDiscountPercent), 0, 6);
  unsigned char p[kPersonalPayloadSize];
  BuildPersonalPayload(d.data(), 1, p);
  EXPECT_EQ(Str(p + 4, 6), std::string("10000\0", 6));
  EXPECT_EQ(Str(p + 21, 10), "Meier GmbH");
  EXPECT_EQ(Str(p + 231, 5), "00,00");
  EXPECT_EQ(Int(p + 237), -1);
  EXPECT_TRUE(AllZero(p + 241, 64));

  std::vector<char> s(sako::kLayout.recordLength);
  InitRecord(sako::kLayout, s.data());
  SetRawText(s.data(), sako::kAccountNo, "   8400");
  SetText(s.data(), sako::kShortCode, "Erl.vo");
  SetNumber(s.data(), sako::kAccountClass, 8);
  SetNumber(s.data(), sako::kRevenueAccount, 1);
  unsigned char a[kSachkontoPayloadSize];
  BuildSachkontoPayload(s.data(), 2, a);
  EXPECT_EQ(Int(a), 2);
  EXPECT_EQ(Str(a + 4, 5), std::string("8400\0", 5));
  EXPECT_EQ(Str(a + 12, 7), std::string("Erl.vo\0", 7));
  EXPECT_EQ(Int(a + 47), 8);
  EXPECT_EQ(Int(a + 51), 1);
}

}  // namespace
