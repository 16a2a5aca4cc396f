// The UStVA list (report kind 3): heading lines, then the rows of the
// period's form with their cells, laid into the report buffer.
#pragma once

#include <string>

#include "tax/ustva_computation.h"

namespace talvera {

struct UstvaListHeading {  // UTF-8
  std::string company;
  std::string taxNumber;
  std::string taxOffice;
  std::string currency;
};

// The heading from the open Mandant and the settings.
UstvaListHeading CurrentUstvaHeading();

// "März 2026", "1. Quartal 2026", "Gesamtjahr 2026".
std::string UstvaPeriodText(const UstvaPeriod& period);

// Fills the report buffer; false when memory runs out. lineCount gets the
// number of lines.
bool BuildUstvaList(const UstvaReturn& ret, const UstvaListHeading& heading, int& lineCount);

}  // namespace talvera
