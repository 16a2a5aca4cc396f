#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "shell/help_viewer.h"
#include "support/temp_dir.h"

namespace talvera {
namespace {

const QString kHelpDir = QStringLiteral(TALVERA_HELP_DIR);

TEST(HelpViewer, ShowsTheTopicOfAContextOrElseTheContents) {
  HelpViewer help(kHelpDir);
  struct Case {
    void (*show)(HelpViewer&);
    const char* topic;
  } cases[] = {
      {[](HelpViewer& h) { h.ShowTopic(3095); }, "3095.html"},
      {[](HelpViewer& h) { h.ShowTopic(3013); }, "3013.html"},
      {[](HelpViewer& h) { h.ShowTopic(3); }, "contents.html"},
      {[](HelpViewer& h) { h.ShowTopic(3097); }, "3097.html"},
      {[](HelpViewer& h) { h.ShowTopic(0); }, "contents.html"},
      {[](HelpViewer& h) { h.ShowIndex(); }, "index.html"},
      {[](HelpViewer& h) { h.ShowHelpOnHelp(); }, "hilfe.html"},
      {[](HelpViewer& h) { h.ShowContents(); }, "contents.html"},
  };
  for (const Case& c : cases) {
    c.show(help);
    EXPECT_EQ(help.CurrentTopic().toStdString(), c.topic);
    EXPECT_TRUE(help.isVisible());
  }
  help.Quit();
  EXPECT_FALSE(help.isVisible());
}

// F1 in a modal dialog opened the help behind it, blocked until the dialog closed.
TEST(HelpViewer, HelpAskedInAModalDialogIsShownAboveIt) {
  HelpViewer help(kHelpDir);
  QDialog dialog;
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  help.ShowTopic(3095);
  EXPECT_TRUE(help.isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), &help);
  help.close();
  dialog.close();
  help.ShowTopic(3095);  // from the frame again: beside it, not modal
  EXPECT_EQ(help.windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(HelpViewer, WithoutTopicsTheContentsSayWhereTheHelpIsExpected) {
  testing::TempDir empty;
  HelpViewer help(QString::fromStdString(empty.path()));
  help.ShowTopic(3095);
  EXPECT_TRUE(help.CurrentTopic().isEmpty());
  EXPECT_TRUE(help.isVisible());
}

// Every link of a shipped topic leads to a topic that exists.
TEST(HelpViewer, ShippedTopicsLinkOnlyToExistingTopics) {
  const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
  int topics = 0;
  for (QDirIterator it(kHelpDir, {QStringLiteral("*.html")}); it.hasNext();) {
    QFile file(it.next());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ++topics;
    QString text = QString::fromUtf8(file.readAll());
    for (auto m = link.globalMatch(text); m.hasNext();) {
      QString target = m.next().captured(1);
      EXPECT_TRUE(QFileInfo::exists(QDir(kHelpDir).filePath(target)))
          << file.fileName().toStdString() << " -> " << target.toStdString();
    }
  }
  EXPECT_GE(topics, 3);
}

}  // namespace
}  // namespace talvera
