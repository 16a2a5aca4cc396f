#include "reports/report_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "core/message.h"
#include "core/settings.h"
#include "reports/clipboard_text.h"
#include "reports/line_renderer.h"
#include "reports/print_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr int kMessageNoMemoryForCopy = 146;
constexpr int kHorizontalLineStep = 4;
constexpr int kHorizontalPageStep = 16;
// The account sheet's first two lines are its heading, which its own dialog shows.
constexpr int kSheetHeadingLines = 2;

QFont ScreenReportFont(int kind) {
  if (kind == kReportKontenblatt) {
    QFont sheet("MS Sans Serif");
    sheet.setStyleHint(QFont::SansSerif);
    sheet.setPointSize(8);
    return sheet;
  }
  const Settings& s = CurrentSettings();
  if (s.font.empty()) return QFontDatabase::systemFont(QFontDatabase::FixedFont);
  QFont font(QString::fromStdString(s.font));
  font.setPointSize(std::max(1, s.fontgr));
  return font;
}

int FirstBufferLine(int kind) { return kind == kReportKontenblatt ? kSheetHeadingLines : 0; }

}  // namespace

ReportWindow::ReportWindow(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("TLCHILD");
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  viewport()->setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RebuildFont();
}

void ReportWindow::RebuildFont() {
  font_ = ScreenReportFont(CurrentReport().kind);
  QFontMetricsF metrics(font_, viewport());
  charWidth_ = std::max(1.0, metrics.averageCharWidth());
  lineHeight_ = std::max(1.0, metrics.lineSpacing());
  UpdateScrollRanges();
  viewport()->update();
}

int ReportWindow::VisibleRows() const {
  return static_cast<int>(viewport()->height() / lineHeight_);
}

int ReportWindow::VisibleColumns() const {
  return static_cast<int>(viewport()->width() / charWidth_);
}

void ReportWindow::ShowReport(int kind, int lineCount) {
  SetReportKind(kind);
  RebuildFont();
  ReportState& report = CurrentReport();
  if (report.printRequested && kind != kReportNone) {
    shownLines_ = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PrintReport(window());
    QApplication::restoreOverrideCursor();
  } else {
    shownLines_ = lineCount != 0 ? lineCount + 2 : 0;
    if (lineCount == 0) SetReportKind(kReportNone);
    StretchCurrentReport(VisibleColumns(), true);
  }
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  UpdateScrollRanges();
  viewport()->update();
  emit reportShown(shownLines_ > 0 ? CurrentReport().kind : kReportNone);
}

void ReportWindow::ClearReport() {
  SetReportKind(kReportNone);
  TheReportBuffer().Clear();
  ShowReport(kReportNone, 0);
}

bool ReportWindow::HandleEscape() {
  const ReportState& report = CurrentReport();
  if (report.printing || report.printRequested) return false;
  ClearReport();
  return true;
}

void ReportWindow::UpdateScrollRanges() {
  int rows = VisibleRows();
  verticalScrollBar()->setRange(0, std::max(0, shownLines_ - rows + 2));
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(std::max(1, rows));
  int width = shownLines_ > 0 ? CurrentReport().displayWidth : 0;
  horizontalScrollBar()->setRange(0, std::max(0, width - VisibleColumns()));
  horizontalScrollBar()->setSingleStep(kHorizontalLineStep);
  horizontalScrollBar()->setPageStep(kHorizontalPageStep);
}

void ReportWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setPen(Qt::black);
  const ReportState& report = CurrentReport();
  const ReportBuffer& buffer = TheReportBuffer();
  if (shownLines_ == 0 || report.kind == kReportNone) return;

  LineGeometry geometry;
  geometry.font = font_;
  geometry.charWidth = charWidth_;
  geometry.lineHeight = lineHeight_;
  geometry.width = report.displayWidth;
  geometry.leftChars = 1 - horizontalScrollBar()->value();
  geometry.tabs = &report.tabs;

  int top = verticalScrollBar()->value();
  QRect area = event->rect();
  int offset = FirstBufferLine(report.kind);
  int last = std::min(shownLines_, buffer.LineCount() - offset) - 1;
  int first = std::max(0, static_cast<int>(area.top() / lineHeight_) + top - 2);
  last = std::min(last, static_cast<int>(area.bottom() / lineHeight_) + top);
  LineRenderer renderer(painter, geometry);
  for (int i = first; i <= last; ++i)
    renderer.Draw((i - top + 1) * lineHeight_, buffer.Line(i + offset));
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  switch (event->key()) {
    case Qt::Key_Home: v->setValue(v->minimum()); break;
    case Qt::Key_End: v->setValue(v->maximum()); break;
    case Qt::Key_PageUp: v->setValue(v->value() - v->pageStep()); break;
    case Qt::Key_PageDown: v->setValue(v->value() + v->pageStep()); break;
    case Qt::Key_Up: v->setValue(v->value() - 1); break;
    case Qt::Key_Down: v->setValue(v->value() + 1); break;
    case Qt::Key_Left: h->setValue(h->value() - kHorizontalLineStep); break;
    case Qt::Key_Right: h->setValue(h->value() + kHorizontalLineStep); break;
    case Qt::Key_Escape:
      if (!HandleEscape()) event->ignore();
      return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void ReportWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRanges();
}

void ReportWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit contextMenuRequested(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QAbstractScrollArea::mousePressEvent(event);
}

void ReportWindow::scrollContentsBy(int, int) { viewport()->update(); }

void PopUpReportMenu(QWidget* parent, const QPoint& globalPos, bool accountWindowsVisible,
                     const std::function<void(int)>& run, const std::function<bool(int)>& enabled) {
  using namespace reportmenu;
  QMenu menu(parent);
  menu.setObjectName("5019");
  auto add = [&](const QString& text, int command) {
    QAction* action = menu.addAction(text);
    action->setData(command);
    action->setEnabled(!enabled || enabled(command));
    return action;
  };
  QAction* visible = add("Kontendialoge sichtbar", kAccountWindowsVisible);
  visible->setCheckable(true);
  visible->setChecked(accountWindowsVisible);
  add("Sachkonten...", kSachkonten);
  add("Kreditoren...", kKreditoren);
  add("Debitoren...", kDebitoren);
  add("Kostenstellen...", kKostenstellen);
  menu.addSeparator();
  add("Kopieren in Zwischenablage", kCopy);
  add("Bericht löschen", kClear);
  menu.addSeparator();
  add("Beenden", kQuit);
  QAction* chosen = menu.exec(globalPos);
  if (chosen && run) run(chosen->data().toInt());
}

bool CopyReportToClipboard() {
  const ReportState& report = CurrentReport();
  std::optional<std::string> text =
      ReportPlainText(TheReportBuffer(), report.kind,
                      JournalPeriodText(report.journalFirst, report.journalLast));
  if (!text) {
    ShowMessage(kMessageNoMemoryForCopy);
    return false;
  }
  QApplication::clipboard()->setText(QString::fromStdString(*text));
  return true;
}

}  // namespace talvera
