// Tests that print: a settings directory whose "Drucker" is a PDF file, the
// message recorder, and the poppler tools to read the PDF back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/message_recorder.h"
#include "core/profile.h"
#include "core/settings.h"
#include "reports/printer.h"
#include "reports/printer_setting.h"
#include "support/temp_dir.h"

namespace talvera::testing {

inline std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
    ::pclose(pipe);
  }
  return out;
}

inline bool HavePoppler() {
  return RunCommand("command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null && echo yes") ==
         "yes\n";
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override { UsePdf(pdf()); }
  // Points "Drucker" at a PDF file and opens the printer.
  void UsePdf(const std::string& path) {
    std::ofstream(TalviIniPath()) << "[TALVI]\nPfad=/daten\nDrucker="
                                  << PrinterSettingForPdf(path) << "\n";
    ReadSettings();
    ASSERT_NE(OpenPrinter(), nullptr);
  }
  std::string pdf() const { return dir_ / "out.pdf"; }
  int PdfPages() const {
    std::string info = RunCommand("pdfinfo '" + pdf() + "'");
    std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
  }
  std::string PdfText() const { return RunCommand("pdftotext -layout '" + pdf() + "' -"); }

  TempSettingsDir dir_;
  MessageRecorder messages_;
};

}  // namespace talvera::testing
