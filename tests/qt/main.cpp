// GoogleTest with the QApplication that every widget needs, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
  // Never open windows on the developer's screen, and draw the same pixels everywhere.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // An empty profile: no test sees the history another saved, nor the user's own.
  QTemporaryDir profile;
  qputenv("XDG_STATE_HOME", (profile.path() + "/state").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (profile.path() + "/config").toLocal8Bit());
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
