#include "reports/report_buffer.h"

#include <algorithm>
#include <new>
#include <utility>

namespace talvera {

ReportBuffer::~ReportBuffer() { CloseFile(); }

void ReportBuffer::CloseFile() {
  file_.Close();
  for (CachedBlock& c : cache_) {
    c.block = SIZE_MAX;
    std::string().swap(c.text);
    std::vector<std::uint32_t>().swap(c.offsets);
  }
}

void ReportBuffer::SetStorageLimits(std::size_t memoryLimit, std::size_t blockSize) {
  memoryLimit_ = memoryLimit;
  blockSize_ = blockSize > 0 ? blockSize : 1;
}

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
  for (std::string& slot : slots_) slot.clear();
  objects_ = std::move(objects);
  tabs_ = std::move(tabs);
  if (tabs_.size() > kMaxTabs) tabs_.resize(kMaxTabs);
  return true;
}

bool ReportBuffer::StartBlock(std::size_t atLeast) {
  if (!SpillFinishedBlocks()) return false;
  try {
    Block block;
    block.text.reserve(atLeast > blockSize_ ? atLeast : blockSize_);
    block.firstLine = lineCount_;
    blocks_.push_back(std::move(block));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Once the text in memory passes the limit, every finished block goes to
// the temporary file; only the block being filled stays.
bool ReportBuffer::SpillFinishedBlocks() {
  if (memoryText_ <= memoryLimit_ || blocks_.empty()) return true;
  for (Block& block : blocks_) {
    if (block.filePos >= 0 || block.lines == 0) continue;
    std::int64_t position = 0;
    if (!file_.Append(block.text.data(), block.size, &position) ||
        !file_.Append(block.offsets.data(), block.offsets.size() * sizeof(std::uint32_t), nullptr))
      return false;
    block.filePos = position;
    memoryText_ -= block.size;
    std::string().swap(block.text);
    std::vector<std::uint32_t>().swap(block.offsets);
  }
  return true;
}

bool ReportBuffer::HoldAtMost(std::size_t limit) {
  std::size_t own = memoryLimit_;
  memoryLimit_ = limit;
  bool ok = SpillFinishedBlocks();
  memoryLimit_ = own;
  return ok;
}

bool ReportBuffer::Append(std::string_view line) {
  std::size_t end = line.find('\0');
  if (end != std::string_view::npos) line = line.substr(0, end);
  std::size_t need = line.size() + 1;
  // A line never spans two blocks: one that does not fit opens the next.
  if (blocks_.empty() || blocks_.back().size + need > blocks_.back().text.capacity()) {
    if (!StartBlock(need)) return false;
  }
  Block& block = blocks_.back();
  try {
    block.offsets.push_back(block.size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  block.text.append(line);
  block.text.push_back('\0');
  block.size += static_cast<std::uint32_t>(need);
  ++block.lines;
  ++lineCount_;
  memoryText_ += need;
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
  std::vector<Block>().swap(blocks_);
  lineCount_ = 0;
  memoryText_ = 0;
  CloseFile();
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

bool ReportBuffer::BlockData(std::size_t index, const std::string** text,
                             const std::vector<std::uint32_t>** offsets) const {
  const Block& block = blocks_[index];
  if (block.filePos < 0) {
    *text = &block.text;
    *offsets = &block.offsets;
    return true;
  }
  ++useCounter_;
  CachedBlock* oldest = &cache_[0];
  for (CachedBlock& c : cache_) {
    if (c.block == index) {
      c.lastUse = useCounter_;
      *text = &c.text;
      *offsets = &c.offsets;
      return true;
    }
    if (c.lastUse < oldest->lastUse) oldest = &c;
  }
  oldest->block = SIZE_MAX;
  try {
    oldest->text.resize(block.size);
    oldest->offsets.resize(static_cast<std::size_t>(block.lines));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!file_.Read(oldest->text.data(), block.size, block.filePos) ||
      !file_.Read(oldest->offsets.data(), oldest->offsets.size() * sizeof(std::uint32_t), block.filePos + block.size))
    return false;
  oldest->block = index;
  oldest->lastUse = useCounter_;
  *text = &oldest->text;
  *offsets = &oldest->offsets;
  return true;
}

void ReportBuffer::SwapReport(ReportBuffer& other) noexcept {
  std::swap(blocks_, other.blocks_);
  std::swap(lineCount_, other.lineCount_);
  std::swap(memoryText_, other.memoryText_);
  file_.Swap(other.file_);
  std::swap(cache_, other.cache_);
  std::swap(useCounter_, other.useCounter_);
  std::swap(objects_, other.objects_);
  std::swap(tabs_, other.tabs_);
  std::swap(slots_, other.slots_);
  std::swap(pageCount_, other.pageCount_);
  std::swap(width_, other.width_);
}

std::string_view ReportBuffer::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  // The last block that starts at or before the line.
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), index,
                                [](int line, const Block& b) { return line < b.firstLine; });
  std::size_t blockIndex = static_cast<std::size_t>(after - blocks_.begin()) - 1;
  const std::string* text = nullptr;
  const std::vector<std::uint32_t>* offsets = nullptr;
  if (!BlockData(blockIndex, &text, &offsets)) return {};
  std::size_t k = static_cast<std::size_t>(index - blocks_[blockIndex].firstLine);
  std::uint32_t begin = (*offsets)[k];
  std::uint32_t end = k + 1 < offsets->size() ? (*offsets)[k + 1] : blocks_[blockIndex].size;
  return std::string_view(*text).substr(begin, end - 1 - begin);
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
