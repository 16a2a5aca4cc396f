#include <gtest/gtest.h>

#include "reports/form_buffer.h"
#include "reports/printer_setting.h"

using namespace talvera;

namespace {

struct OffsetRow {
  const char* text;
  bool ok;
  int tenths;
};

TEST(FormOffset, MillimetresWithOneDecimalWithinTenEitherWay) {
  const OffsetRow rows[] = {
      {"10,0", true, 100}, {"-10,0", true, -100}, {"-2,5", true, -25}, {"3", true, 30},
      {"0,7", true, 7},    {"10,1", false, 0},    {"-11", false, 0},   {"1,25", false, 0},
      {"", false, 0},      {"-", false, 0},       {"1a", false, 0},    {"100", false, 0},
  };
  for (const OffsetRow& r : rows) {
    int tenths = 0;
    EXPECT_EQ(ParseFormOffset(r.text, &tenths), r.ok) << r.text;
    if (r.ok) {
      EXPECT_EQ(tenths, r.tenths) << r.text;
    }
  }
  EXPECT_EQ(FormatFormOffset(-25), "-2,5");
  EXPECT_EQ(FormatFormOffset(100), "10,0");
}

TEST(FormBuffer, CountsFormsByPageBreaks) {
  FormBuffer forms;
  EXPECT_EQ(forms.FormCount(), 0);
  forms.AddText(100, 200, "Empf\xe4nger");
  forms.AddPageBreak();
  EXPECT_EQ(forms.FormCount(), 1);
  forms.AddText(100, 200, "Zweiter", kFormRightAligned);
  EXPECT_EQ(forms.FormCount(), 2);
  EXPECT_EQ(forms.Items().back().flags, unsigned{kFormText | kFormRightAligned});
}

TEST(PrinterSetting, QueuesAndPdfFiles) {
  PrinterChoice pdf = ParsePrinterSetting(PrinterSettingForPdf("/tmp/a,b.pdf"));
  EXPECT_TRUE(pdf.pdf);
  EXPECT_EQ(pdf.pdfPath, "/tmp/a,b.pdf");  // commas belong to the path
  PrinterChoice queue = ParsePrinterSetting(PrinterSettingForQueue("PDF"));
  EXPECT_FALSE(queue.pdf);  // a CUPS queue named PDF stays a queue
  EXPECT_EQ(queue.queue, "PDF");
  EXPECT_TRUE(ParsePrinterSetting("").Empty());
}

}  // namespace
