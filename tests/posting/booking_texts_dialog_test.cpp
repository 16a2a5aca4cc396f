// The administration dialogs of booking texts and templates, driven by
// their control ids.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <memory>

#include "core/layouts/create_file.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "posting/booking_texts_dialog.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

namespace talvera::testing {
namespace {

class BookingTextsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    SetFiscalYears("2026", "");
    std::filesystem::create_directories(YearDirectory("2026"));
    for (const char* file : {"butext", "buscha"}) ASSERT_TRUE(layouts::CreateFile(YearDirectory("2026"), file));
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }
  static QStringList Lines(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  static void Press(TalviDialog& d, int id) { qobject_cast<QPushButton*>(d.Control(id))->click(); }

  TempSettingsDir settings_;
  TempDir data_;
  MessageRecorder messages_;
};

TEST_F(BookingTextsDialogTest, TextsAddedOnceTakenBackForCorrection) {
  using namespace buctext;
  BookingTextsDialog dialog(nullptr);
  QListWidget* list = dialog.List(kList);
  ASSERT_EQ(list->count(), 13);
  EXPECT_EQ(list->item(0)->text(), "Ausgangsrechnung");

  Press(dialog, kOk);  // empty field
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{2});
  dialog.SetFieldText(kText, "Telefon");
  Press(dialog, kOk);
  EXPECT_EQ(list->count(), 13) << "an existing text is only selected";
  EXPECT_EQ(list->currentItem()->text(), "Telefon");

  dialog.SetFieldText(kText, "Porto");
  Press(dialog, kOk);
  ASSERT_EQ(list->count(), 14);
  EXPECT_EQ(list->currentItem()->text(), "Porto");
  EXPECT_TRUE(Lines(list).indexOf("Porto") < Lines(list).indexOf("Postwertzeichen"));

  Press(dialog, kTakeBack);
  EXPECT_EQ(dialog.FieldText(kText), "Porto");
  EXPECT_EQ(list->count(), 13);
  BookingTextsDialog reopened(nullptr);
  EXPECT_FALSE(Lines(reopened.List(kList)).contains("Porto")) << "deleted from the file";

  list->clearSelection();
  messages_.Clear();
  Press(dialog, kTakeBack);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{2});
}

TEST_F(BookingTextsDialogTest, TemplatesByName) {
  using namespace bucscha;
  BookingTemplatesDialog dialog(nullptr);
  ASSERT_TRUE(dialog.filled());
  ASSERT_EQ(dialog.List(kList)->count(), 7);

  dialog.SetFieldText(kName, "Barverkauf");
  dialog.NameTyped();
  EXPECT_EQ(dialog.FieldText(kDebit), "Kasse");
  EXPECT_EQ(dialog.FieldText(kCredit), "Erl.vo");
  EXPECT_FALSE(dialog.Control(kNew)->isEnabled());
  EXPECT_TRUE(dialog.Control(kChange)->isEnabled());

  dialog.SetFieldText(kName, "Miete");
  dialog.NameTyped();
  EXPECT_EQ(dialog.FieldText(kDebit), "");
  EXPECT_TRUE(dialog.Control(kNew)->isEnabled());
  EXPECT_FALSE(dialog.Control(kDelete)->isEnabled());
  dialog.SetFieldText(kDebit, "4210");
  dialog.SetFieldText(kCredit, "Bank");
  dialog.SetFieldText(kText, "Miete");
  Press(dialog, kNew);
  ASSERT_EQ(dialog.List(kList)->count(), 8);
  EXPECT_EQ(dialog.List(kList)->currentItem()->text(), "Miete");

  dialog.SetFieldText(kDocumentNumber, "MI-1");
  Press(dialog, kChange);
  BookingTemplate stored;
  bool found = false;
  ASSERT_TRUE(FindTemplate("Miete", stored, found) && found);
  EXPECT_EQ(stored.documentNumber, "MI-1");
  EXPECT_EQ(stored.credit, "Bank");

  Press(dialog, kDelete);
  EXPECT_EQ(dialog.List(kList)->count(), 7);
  EXPECT_EQ(dialog.FieldText(kName), "");
  ASSERT_TRUE(FindTemplate("Miete", stored, found));
  EXPECT_FALSE(found);
}

TEST_F(BookingTextsDialogTest, GallerySamplesNeedNoFiles) {
  CloseAll();
  recman::Shutdown();
  SetDataRoot(data_.path() + "/nowhere");
  std::unique_ptr<QDialog> texts(BookingTextsSample(nullptr));
  EXPECT_EQ(static_cast<TalviDialog*>(texts.get())->List(buctext::kList)->count(), 13);
  std::unique_ptr<QDialog> templates(BookingTemplatesSample(nullptr));
  EXPECT_EQ(static_cast<TalviDialog*>(templates.get())->FieldText(bucscha::kName), "Ausgangsrechnung");
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace talvera::testing
