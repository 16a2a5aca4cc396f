#include "reports/printer_setting.h"

namespace talvera {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

PrinterChoice ParsePrinterSetting(std::string_view value) {
  PrinterChoice choice;
  std::size_t comma = value.find(',');
  std::string_view device = Trim(value.substr(0, comma));
  if (device == kPdfPrinterName) {
    choice.pdf = true;
    // A path may hold commas itself, so it runs to the end.
    if (comma != std::string_view::npos) choice.pdfPath = Trim(value.substr(comma + 1));
    return choice;
  }
  choice.queue = device;
  return choice;
}

std::string PrinterSettingForQueue(std::string_view queue) {
  return std::string(queue) + ",CUPS,";
}

std::string PrinterSettingForPdf(std::string_view path) {
  return std::string(kPdfPrinterName) + "," + std::string(path);
}

}  // namespace talvera
