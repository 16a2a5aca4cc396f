// The report window: shows the report buffer in the main frame, scrolled by
// keys, mouse wheel and scroll bars. The frame hands it each evaluation's
// line count (ShowReport); when the evaluation asked for the printer, showing
// means printing.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>

#include <functional>

class QMenu;

namespace talvera {

class ReportWindow : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit ReportWindow(QWidget* parent = nullptr);

  // Shows `lineCount` lines of the report buffer as report `kind`; 0 lines
  // clear the window. With a print request the report is printed instead.
  void ShowReport(int kind, int lineCount);
  void ClearReport();
  // Esc: clears the report unless a print job runs; true when it cleared.
  bool HandleEscape();
  // Builds the report font anew from "Font" / "Fontgr" (after "BSSCHRIFT").
  void RebuildFont();

  int ShownLines() const { return shownLines_; }
  double CharWidth() const { return charWidth_; }
  double LineHeight() const { return lineHeight_; }
  int VisibleRows() const;
  int VisibleColumns() const;
  const QFont& ReportFont() const { return font_; }

 signals:
  // A report is shown (kind > 0) or cleared (kind 0); the frame enables
  // "Kopieren in Zwischenablage" and makes room for the journal's heading.
  void reportShown(int kind);
  // Right mouse button; the frame pops up its menu there (PopUpReportMenu).
  void contextMenuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void UpdateScrollRanges();

  QFont font_;
  double charWidth_ = 8;
  double lineHeight_ = 16;
  int shownLines_ = 0;
};

// Command ids of the report window's menu.
namespace reportmenu {
enum : int {
  kAccountWindowsVisible = 3099,
  kSachkonten = 3091,
  kKreditoren = 3092,
  kDebitoren = 3093,
  kKostenstellen = 10002,
  kCopy = 3071,
  kClear = 3081,
  kQuit = 3032,
};
}

// The report window's right-button menu; the chosen command goes to `run`.
// An entry whose command may not run now (`enabled`) is greyed. Shown only
// while a Mandant is open, which the frame knows.
void PopUpReportMenu(QWidget* parent, const QPoint& globalPos, bool accountWindowsVisible,
                     const std::function<void(int)>& run,
                     const std::function<bool(int)>& enabled = {});

// Copies the shown report to the clipboard as plain text; message 146 when
// memory runs out.
bool CopyReportToClipboard();

}  // namespace talvera
