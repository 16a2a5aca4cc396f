#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "print_fixture.h"
#include "reports/page_compression.h"
#include "reports/pdf_join.h"
#include "support/temp_dir.h"

using namespace talvera;
using talvera::testing::HavePoppler;
using talvera::testing::RunCommand;

namespace {

// A document whose pages say "<name> <n>", painted by Qt's PDF engine as
// the printing paints reports; `lines` more lines of figures on each page.
void WriteDocument(const std::string& path, const std::string& name, int pages, int lines = 0) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setTitle(QString::fromStdString("Titel " + name));
  QPainter painter(&writer);
  for (int page = 1; page <= pages; ++page) {
    if (page > 1) writer.newPage();
    painter.setFont(QFont(page % 2 ? "DejaVu Sans Mono" : "DejaVu Sans", 12));
    painter.drawText(QPointF(200, 400), QString::fromStdString(name + " " + std::to_string(page)));
    painter.drawLine(QPointF(200, 500), QPointF(2000, 500));
    for (int line = 0; line < lines; ++line)
      painter.drawText(QPointF(200, 700 + 100 * line),
                       QString("B%1  %2.07.96  Buchung  %3,15  2956").arg(line * 7919).arg(line % 28 + 1).arg(line * 31));
  }
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The words of each page, pages separated by "|".
std::string PageTexts(const std::string& path) {
  std::string text = RunCommand("pdftotext '" + path + "' - 2>&1");
  std::string out;
  for (char c : text) out += c == '\f' ? '|' : (c == '\n' ? ' ' : c);
  // Collapse the blanks pdftotext leaves between lines.
  std::string collapsed;
  for (char c : out)
    if (!(c == ' ' && (collapsed.empty() || collapsed.back() == ' ' || collapsed.back() == '|')))
      collapsed += c;
  for (std::size_t at; (at = collapsed.find(" |")) != std::string::npos;) collapsed.erase(at, 1);
  return collapsed;
}

class PdfJoinTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }
  talvera::testing::TempDir dir_;
};

TEST_F(PdfJoinTest, PagesOfSeveralDocumentsComeInTheGivenOrder) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) are not installed";
  WriteDocument(Path("a.pdf"), "Anton", 3);
  WriteDocument(Path("b.pdf"), "Berta", 1);
  WriteDocument(Path("c.pdf"), "Caesar", 2);
  std::string error;
  // Into the first part itself, as a run of reports does.
  ASSERT_TRUE(JoinPdfParts({Path("a.pdf"), Path("b.pdf"), Path("c.pdf")},
                           {{0, 1}, {1, 1}, {0, 2}, {2, 1}, {1, 0}, {2, 1}}, Path("a.pdf"), &error))
      << error;
  EXPECT_EQ(PageTexts(Path("a.pdf")), "Anton 1|Berta 1|Anton 2|Anton 3|Caesar 1|Caesar 2|");
  std::string info = RunCommand("pdfinfo '" + Path("a.pdf") + "' 2>&1");
  EXPECT_NE(info.find("Pages:           6"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           Titel Anton"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  // Every font a page names is there: the joined file renders each page.
  std::string fonts = RunCommand("pdffonts '" + Path("a.pdf") + "' 2>&1");
  EXPECT_EQ(fonts.find("rror"), std::string::npos) << fonts;
  // Nothing is left behind.
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    if (entry.path().extension() != ".pdf")
      left.push_back(entry.path().filename());
  EXPECT_TRUE(left.empty()) << left.front();
}

TEST_F(PdfJoinTest, WhatCannotBeJoinedLeavesTheOutputAsItWas) {
  WriteDocument(Path("a.pdf"), "Anton", 2);
  WriteDocument(Path("b.pdf"), "Berta", 1);
  std::ofstream(Path("kaputt.pdf")) << "%PDF-1.4\n1 0 obj\n<< >>\nendobj\nstartxref\n999\n%%EOF\n";
  std::ofstream(Path("out.pdf")) << "alt";
  std::ofstream(Path("text.txt")) << "Kein PDF, nur eine Zeile Text.\n";
  struct Case {
    const char* what;
    std::vector<std::string> parts;
    std::vector<PdfPageSpan> spans;
  };
  std::vector<Case> cases = {
      {"a page left over", {"a.pdf", "b.pdf"}, {{0, 2}}},
      {"a page too many", {"a.pdf", "b.pdf"}, {{0, 2}, {1, 2}}},
      {"no such part", {"a.pdf"}, {{0, 2}, {1, 1}}},
      {"a missing file", {"a.pdf", "fehlt.pdf"}, {{0, 2}, {1, 1}}},
      {"a damaged file", {"a.pdf", "kaputt.pdf"}, {{0, 2}, {1, 1}}},
      {"not a PDF", {"a.pdf", "text.txt"}, {{0, 2}, {1, 1}}},
  };
  std::string before = Bytes(Path("a.pdf"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> parts;
    for (const std::string& p : c.parts) parts.push_back(Path(p));
    std::string error;
    EXPECT_FALSE(JoinPdfParts(parts, c.spans, Path("out.pdf"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Bytes(Path("out.pdf")), "alt");
  }
  EXPECT_EQ(Bytes(Path("a.pdf")), before);
  std::string error;
  EXPECT_FALSE(JoinPdfParts({Path("a.pdf")}, {{0, 2}}, Path("kein-verzeichnis/out.pdf"), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace

namespace {

// Pages painted under FastPageCompression on a thread of their own read the
// same and take more room: the compression level was chosen by us.
TEST(PageCompressionTest, PagesPaintedFastReadTheSame) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  talvera::testing::TempDir dir;
  std::thread([&] { WriteDocument(dir / "normal.pdf", "Seite", 3, 60); }).join();
  std::thread([&] {
    FastPageCompression fast;
    WriteDocument(dir / "fast.pdf", "Seite", 3, 60);
  }).join();
  EXPECT_EQ(RunCommand("pdftotext -layout '" + (dir / "fast.pdf") + "' -"),
            RunCommand("pdftotext -layout '" + (dir / "normal.pdf") + "' -"));
  EXPECT_GT(std::filesystem::file_size(dir / "fast.pdf"),
            std::filesystem::file_size(dir / "normal.pdf") + 100);
}

}  // namespace
