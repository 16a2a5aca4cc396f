#include "shell/help_viewer.h"

#include <QApplication>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace talvera {
namespace {

const QString kContents = QStringLiteral("contents.html");
const QString kIndex = QStringLiteral("index.html");
const QString kHelpOnHelp = QStringLiteral("hilfe.html");

}  // namespace

HelpViewer::HelpViewer(QString directory, QWidget* parent)
    : QWidget(parent, Qt::Window),
      directory_(directory.isEmpty() ? HelpDirectory() : std::move(directory)) {
  setWindowTitle(QStringLiteral("TALVERA - Hilfe"));
  resize(640, 560);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({directory_});

  auto* contents = new QPushButton(QStringLiteral("&Inhalt"), this);
  auto* index = new QPushButton(QStringLiteral("I&ndex"), this);
  auto* back = new QPushButton(QStringLiteral("&Zurück"), this);
  auto* forward = new QPushButton(QStringLiteral("&Vorwärts"), this);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QPushButton::clicked, this, &HelpViewer::ShowContents);
  connect(index, &QPushButton::clicked, this, &HelpViewer::ShowIndex);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& source) {
    current_ = QFileInfo(source.toLocalFile()).fileName();
    QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("TALVERA - Hilfe")
                                   : QStringLiteral("TALVERA - Hilfe - ") + title);
  });

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {contents, index, back, forward}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
}

QString HelpViewer::HelpDirectory() {
  QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/help");
  if (QFileInfo::exists(installed + QLatin1Char('/') + kContents)) return installed;
#ifdef TALVERA_HELP_SOURCE_DIR
  return QStringLiteral(TALVERA_HELP_SOURCE_DIR);
#else
  return installed;
#endif
}

bool HelpViewer::Open(const QString& fileName) {
  QString path = QDir(directory_).filePath(fileName);
  if (!QFileInfo(path).isFile()) return false;
  browser_->setSource(QUrl::fromLocalFile(path));
  Present();
  return true;
}

// Above a modal dialog the help window must be modal as well: otherwise the
// dialog blocks it, and it waits behind until the dialog is closed.
void HelpViewer::Present() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != this) {
    Qt::WindowModality wanted = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
      hide();
      setWindowModality(wanted);
    }
  }
  show();
  raise();
  activateWindow();
}

void HelpViewer::ShowContents() {
  if (Open(kContents)) return;
  current_.clear();
  browser_->setHtml(QStringLiteral("<p>Die Hilfe ist nicht installiert. Sie wird im Ordner "
                                   "<tt>%1</tt> erwartet.</p>")
                        .arg(directory_.toHtmlEscaped()));
  Present();
}

void HelpViewer::ShowIndex() {
  if (!Open(kIndex)) ShowContents();
}

void HelpViewer::ShowTopic(long context) {
  if (context <= 0 || !Open(QString::number(context) + QStringLiteral(".html"))) ShowContents();
}

void HelpViewer::ShowHelpOnHelp() {
  if (!Open(kHelpOnHelp)) ShowContents();
}

void HelpViewer::Quit() { close(); }

QString HelpViewer::CurrentTopic() const { return current_; }

}  // namespace talvera
