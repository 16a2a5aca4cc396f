#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>

#include "widgets/translations.h"

using namespace talvera;

namespace {

// Qt's own words on the screen were English: "Yes"/"No" in message boxes,
// "Ctrl+M" and "Ins" in the menus.
TEST(Translations, QtSpeaksGerman) {
  ASSERT_TRUE(InstallGermanTranslations()) << "qtbase_de.qm is not installed (scripts/deps.sh)";
  QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
  EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text().remove('&'), "Ja");
  EXPECT_EQ(box.button(QDialogButtonBox::No)->text().remove('&'), "Nein");
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'), "Abbrechen");
  struct Case {
    const char* key;
    const char* shown;
  };
  for (Case c : {Case{"Ctrl+M", "Strg+M"}, Case{"Ins", "Einfg"}, Case{"Del", "Entf"}})
    EXPECT_EQ(QKeySequence(c.key).toString(QKeySequence::NativeText), c.shown) << c.key;
}

}  // namespace
