#include "reports/printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

#include "core/settings.h"
#include "reports/printer_setting.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

std::unique_ptr<QPrinter>& ThePrinter() {
  static std::unique_ptr<QPrinter> printer;
  return printer;
}

QFont& ThePrintFont() {
  static QFont font;
  return font;
}

// How the print font was made, to make it again.
struct FontRecipe {
  QString face;
  double points = 0;
};
FontRecipe& ThePrintFontRecipe() {
  static FontRecipe recipe;
  return recipe;
}

PrinterChoice ConfiguredPrinter() {
  const Settings& s = CurrentSettings();
  PrinterChoice choice = ParsePrinterSetting(s.drucker);
  if (choice.Empty()) choice = ParsePrinterSetting(s.defaultPrinter);
  if (choice.Empty()) choice.queue = QPrinterInfo::defaultPrinterName().toStdString();
  return choice;
}

QFont MakeFont(const QString& face, double points) {
  QFont font(face.isEmpty() ? DefaultPrintFace() : face);
  font.setPointSizeF(points);
  return font;
}

// A configured size is n × 20 + 10 twips on a printer that scales fonts;
// forms, laid out in device units, take the size itself.
double ConfiguredPoints(int size, int kind = kReportNone) {
  return kind == kReportForm ? size : size + 0.5;
}

PrinterMetrics Measure(QPrinter& printer, const QFont& font) {
  QFontMetricsF metrics(font, &printer);
  return MeasurePrinter(printer.width(), printer.height(), metrics.averageCharWidth(),
                        metrics.lineSpacing());
}

}  // namespace

QString DefaultPrintFace() {
  // Reports line their columns up by tabs, but values were laid out for
  // fixed-pitch print; a monospaced face keeps them the width they were cut to.
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QPrinter* OpenPrinter() {
  ThePrinter().reset();
  PrinterChoice choice = ConfiguredPrinter();
  if (choice.pdf) {
    if (choice.pdfPath.empty()) return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(choice.pdfPath));
    ThePrinter() = std::move(printer);
  } else if (!choice.queue.empty()) {
    QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(choice.queue));
    if (info.isNull()) return nullptr;
    ThePrinter() = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  return ThePrinter().get();
}

QPrinter* CurrentPrinter() { return ThePrinter().get(); }

std::string CurrentPrinterName() {
  QPrinter* printer = CurrentPrinter();
  if (!printer) return {};
  if (printer->outputFormat() == QPrinter::PdfFormat)
    return std::string(kPdfPrinterName) + " " + printer->outputFileName().toStdString();
  return printer->printerName().toStdString();
}

bool SelectPrintFont(int kind, int ownWidth) {
  QPrinter* printer = CurrentPrinter();
  if (!printer) return false;
  ReportFont configured = ReadReportFont(ReportTitle(kind));
  QString face = QString::fromStdString(configured.face);
  double points = 0;
  if (!configured.face.empty() && configured.size > 0) {
    points = ConfiguredPoints(configured.size, kind);
  } else {
    int twips = ChooseAutoFontHeight(ReportPrinterWidth(kind, ownWidth), [&](int height) {
      return Measure(*printer, MakeFont(face, height / 20.0)).lineWidth;
    });
    if (twips == 0) return false;
    points = twips / 20.0;
  }
  QFont font = MakeFont(face, points);
  ThePrintFont() = font;
  ThePrintFontRecipe() = {face, points};
  CurrentPrinterMetrics() = Measure(*printer, font);
  return true;
}

int TryPrintFont(const std::string& face, int size) {
  QPrinter* printer = CurrentPrinter();
  if (!printer || size <= 0) return 0;
  return Measure(*printer, MakeFont(QString::fromStdString(face), ConfiguredPoints(size))).lineWidth;
}

const QFont& PrintFont() { return ThePrintFont(); }

QFont UnsharedPrintFont() {
  const FontRecipe& recipe = ThePrintFontRecipe();
  return MakeFont(recipe.face, recipe.points);
}

}  // namespace talvera
