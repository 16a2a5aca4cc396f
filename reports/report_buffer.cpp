#include "reports/report_buffer.h"

#include <new>

namespace talvera {
namespace {

// Reports reuse the buffer; starting at this size spares the first regrowths.
constexpr std::size_t kInitialText = 32 * 1024;
constexpr std::size_t kInitialLines = 256;

}  // namespace

LineHead ReadLineHead(std::string_view line) {
  LineHead head;
  if (line.empty()) return head;
  auto first = static_cast<unsigned char>(line[0]);
  if (first < 16) {
    head.code = first;
  } else if (first < 128 && (first & 0x0F) >= kLineCentred && (first & 0x0F) <= kLineDoubleRule) {
    head.attributes = first & (kLineBold | kLineUnderlined | kLineLarge);
    head.code = first & 0x0F;
  } else {
    head.code = kLineNoCode;
  }
  return head;
}

bool ReportBuffer::Begin(std::string_view objectTemplate, std::string_view tabTemplate) {
  auto objects = FindObjectTemplate(objectTemplate);
  auto tabs = FindTabTemplate(tabTemplate);
  if (!objects || !tabs) {
    Clear();
    return false;
  }
  return Begin(std::move(*objects), std::move(*tabs));
}

bool ReportBuffer::Begin(std::vector<TemplateObject> objects, std::vector<int> tabs) {
  Clear();
  try {
    text_.reserve(kInitialText);
    offsets_.reserve(kInitialLines);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::string& slot : slots_) slot.clear();
  objects_ = std::move(objects);
  tabs_ = std::move(tabs);
  if (tabs_.size() > kMaxTabs) tabs_.resize(kMaxTabs);
  return true;
}

bool ReportBuffer::Append(std::string_view line) {
  std::size_t end = line.find('\0');
  if (end != std::string_view::npos) line = line.substr(0, end);
  try {
    text_.append(line);
    text_.push_back('\0');
    offsets_.push_back(text_.size());
  } catch (const std::bad_alloc&) {
    // Leave the buffer as it was before this line.
    text_.resize(offsets_.back());
    return false;
  }
  return true;
}

bool ReportBuffer::UseObjectTemplate(std::string_view objectTemplate) {
  auto objects = FindObjectTemplate(objectTemplate);
  if (!objects) return false;
  objects_ = std::move(*objects);
  return true;
}

bool ReportBuffer::AddTemplateLine(unsigned char attributes) {
  // Attributes go onto the line code, which is the marker of the first object.
  auto append = [&](std::string& line) {
    if (!line.empty()) line[0] = static_cast<char>(static_cast<unsigned char>(line[0]) | attributes);
    return Append(line);
  };
  std::string line;
  int currentTab = -1;
  int slot = 0;
  for (const TemplateObject& object : objects_) {
    if (object.IsLineBreak()) {
      if (!append(line)) return false;
      line.clear();
      currentTab = -1;
      continue;
    }
    // Every tab passed on the way gets its own (possibly empty) segment; an
    // object on a tab already reached continues the segment before it.
    while (currentTab < object.tab) {
      line.push_back(static_cast<char>(object.align));
      ++currentTab;
    }
    const std::string& value = slot < kFieldSlots ? slots_[slot] : std::string();
    line.append(value, 0, static_cast<std::size_t>(object.width));
    ++slot;
  }
  return append(line);
}

bool ReportBuffer::AddTextLine(std::string_view text) { return Append(text); }
bool ReportBuffer::AddEmptyLine() { return Append({}); }

bool ReportBuffer::AddCodeLine(unsigned char code) {
  char byte = static_cast<char>(code);
  return Append(std::string_view(&byte, code == 0 ? 0 : 1));
}

bool ReportBuffer::AddPageBreak() {
  if (!AddCodeLine(kLinePageBreak)) return false;
  ++pageCount_;
  return true;
}

void ReportBuffer::End() { objects_.clear(); }

void ReportBuffer::Clear() {
  std::string().swap(text_);
  std::vector<std::size_t>{0}.swap(offsets_);
  objects_.clear();
  tabs_.clear();
  pageCount_ = 0;
  width_ = 0;
}

void ReportBuffer::SetFieldSlot(int n, std::string_view text) {
  if (n < 0 || n >= kFieldSlots) return;
  std::string& slot = slots_[n];
  slot.assign(text.substr(0, text.find('\0')));
  for (char& c : slot)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
}

std::string_view ReportBuffer::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  std::size_t begin = offsets_[index];
  return std::string_view(text_).substr(begin, offsets_[index + 1] - 1 - begin);
}

ReportBuffer& TheReportBuffer() {
  static ReportBuffer buffer;
  return buffer;
}

bool BeginReport(std::string_view objectTemplate, std::string_view tabTemplate) {
  return TheReportBuffer().Begin(objectTemplate, tabTemplate);
}
bool UseObjectTemplate(std::string_view objectTemplate) {
  return TheReportBuffer().UseObjectTemplate(objectTemplate);
}
bool AddTemplateLine(unsigned char attributes) { return TheReportBuffer().AddTemplateLine(attributes); }
void SetReportWidth(int width) { TheReportBuffer().SetWidth(width); }
bool AddTextLine(std::string_view text) { return TheReportBuffer().AddTextLine(text); }
bool AddEmptyLine() { return TheReportBuffer().AddEmptyLine(); }
bool AddCodeLine(unsigned char code) { return TheReportBuffer().AddCodeLine(code); }
bool AddPageBreak() { return TheReportBuffer().AddPageBreak(); }
void EndReport() { TheReportBuffer().End(); }
void SetFieldSlot(int n, std::string_view text) { TheReportBuffer().SetFieldSlot(n, text); }
std::string GetReportLine(int index) { return std::string(TheReportBuffer().Line(index)); }

}  // namespace talvera
