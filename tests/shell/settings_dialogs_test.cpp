#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include <fstream>
#include <sstream>

#include "core/message_recorder.h"
#include "core/profile.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "shell/settings_dialogs.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(TalviIniPath()) << "[TALVI]\nPfad=/daten\n";
    ReadSettings();
    SetMandantNumber(1);
    ReadMandantSettings(1);
  }
  void TearDown() override { SetMandantNumber(1); }
  static std::string Ini() {
    std::ifstream in(TalviIniPath());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  talvera::testing::TempSettingsDir dir_;
  MessageRecorder messages_;
};

TEST_F(SettingsDialogTest, EinstRefusesABadTravelRateAndFocusesIt) {
  EinstDialog dialog(nullptr);
  dialog.Edit(einst::kReise2)->setText("100,00");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].number, 15);
  EXPECT_EQ(messages_.focused, std::vector<int>{einst::kReise2});
  EXPECT_EQ(Ini(), "[TALVI]\nPfad=/daten\n");  // nothing written
}

TEST_F(SettingsDialogTest, EinstWritesItsKeys) {
  int requested = 0;
  EinstDialog dialog(nullptr, [&](int command) { requested = command; });
  dialog.Edit(einst::kWaehrung)->setText("EUR");
  dialog.SetChecked(einst::kAustria, true);
  dialog.SetChecked(einst::kSortKontoNr, true);
  dialog.Edit(einst::kReise1)->setText("7");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  // Austrian rules without an import-VAT account: message 402 offers its dialog.
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{402});
  EXPECT_EQ(requested, kCommandImportVatAccount);
  EXPECT_EQ(Ini(),
            "[TALVI]\nPfad=/daten\nLand=\nWaehrung=EUR\nSFrage=\nAustria=J\nDatev-OBE=\n"
            "SortKnr=J\nOhneKomma=\nTextverarbeitung=WRITE\nSetzeJahr=\nToggle=\nLeerListe=\n"
            "Reise1=07,00\nReise2=00,00\nReise3=00,00\nReise4=00,00\n");
  EXPECT_TRUE(CurrentSettings().austria);
  EXPECT_EQ(CurrentSettings().reise[0], "07,00");
}

TEST_F(SettingsDialogTest, EinstBuchChecksDaysAndLockDate) {
  SetMandantNumber(3);
  EinstBuchDialog dialog(nullptr);
  dialog.Edit(einstbuch::kMahn2)->setText("1a");
  dialog.accept();
  dialog.Edit(einstbuch::kMahn2)->setText("21");
  dialog.Edit(einstbuch::kBuchungssperre)->setText("32.01.2026");
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{3, 6}));
  EXPECT_EQ(messages_.focused, (std::vector<int>{einstbuch::kMahn2, einstbuch::kBuchungssperre}));

  dialog.Edit(einstbuch::kBuchungssperre)->setText("01.03.2026");
  dialog.SetChecked(einstbuch::kOpDebitoren, true);
  dialog.SetChecked(einstbuch::kOpKreditoren, true);
  dialog.SetChecked(einstbuch::kLastschriften, true);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("Buchungssperre2"), "010346");
  EXPECT_EQ(ReadSetting("Buchungssperre"), "");
  EXPECT_EQ(ReadSetting("OP_Kartei"), "12");
  EXPECT_EQ(ReadSetting("Mahn2"), "21");
  EXPECT_EQ(ReadSetting("Export"), "2");
  EXPECT_EQ(CurrentMandantSettings().buchungssperre, "010346");
}

TEST_F(SettingsDialogTest, BsSchriftChecksFaceAndSize) {
  bool rebuilt = false;
  BsSchriftDialog dialog(nullptr, [&] { rebuilt = true; });
  QComboBox* face = dialog.Combo(bsschrift::kFace);
  QComboBox* size = dialog.Combo(bsschrift::kSize);
  ASSERT_GT(face->count(), 0) << "no fonts on this machine";
  face->setCurrentText("");
  dialog.accept();
  face->setCurrentText("Keine Schrift Dieses Namens");
  dialog.accept();
  face->setCurrentIndex(0);
  size->setCurrentText("999");
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{5, 37, 38}));
  EXPECT_FALSE(rebuilt);

  size->setCurrentIndex(0);
  dialog.accept();
  EXPECT_TRUE(rebuilt);
  EXPECT_EQ(ReadSetting("Font"), face->itemText(0).toStdString());
  EXPECT_EQ(ReadSetting("Fontgr"), size->itemText(0).toStdString());
}

}  // namespace
