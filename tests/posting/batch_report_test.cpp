// The printed batch list: a sale with output tax, rent without tax and a
// two-line vendor invoice, each line's net amount on the side that carries
// it, and the control total of the gross amounts (119,00 + 500,00 +
// 238,00 + 119,00 = 976,00).
#include "batch_fixture.h"
#include "reports/batch_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "support/golden_report.h"

namespace talvera::testing {
namespace {

TEST_F(BatchTest, BatchListGolden) {
  Booking invoice("070346", "Wareneingang", "R7");
  invoice.Line("3400", 2, "70000", 4, "000000238,00", "000000200,00", 2, 2, "19,00")
      .Line("4210", 2, "70000", 4, "000000119,00", "000000100,00", 2, 2, "19,00");
  layouts::SetRawText(invoice.data(), bat::kLine.In(0, bl::kListTaxAccount), "   1576");
  layouts::SetRawText(invoice.data(), bat::kLine.In(1, bl::kListTaxAccount), "   1576");
  Booking sale = Sale("A1", "050346");
  layouts::SetRawText(sale.data(), bat::kLine.In(0, bl::kListTaxAccount), "   1776");
  Fill(kStandard, {sale, Rent("M3", "060346"), invoice});
  std::vector<BatchRecord> records;
  ASSERT_TRUE(ListBatchBookings(kStandard, records));

  BatchReportOptions o;
  o.batchName = "Standardstapel";
  o.date = "10.12.2026";
  o.linesPerPage = 60;
  int lines = BuildBatchReport(o, records);
  ASSERT_GT(lines, 0);
  ExpectGolden(TALVERA_GOLDEN_DIR, "stapelliste_druck", GoldenText(TheReportBuffer(), ReportWidth(kReportStapel)));

  EXPECT_EQ(BuildBatchReport(o, {}), 0) << "an empty batch: message 720 is the dialog's";
}

}  // namespace
}  // namespace talvera::testing
