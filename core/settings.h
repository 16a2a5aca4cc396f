// The user's preferences as the program holds them while it runs. They are
// read from the settings file at start-up and when a Mandant is opened.
#pragma once

namespace talvera {

struct Settings {
  // Amounts are typed without a decimal comma; the last two digits are the cents.
  bool ohneKomma = false;
};

Settings& CurrentSettings();

}  // namespace talvera
