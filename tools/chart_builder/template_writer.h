// Writes a prepared chart into the five template record files
// <directory>/<file>.bt<letter>, through the record store's scratch slot.
#pragma once

#include <string>

#include "tools/chart_builder/chart_rules.h"

namespace talvera::charts {

// False when a file cannot be created or a record not written; the record
// store has then reported the status. Files written before stay.
bool WriteChartTemplate(const ChartTemplate& chart, char letter, const std::string& directory);

// "<directory>/sako.bt3"
std::string TemplatePath(const std::string& directory, const char* file, char letter);

}  // namespace talvera::charts
