// The Linux calculator: one window on the shared calculator core.
#include <QApplication>
#include <QDBusConnection>
#include <QIcon>

#include <ctime>

#include "calculator/calculator.h"
#include "calculator/history.h"
#include "calculator/storage.h"
#include "ui/qt/desktop_appearance.h"
#include "ui/qt/keymap.h"
#include "ui/qt/main_window.h"

namespace {

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/%1x%1/apps/org.vorlane.Calculator.png").arg(size),
                 QSize(size, size));
  }
  return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vorlane.Calculator"));
  WatchKeymap();
  SeedRandom(static_cast<unsigned>(std::time(nullptr)));
  MainWindow window;
  FollowDesktopAppearance(&window, QDBusConnection::sessionBus());
  StartSavedHistory(&window, &PlatformStorage());
  window.show();
  return QApplication::exec();
}
