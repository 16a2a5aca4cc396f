#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/text_helpers.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

template <typename Fn>
std::string Apply(Fn fn, const char* input) {
  char buf[32];
  std::strcpy(buf, input);
  fn(buf);
  return buf;
}

TEST(TextHelpers, PaddingAndTrimming) {
  EXPECT_EQ(Apply([](char* t) { PadLeft(t, 7); }, "1400"), "   1400");
  EXPECT_EQ(Apply([](char* t) { PadLeft(t, 7); }, "12345678"), "12345678");
  EXPECT_EQ(Apply([](char* t) { PadLeftZero(t, 4); }, "7"), "0007");
  EXPECT_EQ(Apply(TrimLeft, "  ab "), "ab ");
  EXPECT_EQ(Apply(TrimLeftTabs, " \t ab"), "ab");
  EXPECT_EQ(Apply(TrimRight, " ab  "), " ab");
  EXPECT_EQ(Apply(HalfTrimLeft, "    ab"), "  ab");
  EXPECT_EQ(Apply(HalfTrimLeft, "   ab"), "  ab");
  EXPECT_EQ(Apply(CutAtTab, "1400\tKasse"), "1400");
  EXPECT_EQ(Apply(CutAtTab, "ohne"), "ohne");
}

TEST(TextHelpers, DigitsOnly) {
  EXPECT_TRUE(IsDigitsOnly("   1400"));
  EXPECT_TRUE(IsDigitsOnly("   "));
  EXPECT_FALSE(IsDigitsOnly(" 14 00"));
  EXPECT_FALSE(IsDigitsOnly("14a"));
}

TEST(TextHelpers, CopyLimited) {
  char dst[8];
  CopyLimited(dst, "Kassenbuch", 5);
  EXPECT_STREQ(dst, "Kass");
  CopyLimited(dst, "ab", 5);
  EXPECT_STREQ(dst, "ab");
}

TEST(TextHelpers, Paths) {
  std::string p = "/data";
  EnsureTrailingBackslash(p);
  EXPECT_EQ(p, "/data/");
  EnsureTrailingBackslash(p);
  EXPECT_EQ(p, "/data/");

  talvera::testing::TempDir dir;
  EXPECT_TRUE(MakeDirectories(dir / "a/b/c"));
  EXPECT_TRUE(MakeDirectories(dir / "a/b/c"));  // already there
  EXPECT_GT(FreeDiskKilobytes(dir.path()), 0);
  EXPECT_EQ(FreeDiskKilobytes(dir / "missing/dir"), 10000);
}

}  // namespace
