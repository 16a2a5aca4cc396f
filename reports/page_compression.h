// How hard the page contents of PDF files painted by the page threads are
// compressed.
//
// Qt's PDF engine compresses the content of every page with zlib at the
// library's default level, which cannot be chosen. For account sheets of a
// year (tens of thousands of pages of text) that compression takes as long
// as everything else of the painting together. Printed on a page thread,
// while a FastPageCompression lives there, the pages are compressed at
// zlib's fastest level instead: three times as fast, the file a quarter
// to a third larger (still a twentieth of the uncompressed text).
// Everything else compressed in the program keeps its level.
#pragma once

namespace talvera {

class FastPageCompression {
 public:
  FastPageCompression();
  ~FastPageCompression();
  FastPageCompression(const FastPageCompression&) = delete;
  FastPageCompression& operator=(const FastPageCompression&) = delete;
};

}  // namespace talvera
