// The help window: HTML topics in the help directory, one file per help
// context ("3095.html"), plus contents.html, index.html and hilfe.html (how
// to use the help). The window stays open beside the program until Quit.
//
// The help directory is "help" beside the program's executable when it
// holds contents.html (the installed layout); otherwise, in a development
// build, resources/help of the source tree.
#pragma once

#include <QString>
#include <QWidget>


class QTextBrowser;

namespace talvera {

class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  // An empty directory means HelpDirectory(). With a parent the viewer is
  // still a window of its own.
  explicit HelpViewer(QString directory = {}, QWidget* parent = nullptr);

  static QString HelpDirectory();

  void ShowContents();
  void ShowIndex();
  // The topic of a help context; context 0 (or less) and contexts without
  // a topic show the contents.
  void ShowTopic(long context);
  void ShowHelpOnHelp();
  // Closes the window.
  void Quit();

  // File name of the topic shown ("3095.html"), empty when none.
  QString CurrentTopic() const;

 private:
  // false when the file does not exist.
  bool Open(const QString& fileName);
  void Present();

  QString directory_;
  QTextBrowser* browser_;
  QString current_;
};

}  // namespace talvera
