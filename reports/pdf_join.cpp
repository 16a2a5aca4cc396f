#include "reports/pdf_join.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace talvera {
namespace {

// Reads a file front to back in large pieces; objects are taken in the
// order they stand in the file, so nearly every read is served from memory.
class Reader {
 public:
  bool Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
    size_ = static_cast<long long>(st.st_size);
    return true;
  }
  ~Reader() {
    if (fd_ >= 0) ::close(fd_);
  }
  long long Size() const { return size_; }

  // The `length` bytes at `offset`; false when the file has fewer.
  bool Read(long long offset, long long length, std::string& out) {
    if (offset < 0 || length < 0 || offset + length > size_) return false;
    out.clear();
    while (length > 0) {
      if (offset < start_ || offset >= start_ + static_cast<long long>(buffer_.size())) {
        if (!Fill(offset)) return false;
      }
      long long from = offset - start_;
      long long take = std::min(length, static_cast<long long>(buffer_.size()) - from);
      out.append(buffer_.data() + from, static_cast<std::size_t>(take));
      offset += take;
      length -= take;
    }
    return true;
  }

 private:
  static constexpr long long kPiece = 1 << 20;

  bool Fill(long long offset) {
    buffer_.resize(static_cast<std::size_t>(std::min(kPiece, size_ - offset)));
    std::size_t done = 0;
    while (done < buffer_.size()) {
      ssize_t n = ::pread(fd_, buffer_.data() + done, buffer_.size() - done,
                          static_cast<off_t>(offset + static_cast<long long>(done)));
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    start_ = offset;
    return true;
  }

  int fd_ = -1;
  long long size_ = 0;
  long long start_ = 0;
  std::string buffer_;
};

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDelimiter(char c) { return std::strchr("()<>[]{}/%", c) != nullptr && c != '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool Ends(std::string_view s, std::size_t i) { return i >= s.size() || IsSpace(s[i]) || IsDelimiter(s[i]); }

// A whole number at `i` (no sign), moving `i` past it; false when none.
bool ReadInt(std::string_view s, std::size_t& i, long long& value) {
  std::size_t j = i;
  value = 0;
  while (j < s.size() && IsDigit(s[j]) && j - i < 12) value = value * 10 + (s[j++] - '0');
  if (j == i || (j < s.size() && IsDigit(s[j]))) return false;
  i = j;
  return true;
}

void SkipSpace(std::string_view s, std::size_t& i) {
  while (i < s.size() && IsSpace(s[i])) ++i;
}

// A reference "n g R" at `i`, moving `i` past it; false when there is none.
bool ReadRef(std::string_view s, std::size_t& i, long long& number, long long& generation) {
  std::size_t j = i;
  if (!ReadInt(s, j, number) || j >= s.size() || !IsSpace(s[j])) return false;
  SkipSpace(s, j);
  if (!ReadInt(s, j, generation) || j >= s.size() || !IsSpace(s[j])) return false;
  SkipSpace(s, j);
  if (j >= s.size() || s[j] != 'R' || !Ends(s, j + 1)) return false;
  i = j + 1;
  return true;
}

// The object a key of a dictionary refers to ("/Root 2 0 R"); -1 when none.
long long RefAfter(std::string_view dict, std::string_view key) {
  std::size_t at = 0;
  while ((at = dict.find(key, at)) != std::string_view::npos) {
    std::size_t i = at + key.size();
    at = i;
    if (!Ends(dict, i)) continue;
    long long number = 0, generation = 0;
    SkipSpace(dict, i);
    if (ReadRef(dict, i, number, generation)) return number;
  }
  return -1;
}

// One document to be joined: where its objects stand and which are special.
struct Part {
  Reader file;
  std::string header;                   // everything before the first object
  std::string trailer;                  // the trailer dictionary
  std::vector<std::pair<long long, long long>> objects;  // (offset, number), in file order
  long long xref = 0;
  long long size = 0;                   // /Size: one more than the highest number
  long long root = -1, info = -1, pages = -1;
  std::vector<long long> kids;          // the pages in order
  std::string pagesObject;              // the page tree's object as it stands
  std::vector<long long> renumbered;    // new number of each object; 0 when dropped
  std::size_t nextKid = 0;
};

struct Failure {
  std::string* error;
  bool operator()(const std::string& text) const {
    if (error) *error = text;
    return false;
  }
};

// An object runs from its offset to the next object, or to the table.
bool ReadObject(Part& part, long long offset, std::string& out) {
  auto it = std::lower_bound(part.objects.begin(), part.objects.end(), std::make_pair(offset, 0LL));
  if (it == part.objects.end() || it->first != offset) return false;
  auto next = std::next(it);
  long long end = next == part.objects.end() ? part.xref : next->first;
  return part.file.Read(offset, end - offset, out);
}

bool ReadObjectNumbered(Part& part, const std::vector<long long>& offsets, long long number,
                        std::string& out) {
  return number > 0 && number < static_cast<long long>(offsets.size()) && offsets[static_cast<std::size_t>(number)] > 0 &&
         ReadObject(part, offsets[static_cast<std::size_t>(number)], out);
}

// Reads the cross-reference table, the trailer and the page tree.
bool ReadPart(const std::string& path, Part& part, const Failure& fail) {
  if (!part.file.Open(path)) return fail(path + ": kann nicht gelesen werden");
  std::string tail;
  long long tailLength = std::min<long long>(part.file.Size(), 1024);
  if (!part.file.Read(part.file.Size() - tailLength, tailLength, tail))
    return fail(path + ": kann nicht gelesen werden");
  std::size_t at = tail.rfind("startxref");
  std::size_t i = at == std::string::npos ? 0 : at + 9;
  SkipSpace(tail, i);
  if (at == std::string::npos || !ReadInt(tail, i, part.xref) || part.xref >= part.file.Size())
    return fail(path + ": kein Querverweis gefunden");

  // "xref", then sections "first count" of 20-byte entries, then "trailer".
  std::string text;
  if (!part.file.Read(part.xref, std::min<long long>(part.file.Size() - part.xref, 64), text) ||
      text.compare(0, 4, "xref") != 0)
    return fail(path + ": Querverweis unlesbar");
  long long pos = part.xref + 4;
  std::vector<long long> offsets;  // by number; 0 when not in use
  for (;;) {
    if (!part.file.Read(pos, std::min<long long>(part.file.Size() - pos, 64), text))
      return fail(path + ": Querverweis unlesbar");
    i = 0;
    SkipSpace(text, i);
    long long first = 0, count = 0;
    if (text.compare(i, 7, "trailer") == 0) {
      pos += static_cast<long long>(i) + 7;
      break;
    }
    if (!ReadInt(text, i, first)) return fail(path + ": Querverweis unlesbar");
    SkipSpace(text, i);
    if (!ReadInt(text, i, count)) return fail(path + ": Querverweis unlesbar");
    while (i < text.size() && (text[i] == ' ' || text[i] == '\r')) ++i;
    if (i >= text.size() || text[i] != '\n') return fail(path + ": Querverweis unlesbar");
    pos += static_cast<long long>(i) + 1;
    std::string entries;
    if (!part.file.Read(pos, count * 20, entries)) return fail(path + ": Querverweis unlesbar");
    if (first + count > (1LL << 26)) return fail(path + ": Querverweis unlesbar");
    if (static_cast<long long>(offsets.size()) < first + count) offsets.resize(static_cast<std::size_t>(first + count), 0);
    for (long long k = 0; k < count; ++k) {
      std::string_view entry(entries.data() + k * 20, 20);
      if (entry[17] != 'n') continue;
      if (entry.substr(11, 5) != "00000") return fail(path + ": Objekte anderer Generation");
      long long offset = std::strtoll(std::string(entry.substr(0, 10)).c_str(), nullptr, 10);
      if (offset <= 0 || offset >= part.xref) return fail(path + ": Querverweis unlesbar");
      offsets[static_cast<std::size_t>(first + k)] = offset;
      part.objects.emplace_back(offset, first + k);
    }
    pos += count * 20;
  }
  std::sort(part.objects.begin(), part.objects.end());
  for (std::size_t k = 1; k < part.objects.size(); ++k)
    if (part.objects[k].first == part.objects[k - 1].first) return fail(path + ": Querverweis unlesbar");
  std::size_t end = 0;
  if (!part.file.Read(pos, part.file.Size() - pos, text) ||
      (end = text.find("startxref")) == std::string::npos)
    return fail(path + ": Trailer unlesbar");
  part.trailer = text.substr(0, end);
  std::size_t sizeAt = part.trailer.find("/Size");
  i = sizeAt == std::string::npos ? 0 : sizeAt + 5;
  SkipSpace(part.trailer, i);
  part.root = RefAfter(part.trailer, "/Root");
  part.info = RefAfter(part.trailer, "/Info");
  if (sizeAt == std::string::npos || !ReadInt(part.trailer, i, part.size) || part.root < 0 ||
      part.objects.empty() || part.size > static_cast<long long>(offsets.size()) + 1)
    return fail(path + ": Trailer unlesbar");
  if (!part.file.Read(0, part.objects.begin()->first, part.header)) return fail(path + ": unlesbar");

  std::string root;
  if (!ReadObjectNumbered(part, offsets, part.root, root) ||
      (part.pages = RefAfter(root, "/Pages")) < 0 ||
      !ReadObjectNumbered(part, offsets, part.pages, part.pagesObject))
    return fail(path + ": Seitenbaum nicht gefunden");
  std::size_t kids = part.pagesObject.find("/Kids");
  std::size_t open = part.pagesObject.find('[', kids);
  std::size_t close = part.pagesObject.find(']', open);
  if (kids == std::string::npos || open == std::string::npos || close == std::string::npos)
    return fail(path + ": Seitenbaum unlesbar");
  std::string_view list(part.pagesObject.data() + open + 1, close - open - 1);
  for (i = 0;;) {
    long long number = 0, generation = 0;
    SkipSpace(list, i);
    if (i >= list.size()) break;
    if (!ReadRef(list, i, number, generation)) return fail(path + ": Seitenbaum unlesbar");
    part.kids.push_back(number);
  }
  // A flat tree counts its leaves among its kids.
  long long count = 0;
  std::size_t countAt = part.pagesObject.find("/Count");
  i = countAt == std::string::npos ? 0 : countAt + 6;
  SkipSpace(part.pagesObject, i);
  if (countAt == std::string::npos || !ReadInt(part.pagesObject, i, count) ||
      count != static_cast<long long>(part.kids.size()))
    return fail(path + ": Seitenbaum nicht flach");
  return true;
}

// Copies `in` (an object without its "n g obj" line) to `out` with every
// reference "n 0 R" renumbered by `map`; from the keyword "stream" on the
// bytes are copied as they are. False on a reference `map` refuses.
template <typename Map>
bool Renumber(std::string_view in, const Map& map, std::string& out) {
  std::size_t i = 0;
  auto copyTo = [&](std::size_t j) {
    out.append(in.data() + i, j - i);
    i = j;
  };
  while (i < in.size()) {
    char c = in[i];
    if (c == '(') {  // a string, with nested brackets and escapes
      std::size_t j = i + 1;
      int depth = 1;
      while (j < in.size() && depth > 0) {
        if (in[j] == '\\') ++j;
        else if (in[j] == '(') ++depth;
        else if (in[j] == ')') --depth;
        ++j;
      }
      copyTo(std::min(j, in.size()));
    } else if (c == '<' && i + 1 < in.size() && in[i + 1] == '<') {  // a dictionary
      copyTo(i + 2);
    } else if (c == '<') {  // a hex string
      std::size_t j = in.find('>', i);
      copyTo(j == std::string_view::npos ? in.size() : j + 1);
    } else if (c == '%') {
      std::size_t j = in.find_first_of("\r\n", i);
      copyTo(j == std::string_view::npos ? in.size() : j);
    } else if (c == '/') {
      std::size_t j = i + 1;
      while (j < in.size() && !IsSpace(in[j]) && !IsDelimiter(in[j])) ++j;
      copyTo(j);
    } else if (IsDigit(c) && (i == 0 || IsSpace(in[i - 1]) || IsDelimiter(in[i - 1]))) {
      std::size_t j = i;
      long long number = 0, generation = 0;
      if (!ReadRef(in, j, number, generation)) {
        while (j < in.size() && IsDigit(in[j])) ++j;
        copyTo(j);
        continue;
      }
      long long to = generation == 0 ? map(number) : 0;
      if (to <= 0) return false;
      out += std::to_string(to);
      out += " 0 R";
      i = j;
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      std::size_t j = i;
      while (j < in.size() && !IsSpace(in[j]) && !IsDelimiter(in[j])) ++j;
      if (in.substr(i, j - i) == "stream") {
        copyTo(in.size());
        break;
      }
      copyTo(j);
    } else {
      copyTo(i + 1);
    }
  }
  return true;
}

// The object's body after its "n g obj" line; npos when it has none.
std::size_t BodyStart(std::string_view object, long long number) {
  std::size_t i = 0;
  long long n = 0, g = 0;
  SkipSpace(object, i);
  if (!ReadInt(object, i, n) || n != number) return std::string_view::npos;
  SkipSpace(object, i);
  if (!ReadInt(object, i, g)) return std::string_view::npos;
  SkipSpace(object, i);
  if (object.substr(i, 3) != "obj") return std::string_view::npos;
  return i + 3;
}

// A number in a dictionary after `key`, replaced by `value`.
bool ReplaceNumber(std::string& dict, std::string_view key, long long value) {
  std::size_t at = dict.find(key);
  if (at == std::string::npos) return false;
  std::size_t i = at + key.size();
  SkipSpace(dict, i);
  std::size_t from = i;
  long long old = 0;
  if (!ReadInt(dict, i, old)) return false;
  dict.replace(from, i - from, std::to_string(value));
  return true;
}

class Output {
 public:
  bool Open(const std::string& target) {
    path_ = target + ".XXXXXX";
    int fd = ::mkstemp(path_.data());
    if (fd < 0) {
      path_.clear();
      return false;
    }
    ::fchmod(fd, 0644);
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
      ::close(fd);
      return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    return true;
  }
  ~Output() {
    if (file_) std::fclose(file_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  void Write(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
    offset_ += static_cast<long long>(text.size());
  }
  long long Offset() const { return offset_; }
  // Closes the file and puts it in the target's place.
  bool Commit(const std::string& target) {
    bool ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok || std::rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  long long offset_ = 0;
};

}  // namespace

bool JoinPdfParts(const std::vector<std::string>& paths, const std::vector<PdfPageSpan>& spans,
                  const std::string& output, std::string* error) {
  Failure fail{error};
  if (paths.empty()) return fail("keine Teile");
  std::vector<std::unique_ptr<Part>> parts;
  for (const std::string& path : paths) {
    parts.push_back(std::make_unique<Part>());
    if (!ReadPart(path, *parts.back(), fail)) return false;
  }

  // The order of the pages must use up every part exactly.
  std::vector<long long> order;  // (part, kid) packed as part * 2^40 + kid index
  {
    std::vector<std::size_t> taken(parts.size(), 0);
    for (const PdfPageSpan& span : spans) {
      if (span.part < 0 || span.part >= static_cast<int>(parts.size()) || span.pages < 0)
        return fail("Seitenfolge ungültig");
      std::size_t& t = taken[static_cast<std::size_t>(span.part)];
      if (t + static_cast<std::size_t>(span.pages) > parts[static_cast<std::size_t>(span.part)]->kids.size())
        return fail("Seitenfolge passt nicht zu den Teilen");
      t += static_cast<std::size_t>(span.pages);
    }
    for (std::size_t p = 0; p < parts.size(); ++p)
      if (taken[p] != parts[p]->kids.size()) return fail("Seitenfolge passt nicht zu den Teilen");
  }

  // New numbers: the first part keeps its own; the others follow, without
  // their catalogue, information and page tree, which are the first part's.
  Part& first = *parts[0];
  long long next = first.size;
  first.renumbered.assign(static_cast<std::size_t>(first.size), 0);
  for (const auto& [offset, number] : first.objects) {
    if (number >= first.size) return fail(paths[0] + ": Querverweis unlesbar");
    first.renumbered[static_cast<std::size_t>(number)] = number;
  }
  for (std::size_t p = 1; p < parts.size(); ++p) {
    Part& part = *parts[p];
    part.renumbered.assign(static_cast<std::size_t>(std::max(part.size, 1LL)), 0);
    for (const auto& [offset, number] : part.objects) {
      if (number >= part.size) return fail(paths[p] + ": Querverweis unlesbar");
      if (number == part.root || number == part.info) continue;
      part.renumbered[static_cast<std::size_t>(number)] =
          number == part.pages ? first.pages : next++;
    }
  }

  Output out;
  if (!out.Open(output)) return fail(output + ": kann nicht geschrieben werden");
  std::vector<long long> offsets(static_cast<std::size_t>(next), 0);
  out.Write(first.header);
  std::string object, copy;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    Part& part = *parts[p];
    auto map = [&part](long long number) {
      return number > 0 && number < static_cast<long long>(part.renumbered.size())
                 ? part.renumbered[static_cast<std::size_t>(number)]
                 : 0;
    };
    for (const auto& [offset, number] : part.objects) {
      long long to = part.renumbered[static_cast<std::size_t>(number)];
      if (to == 0 || number == part.pages) continue;
      if (!ReadObject(part, offset, object)) return fail(paths[p] + ": unlesbar");
      std::size_t body = BodyStart(object, number);
      copy = std::to_string(to) + " 0 obj";
      if (body == std::string::npos || !Renumber(std::string_view(object).substr(body), map, copy))
        return fail(paths[p] + ": Objekt " + std::to_string(number) + " unlesbar");
      offsets[static_cast<std::size_t>(to)] = out.Offset();
      out.Write(copy);
    }
  }

  // The first part's page tree with every page in the joined order.
  std::string kids = "\n";
  long long pages = 0;
  for (const PdfPageSpan& span : spans) {
    Part& part = *parts[static_cast<std::size_t>(span.part)];
    for (int k = 0; k < span.pages; ++k) {
      long long kid = part.kids[part.nextKid++];
      long long to = kid > 0 && kid < static_cast<long long>(part.renumbered.size())
                         ? part.renumbered[static_cast<std::size_t>(kid)]
                         : 0;
      if (to <= 0) return fail(paths[static_cast<std::size_t>(span.part)] + ": Seitenbaum unlesbar");
      kids += std::to_string(to) + " 0 R\n";
      ++pages;
    }
  }
  std::string tree = first.pagesObject;
  std::size_t open = tree.find('[', tree.find("/Kids"));
  std::size_t close = tree.find(']', open);
  tree.replace(open + 1, close - open - 1, kids);
  if (!ReplaceNumber(tree, "/Count", pages))
    return fail(paths[0] + ": Seitenbaum unlesbar");
  offsets[static_cast<std::size_t>(first.pages)] = out.Offset();
  out.Write(tree);

  long long xref = out.Offset();
  std::string table = "xref\n0 " + std::to_string(next) + "\n0000000000 65535 f \n";
  char entry[32];
  for (long long n = 1; n < next; ++n) {
    long long at = offsets[static_cast<std::size_t>(n)];
    std::snprintf(entry, sizeof entry, at > 0 ? "%010lld 00000 n \n" : "%010lld 65535 f \n", at);
    table += entry;
  }
  std::string trailer = first.trailer;
  if (!ReplaceNumber(trailer, "/Size", next)) return fail(paths[0] + ": Trailer unlesbar");
  out.Write(table);
  out.Write("trailer" + trailer);
  out.Write("startxref\n" + std::to_string(xref) + "\n%%EOF\n");
  if (!out.Commit(output)) return fail(output + ": kann nicht geschrieben werden");
  return true;
}

}  // namespace talvera
