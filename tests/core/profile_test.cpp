#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/profile.h"
#include "core/text_helpers.h"
#include "recman/durable_files.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(Profile, ReadsCaseInsensitivelyWithDefaults) {
  talvera::testing::TempDir dir;
  std::string ini = dir / "TALVI.INI";
  WriteAll(ini,
           "; Einstellungen\n[talvi]\nPfad = /daten/DB \nMandant=3\nLeer=\nZitat=\"  a b \"\n"
           "[Andere]\nPfad=falsch\n");
  EXPECT_EQ(ProfileGetString(ini, "TALVI", "PFAD", ""), "/daten/DB");
  EXPECT_EQ(ProfileGetString(ini, "TALVI", "Leer", "x"), "");
  EXPECT_EQ(ProfileGetString(ini, "TALVI", "Fehlt", "vorgabe"), "vorgabe");
  EXPECT_EQ(ProfileGetString(ini, "TALVI", "Zitat", ""), "  a b ");
  EXPECT_EQ(ProfileGetString(dir / "fehlt.ini", "TALVI", "Pfad", "d"), "d");
  EXPECT_EQ(ProfileGetInt(ini, "Talvi", "Mandant", 1), 3);
  EXPECT_EQ(ProfileGetInt(ini, "TALVI", "Fehlt", 14), 14);
  EXPECT_EQ(ProfileGetInt(ini, "TALVI", "Pfad", 14), 0);  // present but not a number
}

TEST(Profile, WritingKeepsEveryOtherLine) {
  talvera::testing::TempDir dir;
  std::string ini = dir / "TALVI.INI";
  WriteAll(ini, "; Kopf\n[TALVI]\nPfad=/db\nMandant=1\n\n[WINISAM]\nTRANSAUS=NEIN\n");

  ASSERT_TRUE(ProfileWriteString(ini, "talvi", "MANDANT", "2"));
  ASSERT_TRUE(ProfileWriteString(ini, "TALVI", "DBFehler", "80"));
  ASSERT_TRUE(ProfileWriteString(ini, "Neu", "Schluessel", "Wert"));
  ASSERT_TRUE(ProfileWriteString(ini, "WINISAM", "TRANSAUS", std::nullopt));
  EXPECT_EQ(ReadAll(ini),
            "; Kopf\n[TALVI]\nPfad=/db\nMANDANT=2\nDBFehler=80\n\n[WINISAM]\n\n[Neu]\n"
            "Schluessel=Wert\n");
}

TEST(Profile, CreatesAMissingFile) {
  talvera::testing::TempDir dir;
  std::string ini = dir / "WIN.INI";
  ASSERT_TRUE(ProfileWriteString(ini, "intl", "sCurrency", "EUR"));
  EXPECT_EQ(ProfileGetString(ini, "INTL", "scurrency", ""), "EUR");
  EXPECT_FALSE(ProfileWriteString(dir / "fehlt/WIN.INI", "intl", "x", "y"));
}

TEST(Profile, SettingsDirectoryFollowsTheEnvironment) {
  ::setenv("TALVERA_WINDIR", "/tmp/win", 1);
  EXPECT_EQ(TalviIniPath(), "/tmp/win/TALVI.INI");
  ::unsetenv("TALVERA_WINDIR");
  ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(SettingsDirectory(), "/tmp/xdg/talvera");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/buchhalter", 1);
  EXPECT_EQ(WinIniPath(), "/home/buchhalter/.config/talvera/WIN.INI");
}

std::vector<std::string>& Synced() {
  static std::vector<std::string> synced;
  return synced;
}

// Cause: the INI writer synced the file and renamed it, and new Mandant
// directories were created, but no directory was synced: a power cut could
// lose the rename or the new directory.
TEST(Profile, WritingAndNewDirectoriesSyncTheirParent) {
  talvera::testing::TempDir dir;
  Synced().clear();
  recman::SetDirectorySyncObserver([](const std::string& d) { Synced().push_back(d); });
  ASSERT_TRUE(ProfileWriteString(dir.path() + "/TALVI.INI", "TALVI", "Mandant", "1"));
  ASSERT_TRUE(MakeDirectories(dir.path() + "/daten/1996"));
  recman::SetDirectorySyncObserver(nullptr);
  std::vector<std::string> expected = {dir.path(), dir.path(), dir.path() + "/daten"};
  std::vector<std::string> synced;
  for (const std::string& d : Synced()) synced.push_back(std::filesystem::path(d).lexically_normal().string());
  for (std::string& d : expected) d = std::filesystem::path(d).lexically_normal().string();
  EXPECT_EQ(synced, expected);
}

}  // namespace

