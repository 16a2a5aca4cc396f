// The "Drucker" setting names the printer reports go to: a CUPS queue, written
// as "name,CUPS," (the device, driver, port triple the setting has always
// held), or a PDF file, written as "PDF-Datei,<path>". Each print job writes
// the PDF file anew. The PDF entry needs its own marker because a CUPS queue
// may well be called "PDF".
#pragma once

#include <string>
#include <string_view>

namespace talvera {

inline constexpr char kPdfPrinterName[] = "PDF-Datei";

struct PrinterChoice {
  bool pdf = false;
  std::string queue;    // CUPS queue name
  std::string pdfPath;  // file the PDF printer writes
  bool Empty() const { return !pdf && queue.empty(); }
};

PrinterChoice ParsePrinterSetting(std::string_view value);
std::string PrinterSettingForQueue(std::string_view queue);
std::string PrinterSettingForPdf(std::string_view path);

}  // namespace talvera
