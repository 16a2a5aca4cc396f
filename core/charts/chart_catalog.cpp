#include "core/charts/chart_catalog.h"

namespace talvera::charts {

namespace {

constexpr ChartDefinition kCharts[] = {
    {'3', "skr03", "SKR 03", false,
     {"   1400", "   1600", "   1570", "   1588", "   1776", "   1771", "   1770", "   0869",
      "   1760"},
     {"   3730", "   3731", "   3736", "   8730", "   8731", "   8736", "   2660", "   2150"}},
    {'4', "skr04", "SKR 04", false,
     {"   1200", "   3300", "   1400", "   1433", "   3806", "   3801", "   3802", "   2979",
      "   3810"},
     {"   5730", "   5731", "   5736", "   4730", "   4731", "   4736", "   7150", "   7350"}},
    {'A', "rlg", "RLG (Österreich)", true,
     {"  23000", "  33000", "  25000", "  25200", "  35000", "  35100", "  35200", "  99999",
      "  35110"},
     {"  59200", "  59100", "  59100", "  42200", "  42100", "  42000", "", ""}},
    {'G', "basis", "Grundkontenrahmen", false, {"", "", "", "", "", "", "", "", ""},
     {"", "", "", "", "", "", "", ""}},
};

constexpr SpecialAccount kSpecialAccounts[] = {
    {"   1400", "Forder."},  {"   1600", "Verbind."}, {"   1570", "Vorst."},
    {"   1588", "EUSt"},     {"   1776", "Ust.15%"},  {"   1775", "Ust.Reg."},
    {"   1771", "Ust.Erm."}, {"   1770", "Ust.Son."}, {"   1760", "Ust.n.f."},
    {"   1572", "Vst.EG"},   {"   1772", "Ust.EG"},   {"   9999", "Vortrag"},
};

constexpr const char* kBookingTemplateCodes[] = {"Kasse", "Bank", "Erl.vo", "War.ein"};

}  // namespace

std::span<const ChartDefinition> AllCharts() { return kCharts; }

const ChartDefinition* ChartByLetter(char letter) {
  for (const ChartDefinition& chart : kCharts)
    if (chart.letter == letter) return &chart;
  return nullptr;
}

std::span<const SpecialAccount> BasicChartSpecialAccounts() { return kSpecialAccounts; }

std::span<const char* const> BookingTemplateShortCodes() { return kBookingTemplateCodes; }

const char* ImportVatAccount(const ChartDefinition& chart) {
  return chart.defaults[kImportVatRow][0] ? chart.defaults[kImportVatRow]
                                          : kSpecialAccounts[kSpecialImportVatRow].number;
}

}  // namespace talvera::charts
