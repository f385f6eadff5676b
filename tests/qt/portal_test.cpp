// The window follows the desktop's colour scheme: a stand-in portal on the private session
// bus that dbus-run-session gives this test answers dark, then changes its setting live.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusVariant>
#include <QImage>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <string>

#include "calculator/calculator.h"
#include "calculator/keypad.h"
#include "ui/appearance.h"
#include "ui/qt/desktop_appearance.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"

namespace {

const QString kAppearance = QStringLiteral("org.freedesktop.appearance");

// What a desktop portal's settings interface says about the colour scheme.
class StandInPortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

 public:
  uint colorScheme = 1;

  void Change(uint scheme) {
    colorScheme = scheme;
    emit SettingChanged(kAppearance, QStringLiteral("color-scheme"), QDBusVariant(scheme));
  }

 public slots:
  QDBusVariant ReadOne(const QString& group, const QString& key) {
    const bool scheme = group == kAppearance && key == QStringLiteral("color-scheme");
    return QDBusVariant(scheme ? colorScheme : 0u);
  }

 signals:
  void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

Rgb PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
          static_cast<std::uint8_t>(qBlue(p))};
}

int Distance(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// The pixel farthest from the fill, clear of the edges: the core of a glyph, in the text's
// colour.
Rgb StrongestInk(const QImage& image, Rgb fill) {
  Rgb strongest = fill;
  for (int y = 6; y < image.height() - 6; ++y) {
    for (int x = 6; x < image.width() - 6; ++x) {
      const Rgb seen = PixelAt(image, x, y);
      if (Distance(seen, fill) > Distance(strongest, fill)) strongest = seen;
    }
  }
  return strongest;
}

QImage Grab(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool DisplayShows(MainWindow& window, const ColorSet& colors) {
  return PixelAt(Grab(window.Display()), 1, 1) == colors.displayBackground;
}

void ExpectPainted(MainWindow& window, const ColorSet& colors) {
  const QImage display = Grab(window.Display());
  EXPECT_EQ(PixelAt(display, 1, 1), colors.displayBackground);
  EXPECT_LE(Distance(StrongestInk(display, colors.displayBackground), colors.displayText), 40);
  for (const ButtonDef& def : g_buttons) {
    SCOPED_TRACE("key " + std::to_string(def.id));
    KeyWidget* key = window.FindKey(def.id);
    const KeyColors expected = KeyColorsFor(def.id, colors);
    const QImage image = Grab(key);
    EXPECT_EQ(PixelAt(image, kKeyInset + kKeyBorderWidth + 2, key->height() / 2), expected.fill);
    EXPECT_EQ(PixelAt(image, key->width() / 2, kKeyInset), expected.border);
    EXPECT_LE(Distance(StrongestInk(image, expected.fill), expected.text), 40);
  }
}

TEST(DesktopAppearance, FollowsThePortalsColourSchemeLive) {
  // A second connection, so that the calls really cross the bus.
  QDBusConnection portalBus =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in"));
  ASSERT_TRUE(portalBus.isConnected()) << "run under dbus-run-session";
  StandInPortal portal;
  ASSERT_TRUE(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                       QDBusConnection::ExportAllSlots |
                                           QDBusConnection::ExportAllSignals));
  ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

  ResetCalculator();
  MainWindow window;
  window.show();
  FollowDesktopAppearance(&window, QDBusConnection::sessionBus());
  // The answer has not come yet, and nothing waited for it: light until it does.
  EXPECT_TRUE(DisplayShows(window, kLightColors));

  for (const uint scheme : {1u, 0u, 1u}) {
    SCOPED_TRACE(scheme);
    if (scheme != portal.colorScheme) portal.Change(scheme);
    const ColorSet& colors = scheme == 1 ? kDarkColors : kLightColors;
    EXPECT_TRUE(QTest::qWaitFor([&] { return DisplayShows(window, colors); }, 5000));
    ExpectPainted(window, colors);
  }
  portalBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
  SetColorPreference({});
}

}  // namespace

#include "portal_test.moc"
