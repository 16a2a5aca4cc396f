#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>

#include "core/layouts/create_file.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "posting/batch_headers.h"
#include "posting/select_batch.h"
#include "recman/recman.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

class SelectBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    SetFiscalYears("1996", "");
    std::filesystem::create_directories(YearDirectory("1996"));
    ASSERT_TRUE(layouts::CreateFile(YearDirectory("1996"), "stapel"));
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }
  static int RowOf(QListWidget* list, int batch) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->data(Qt::UserRole).toInt() == batch) return i;
    return -1;
  }
  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
  MessageRecorder messages_;
};

TEST_F(SelectBatchTest, PickAddAndCancel) {
  SelectBatchDialog dialog(nullptr);
  QListWidget* list = dialog.List(stapelwahl::kList);
  ASSERT_EQ(list->count(), 2);  // the two batches of a new file
  EXPECT_TRUE(list->item(1)->text().endsWith("Standardstapel"));

  // OK without a choice is refused.
  dialog.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{1});
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  // Pick.
  list->setCurrentRow(RowOf(list, 16));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.chosenBatch(), 16);

  // Add: an empty name is refused, a named one is written and selected.
  SelectBatchDialog again(nullptr);
  messages_.Clear();
  qobject_cast<QPushButton*>(again.Control(stapelwahl::kAdd))->click();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{2});
  again.Edit(stapelwahl::kNewName)->setText("Kasse März");
  qobject_cast<QPushButton*>(again.Control(stapelwahl::kAdd))->click();
  // A recurring batch is marked in the list.
  again.Edit(stapelwahl::kNewName)->setText("Miete");
  again.SetChecked(stapelwahl::kRecurring, true);
  qobject_cast<QPushButton*>(again.Control(stapelwahl::kAdd))->click();
  EXPECT_TRUE(again.List(stapelwahl::kList)->currentItem()->text().endsWith("Miete [W]"));
  again.accept();
  EXPECT_EQ(again.chosenBatch(), 18);
  std::vector<BatchHeader> batches;
  ASSERT_TRUE(ListBatches(batches));
  ASSERT_EQ(batches.size(), 4u);
  EXPECT_EQ(batches[2].name, "Kasse März");
  EXPECT_FALSE(batches[2].recurring);
  EXPECT_TRUE(batches[3].recurring);

  // Cancel returns no batch.
  SelectBatchDialog cancelled(nullptr);
  cancelled.reject();
  EXPECT_EQ(cancelled.chosenBatch(), 0);
}

}  // namespace
