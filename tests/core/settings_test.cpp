#include <gtest/gtest.h>

#include <fstream>

#include "core/profile.h"
#include "core/settings.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void Ini(const std::string& text) { std::ofstream(TalviIniPath()) << text; }
  void WinIni(const std::string& text) { std::ofstream(WinIniPath()) << text; }
  talvera::testing::TempSettingsDir dir_;
};

TEST_F(SettingsTest, DefaultsWhenNothingIsSet) {
  ReadSettings();
  const Settings& s = CurrentSettings();
  EXPECT_EQ(s.mandant, 1);
  EXPECT_EQ(s.waehrung, "EUR");  // a new installation keeps its books in euro
  EXPECT_EQ(s.textverarbeitung, "WRITE");
  EXPECT_EQ(s.mahn2, 14);
  EXPECT_EQ(s.mahn3, 14);
  EXPECT_EQ(s.reise[3], "0,00");
  EXPECT_EQ(s.grafikfarben, 2314);
  EXPECT_EQ(s.true3D, "0,0,0,0");
  EXPECT_EQ(s.abrNr, 1);
  EXPECT_EQ(s.sDecimal, ",");
  EXPECT_FALSE(s.incBelnr);
  EXPECT_FALSE(s.transAus);
}

TEST_F(SettingsTest, FlagsNumbersAndSpecialRules) {
  Ini("[TALVI]\nIncBelnr=J\nKG=ja\nLassen=\nExport=J\nOP_Kartei=12\nMahn2=21\n"
      "Fontgr=12\nSakoÜberw=J\nWaehrung=EUR\n");
  WinIni("[intl]\nsCurrency=ATS\nsDecimal=.\n[WINISAM]\nTRANSAUS=JA\n");
  ReadSettings();
  const Settings& s = CurrentSettings();
  EXPECT_TRUE(s.incBelnr);
  EXPECT_TRUE(s.kg);  // any non-empty value is on
  EXPECT_FALSE(s.lassen);
  EXPECT_EQ(s.exportKind, 3);  // "J" means both kinds
  EXPECT_EQ(s.opKartei, 12);
  EXPECT_EQ(s.mahn2, 21);
  EXPECT_EQ(s.fontgr, 1);  // without "Font" the size is ignored
  EXPECT_TRUE(s.sakoUeberw);
  EXPECT_EQ(s.waehrung, "EUR");
  EXPECT_EQ(s.sDecimal, ".");
  EXPECT_TRUE(s.transAus);

  Ini("[TALVI]\nFont=Courier\nFontgr=12\nExport=2\n");
  WinIni("[intl]\nsCurrency=ATS\n");
  ReadSettings();
  EXPECT_EQ(CurrentSettings().fontgr, 12);
  EXPECT_EQ(CurrentSettings().exportKind, 2);
  EXPECT_EQ(CurrentSettings().waehrung, "ATS");  // the currency of WIN.INI is the default
}

TEST_F(SettingsTest, MandantKeysCarryTheSuffix) {
  Ini("[TALVI]\nBelnr=1\nBelnr2=R-77\nEUST2=   1588\nBuchungssperre2=010117\nAb02=   4730\n");
  ReadMandantSettings(3);
  const MandantSettings& m = CurrentMandantSettings();
  EXPECT_EQ(m.belnr, "R-77");
  EXPECT_EQ(m.eust, "   1588");
  EXPECT_EQ(m.buchungssperre, "010117");
  EXPECT_EQ(m.ab[0], "   4730");
  ReadMandantSettings(1);
  EXPECT_EQ(CurrentMandantSettings().belnr, "1");
  EXPECT_EQ(MandantKey("Belnr", 2), "Belnr1");

  CopyMandantSetting("EUST", 3, 5);
  EXPECT_EQ(ReadSetting("EUST4"), "1588");
}

TEST_F(SettingsTest, ReportFontsAndNumbers) {
  WriteReportFont("Kontenplan", "Courier New", 10);
  ReportFont f = ReadReportFont("Kontenplan");
  EXPECT_EQ(f.face, "Courier New");
  EXPECT_EQ(f.size, 10);
  EXPECT_EQ(ReadSetting("Kontenplangr"), "10");
  WriteReportFont("Kontenplan", "", 0);
  EXPECT_EQ(ReadReportFont("Kontenplan").size, 0);
  WriteNumberSetting("AbrNr", 7);
  EXPECT_EQ(ReadSetting("AbrNr"), "7");
  WriteFlagSetting("SFrage", true);
  EXPECT_EQ(ReadSetting("SFrage"), "J");
  WriteFlagSetting("SFrage", false);
  EXPECT_FALSE(ReadFlagSetting("SFrage"));
}

}  // namespace
