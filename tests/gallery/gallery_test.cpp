#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <cstdlib>

#include "tools/gallery/gallery.h"

using namespace talvera;

namespace {

// Distinct colours in a sparse grid of the picture: a blank or black
// picture has one or two.
int ColourCount(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  return colours.size();
}

TEST(Gallery, EveryWindowIsPicturedAndFitsTheScreen) {
  QTemporaryDir out;
  QProcess gallery;
  gallery.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  gallery.start(QString::fromLocal8Bit(std::getenv("TALVERA_BIN")) + "/talvi-gallery", {out.path()});
  ASSERT_TRUE(gallery.waitForFinished(120000));
  QString printed = QString::fromLocal8Bit(gallery.readAllStandardOutput());
  EXPECT_EQ(gallery.exitCode(), 0) << printed.toStdString();
  for (const gallery::Entry& entry : gallery::Entries()) {
    SCOPED_TRACE(entry.resource);
    QImage picture(out.filePath(QString::fromLatin1(entry.resource) + ".png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(ColourCount(picture), 4);
    EXPECT_LE(picture.width(), gallery::kScreenWidth);
    EXPECT_LE(picture.height(), gallery::kScreenHeight);
  }
}

}  // namespace
