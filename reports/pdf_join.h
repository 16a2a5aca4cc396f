// Putting PDF documents painted side by side together into one, for a run
// of reports whose pages were painted by two threads into two documents.
//
// Only documents as the printing writes them are understood: one
// cross-reference table, every object of generation 0, one flat page tree.
// The objects are copied as they are, renumbered; streams are not touched.
#pragma once

#include <string>
#include <vector>

namespace talvera {

// The next `pages` pages of document `part`.
struct PdfPageSpan {
  int part = 0;
  int pages = 0;
};

// Writes the pages of `parts` into `output` in the order of `spans`; the
// first part gives the document its catalogue, information and header.
// `output` is replaced only once the joined document is complete, so it
// may be one of the parts. False, with `error` set and `output` as it was,
// when a part cannot be read or understood, the spans do not take every
// page of every part exactly, or the result cannot be written.
bool JoinPdfParts(const std::vector<std::string>& parts, const std::vector<PdfPageSpan>& spans,
                  const std::string& output, std::string* error = nullptr);

}  // namespace talvera
