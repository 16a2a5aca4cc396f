// Process-wide values that several modules read.
#include "core/mandant_values.h"

namespace talvera {

MandantValues& CurrentMandant() {
  static MandantValues values;
  return values;
}

}  // namespace talvera
