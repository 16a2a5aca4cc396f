// The fixed Mandant with the PDF file printer: the evaluation dialogs are
// driven on it and print to one PDF file that pdftotext reads back.
#pragma once

#include <fstream>
#include <string>

#include "core/settings.h"
#include "print_fixture.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "support/fixed_mandant.h"

namespace talvera::testing {

class FixedMandantPrintTest : public FixedMandantTest {
 protected:
  void SetUp() override {
    FixedMandantTest::SetUp();
    if (HasFatalFailure()) return;
    std::ofstream(TalviIniPath()) << "[TALVI]\nDrucker=" << PrinterSettingForPdf(pdf()) << "\n";
    ReadSettings();
    ASSERT_NE(OpenPrinter(), nullptr);
  }
  void TearDown() override {
    TheReportBuffer().Clear();
    SetReportKind(kReportNone);
    ClearPrintRequest();
    FixedMandantTest::TearDown();
  }
  std::string pdf() const { return settings_ / "out.pdf"; }
  std::string PdfText() const { return RunCommand("pdftotext -layout '" + pdf() + "' -"); }
  // The report buffer as text, a line each.
  static std::string BufferText() {
    std::string all;
    for (int i = 0; i < TheReportBuffer().LineCount(); ++i) all += std::string(TheReportBuffer().Line(i)) + "\n";
    return all;
  }
};

}  // namespace talvera::testing
