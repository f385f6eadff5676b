// The Linux calculator: one window on the shared calculator core.
#include <QApplication>
#include <QByteArray>
#include <QDBusConnection>
#include <QFile>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSessionManager>

#include <algorithm>
#include <array>
#include <ctime>
#include <utility>

#include "calculator/random.h"
#include "calculator/saved_history.h"
#include "calculator/storage.h"
#include "ui/qt/desktop_appearance.h"
#include "ui/qt/keymap.h"
#include "ui/qt/main_window.h"

namespace {

constexpr std::array kIconSizes{16, 24, 32, 48, 64, 128, 256};

// The window icon, decoded whenever the window system asks for it. Qt's own engine keeps
// every size it has decoded, 350 kB, long after the window manager took its copy.
class ResourceIcon : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    // The smallest that covers the size, or the largest.
    int side = kIconSizes.back();
    for (int s : kIconSizes) {
      if (s >= size.width() && s >= size.height()) {
        side = s;
        break;
      }
    }
    QFile file(QStringLiteral(":/icons/%1.argb").arg(side));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray pixels = file.readAll();
    if (pixels.size() != qsizetype{4} * side * side) return {};
    // A copy, as the pixels go with this call.
    QImage image = QImage(reinterpret_cast<const uchar*>(pixels.constData()), side, side,
                          QImage::Format_ARGB32_Premultiplied)
                       .copy();
    if (image.width() > size.width() || image.height() > size.height()) {
      image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return QPixmap::fromImage(std::move(image));
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int s : kIconSizes) sizes.append(QSize(s, s));
    return sizes;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min({size.width(), size.height(), kIconSizes.back()});
    return {side, side};
  }

  QIconEngine* clone() const override { return new ResourceIcon; }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(new ResourceIcon));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vorlane.Calculator"));
  WatchKeymap();
  SeedRandom(static_cast<unsigned>(std::time(nullptr)));
  MainWindow window;
  FollowDesktopAppearance(&window, QDBusConnection::sessionBus());
  StartSavedHistory(&window, &PlatformStorage());
  // What a failed save left is tried once more as the program ends, and when the session
  // ends, which may not wait for the program to quit.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&window] { SaveBeforeClosing(&window); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest,
                   [&window](QSessionManager&) { SaveBeforeClosing(&window); });
  window.show();
  return QApplication::exec();
}
