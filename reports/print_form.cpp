#include "reports/print_form.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPrinter>

#include <string>

#include "core/cp1252.h"
#include "core/message.h"
#include "core/settings.h"
#include "reports/form_buffer.h"
#include "reports/print_job.h"
#include "reports/printer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr double kTenthsPerInch = 254.0;

struct FormDevice {
  QPainter& painter;
  double unit;       // device pixels per tenth of a millimetre
  int offX, offY;    // the user's shift, tenths of a millimetre
  int pitch;         // character cell, tenths of a millimetre; 0 for none
};

void DrawItem(const FormDevice& d, const FormItem& item) {
  QFontMetricsF metrics(d.painter.font(), d.painter.device());
  QString text = QString::fromStdString(Cp1252ToUtf8(item.text));
  double x = (item.x + d.offX) * d.unit;
  double baseline = (item.y + d.offY) * d.unit + metrics.ascent();
  bool onPitch = d.pitch > 0 && !(item.flags & kFormProportional);
  if (!onPitch) {
    if (item.flags & kFormRightAligned) x -= metrics.horizontalAdvance(text);
    d.painter.drawText(QPointF(x, baseline), text);
    return;
  }
  // Pre-printed forms have a box per character: each one centred in its cell.
  double cell = d.pitch * d.unit;
  if (item.flags & kFormRightAligned) x -= cell * text.size();
  for (int i = 0; i < text.size(); ++i) {
    QString c = text.mid(i, 1);
    d.painter.drawText(QPointF(x + i * cell + (cell - metrics.horizontalAdvance(c)) / 2, baseline), c);
  }
}

bool DrawForms(QPrinter* printer, QWidget* owner, const QFont& font, int offX, int offY) {
  const FormBuffer& forms = TheFormBuffer();
  PrintJob job(printer, owner, "TALVI: Formular", "Formularausdruck",
               QString::number(forms.FormCount()));
  if (!job.Start()) return job.Finish();
  FormDevice device{job.Painter(), printer->resolution() / kTenthsPerInch, offX, offY, forms.Pitch()};
  job.Painter().setFont(font);
  bool pageOpen = true;
  for (const FormItem& item : forms.Items()) {
    if (item.flags & kFormPageBreak) {
      pageOpen = false;
      continue;
    }
    if (!pageOpen) {
      if (!job.NextPage()) return job.Finish();
      job.Painter().setFont(font);
      pageOpen = true;
    }
    if (item.flags & kFormText) DrawItem(device, item);
  }
  return job.Finish();
}

bool PrintItems(QWidget* owner) {
  if (!SelectPrintFont(kReportForm)) return false;
  const Settings& s = CurrentSettings();
  return DrawForms(CurrentPrinter(), owner, PrintFont(), s.formOffX, s.formOffY);
}

}  // namespace

bool PrintForm(QWidget* owner) {
  ReportState& report = CurrentReport();
  report.printing = true;
  bool printed = PrintItems(owner);
  report.printing = false;
  if (!printed) {
    ShowTextBox(std::string(ReportTitle(kReportForm)) + " konnte nicht gedruckt werden.", "TALVI",
                BoxStyle::kExclamationOk);
    OpenPrinter();
  }
  return printed;
}

bool PrintFormToPdf(const std::string& path, QWidget* owner) {
  constexpr double kPdfPointSize = 9.0;
  QPrinter pdf(QPrinter::HighResolution);
  pdf.setOutputFormat(QPrinter::PdfFormat);
  pdf.setOutputFileName(QString::fromStdString(path));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setFullPage(false);
  QFont font(DefaultPrintFace());
  font.setPointSizeF(kPdfPointSize);
  return DrawForms(&pdf, owner, font, 0, 0);
}

}  // namespace talvera
