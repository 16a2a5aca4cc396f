// Account numbers and the small text and path helpers used all over.
#pragma once

#include <cstddef>
#include <string>

namespace talvera {

// Seven characters, right-aligned with blanks, and a NUL: "   1400".
// Text order of two account numbers is their numeric order.
constexpr int kAccountNoWidth = 7;
using AccountNo = char[kAccountNoWidth + 1];
inline constexpr char kCarryForwardAccount[] = "   9000";

// What looking an account number up found; also bit flags for a choice of kinds.
enum AccountKind : int { kNoAccount = 0, kSachkonto = 2, kKreditor = 4, kDebitor = 8 };

// Right-aligns text in place to `width` with blanks / zeros (the buffer must
// hold width + 1 bytes); a longer text stays as it is.
void PadLeft(char* text, int width);
void PadLeftZero(char* text, int width);
// Leading blanks skipped, the rest digits only (an empty rest counts).
bool IsDigitsOnly(const char* text);

void TrimLeft(char* text);       // leading blanks
void TrimLeftTabs(char* text);   // leading blanks and tabs
void TrimRight(char* text);      // trailing blanks
void HalfTrimLeft(char* text);   // half of the leading blanks (list-box texts)
void CutAtTab(char* text);       // ends the text at its first tab
// Copies at most n - 1 characters and terminates (n > 0).
void CopyLimited(char* dst, const char* src, std::size_t n);

// Ends a directory path with the separator ('/').
void EnsureTrailingBackslash(std::string& path);
// Creates every missing directory along the path.
bool MakeDirectories(const std::string& path);
// Free space in KB of the file system that holds path; 10000 when it cannot be told.
long long FreeDiskKilobytes(const std::string& path);

}  // namespace talvera
