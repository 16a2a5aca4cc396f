// The report buffer: the one place every evaluation writes its report into,
// line by line, before the report window shows it or the printer prints it.
//
// Text is Windows-1252, one byte a character, like the record texts it is
// built from; it becomes UTF-8 only where it is drawn or copied out.
//
// Line format: the first byte of a line is its code.
//   0        empty line
//   1        centred text (up to the next byte below 32)
//   2, 3     tabbed text: segments, each a marker byte 2 (starts at its tab)
//            or 3 (ends at its tab) and its text; segment k uses tab k
//   4        a row of "=" across the report width
//   5        a single rule at half line height
//   6        a double rule
//   12       page break (printing only)
//   16..127  codes 1..6 in the low four bits with attributes: 16 bold,
//            32 underlined, 64 one and a half times as large; any other
//            first byte is no line code and draws nothing
//
// Storage: lines are kept in blocks of about a megabyte, each with the
// offsets of its lines. Up to a limit of text (16 MB) every block stays in
// memory; beyond it the finished blocks go to an unnamed temporary file and
// come back through a small cache when read, so a report of any length
// keeps only a few blocks and one small entry per block in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_templates.h"
#include "reports/spill_file.h"

namespace talvera {

enum LineCode : unsigned char {
  kLineEmpty = 0,
  kLineCentred = 1,
  kLineTabLeft = 2,
  kLineTabRight = 3,
  kLineEquals = 4,
  kLineRule = 5,
  kLineDoubleRule = 6,
  kLinePageBreak = 12,
  // Attribute bits, added to codes 1..6.
  kLineBold = 16,
  kLineUnderlined = 32,
  kLineLarge = 64,
  kLineNoCode = 255,
};

// Splits a line's first byte into its code and its attribute bits; bytes
// that carry attributes keep only their low four bits as the code. A byte
// that is neither a code nor a code with attributes (text such as ",", "L"
// or "Ü" at the start of a line) comes back as kLineNoCode: it must not
// be taken for the page break its low four bits would spell.
struct LineHead {
  unsigned char code = kLineEmpty;
  unsigned char attributes = 0;
};
LineHead ReadLineHead(std::string_view line);

constexpr int kFieldSlots = 20;

class ReportBuffer {
 public:
  ReportBuffer() = default;
  ReportBuffer(const ReportBuffer&) = delete;
  ReportBuffer& operator=(const ReportBuffer&) = delete;
  ~ReportBuffer();

  // Clears the buffer and the field slots and loads both templates; false
  // when one of them does not exist (the buffer is empty then).
  bool Begin(std::string_view objectTemplate, std::string_view tabTemplate);
  // The same with a layout made up by the caller instead of a named template.
  bool Begin(std::vector<TemplateObject> objects, std::vector<int> tabs);
  // Switches to another object template within the same report (the tab
  // list stays); false when it does not exist, the old one is kept then.
  bool UseObjectTemplate(std::string_view objectTemplate);
  // Lays the field slots out through the object template; one line per row
  // of the template, each with the given attribute bits (bold, underlined,
  // large) added to its line code. False when memory runs out.
  bool AddTemplateLine(unsigned char attributes = 0);
  // Appends a line as given (up to a zero byte).
  bool AddTextLine(std::string_view text);
  bool AddEmptyLine();
  bool AddCodeLine(unsigned char code);
  bool AddPageBreak();  // also counts a page
  // Releases the object template; the lines and the tab list stay.
  void End();
  // Drops every line and gives the memory back (after printing).
  void Clear();
  // Exchanges the report (lines, templates, slots, width) with `other`;
  // each keeps its own storage limits. A finished report is handed over
  // this way to be printed while the next one is built.
  void SwapReport(ReportBuffer& other) noexcept;

  // The width of this report in characters, where it differs from its
  // kind's (variants of one kind of different widths); 0 keeps the kind's.
  // Begin resets it.
  void SetWidth(int width) { width_ = width; }
  int Width() const { return width_; }

  // The n-th object of the template takes slot n. Bytes below 32 in a value
  // would end its segment early, so they become blanks.
  void SetFieldSlot(int n, std::string_view text);

  int LineCount() const { return lineCount_; }
  // The line without its terminating zero; empty beyond the last line.
  // The view stays valid until the next line is added, or, once the
  // report has gone to its temporary file, until lines of a few other
  // blocks have been read; copy it to keep it longer.
  std::string_view Line(int index) const;

  // Text kept in memory before finished blocks go to the temporary file,
  // and the size of a block; Clear keeps both. Tests make them small.
  void SetStorageLimits(std::size_t memoryLimit, std::size_t blockSize);
  // Puts the lines of a finished report into the temporary file when more
  // than `limit` bytes of them are held in memory (a report waiting to be
  // printed beside the one being built); false when the file cannot be
  // written.
  bool HoldAtMost(std::size_t limit);
  // Whether some of the lines are in the temporary file.
  bool Spilled() const { return file_.IsOpen(); }
  // Page breaks added since Begin.
  int PageCount() const { return pageCount_; }
  // The tab list of the tab template, in characters.
  const std::vector<int>& TemplateTabs() const { return tabs_; }

 private:
  // A block holds whole lines, each ended by a zero byte, and the offset
  // of each line; in the file the offsets follow the text.
  struct Block {
    std::string text;                     // while in memory
    std::vector<std::uint32_t> offsets;   // while in memory
    std::uint32_t size = 0;               // bytes of text
    int firstLine = 0;
    int lines = 0;
    std::int64_t filePos = -1;            // where the block stands once written
  };
  struct CachedBlock {
    std::size_t block = SIZE_MAX;
    std::uint64_t lastUse = 0;
    std::string text;
    std::vector<std::uint32_t> offsets;
  };

  bool Append(std::string_view line);
  bool StartBlock(std::size_t atLeast);
  bool SpillFinishedBlocks();
  // The block's text and offsets, from memory or through the cache; false
  // when it cannot be read back.
  bool BlockData(std::size_t block, const std::string** text, const std::vector<std::uint32_t>** offsets) const;
  void CloseFile();

  std::vector<Block> blocks_;    // the last one is the one being filled
  int lineCount_ = 0;
  std::size_t memoryText_ = 0;   // bytes of the blocks held in memory
  std::size_t memoryLimit_ = std::size_t{16} << 20;
  std::size_t blockSize_ = std::size_t{1} << 20;
  SpillFile file_;
  mutable std::array<CachedBlock, 4> cache_;
  mutable std::uint64_t useCounter_ = 0;
  std::vector<TemplateObject> objects_;
  std::vector<int> tabs_;
  std::array<std::string, kFieldSlots> slots_;
  int pageCount_ = 0;
  int width_ = 0;
};

// The program's one report buffer and the operations report builders call.
ReportBuffer& TheReportBuffer();
bool BeginReport(std::string_view objectTemplate, std::string_view tabTemplate);
bool UseObjectTemplate(std::string_view objectTemplate);
bool AddTemplateLine(unsigned char attributes = 0);
void SetReportWidth(int width);
bool AddTextLine(std::string_view text);
bool AddEmptyLine();
bool AddCodeLine(unsigned char code);
bool AddPageBreak();
void EndReport();
void SetFieldSlot(int n, std::string_view text);
// Copies line `index` (empty beyond the last line).
std::string GetReportLine(int index);

}  // namespace talvera
