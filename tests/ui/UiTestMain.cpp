// Runs the adapter tests inside one QApplication. The settings and data
// folders point into a temporary folder so no real user's settings are touched.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "ui/Translations.h"

int main(int argc, char* argv[]) {
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  const QByteArray config = (home.path() + "/config").toUtf8();
  const QByteArray data = (home.path() + "/data").toUtf8();
  setenv("XDG_CONFIG_HOME", config.constData(), 1);
  setenv("XDG_DATA_HOME", data.constData(), 1);
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  velkor::ui::InstallJapaneseTranslations(app);  // as the program does
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
