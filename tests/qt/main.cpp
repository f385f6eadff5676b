// GoogleTest with the QApplication that every widget needs, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  // Never open windows on the developer's screen, and draw the same pixels everywhere.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
