// Process-wide values that several modules read.
#include "core/mandant_values.h"
#include "core/settings.h"

namespace talvera {

Settings& CurrentSettings() {
  static Settings settings;
  return settings;
}

MandantValues& CurrentMandant() {
  static MandantValues values;
  return values;
}

}  // namespace talvera
