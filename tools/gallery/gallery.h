// The gallery: every dialog and window of the program, built offscreen with
// sample data and written as a PNG named by its resource name, so that the
// screens can be looked at without clicking through the program.
//
// A new dialog adds one line to the table in gallery_entries.cpp: its
// resource name and a function that builds it on the sample Mandant.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace talvera::gallery {

struct Entry {
  const char* resource;                     // the PNG's name: "<resource>.png"
  std::function<QWidget*(QWidget*)> build;  // builds the window on `parent`, not yet shown
};

const std::vector<Entry>& Entries();

// A data root with the chart templates from `chartsDir`, two SKR 03
// Mandanten ("Muster GmbH" with a few bookings, "Beispiel KG"), two users,
// and the first Mandant open. `root` and `settings` must be empty
// directories. False with a reason on stderr.
bool PrepareSampleData(const QString& chartsDir, const QString& root, const QString& settings);

// The screen the gallery assumes; every window must fit it.
constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;

}  // namespace talvera::gallery
