// The window follows the desktop's colour scheme: a stand-in portal on the private session
// bus of dbus-run-session answers dark, then changes its setting live.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusVariant>
#include <QLabel>
#include <QTest>

#include "calculator/calculator.h"
#include "calculator/keypad.h"
#include "calculator/settings.h"
#include "ui/appearance.h"
#include "ui/qt/desktop_appearance.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"

namespace {

const QString kAppearance = QStringLiteral("org.freedesktop.appearance");

class StandInPortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

 public:
  uint scheme = 1;

 public slots:
  QDBusVariant ReadOne(const QString& group, const QString& key) {
    const bool asked = group == kAppearance && key == QStringLiteral("color-scheme");
    return QDBusVariant(asked ? scheme : 0u);
  }

 signals:
  void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

Rgb At(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
          static_cast<std::uint8_t>(qBlue(p))};
}
QImage Grab(QWidget* widget) { return widget->grab().toImage(); }

TEST(DesktopAppearance, FollowsThePortalsColourSchemeLive) {
  // A connection of its own, so that every call really crosses the bus.
  QDBusConnection portalBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
  StandInPortal portal;
  ASSERT_TRUE(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                       QDBusConnection::ExportAllContents));
  ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

  ResetCalculator();
  MainWindow window;
  window.show();
  FollowDesktopAppearance(&window, QDBusConnection::sessionBus());
  QLabel* display = window.Display();
  EXPECT_EQ(At(Grab(display), 1, 1), kDisplayBackground);  // light until the answer comes

  for (const uint scheme : {1u, 0u, 1u}) {
    SCOPED_TRACE(scheme);
    if (scheme != portal.scheme) {
      portal.scheme = scheme;
      emit portal.SettingChanged(kAppearance, QStringLiteral("color-scheme"), QDBusVariant(scheme));
    }
    const ColorSet& colors = scheme == 1 ? kDarkColors : kLightColors;
    const auto displayShown = [&] { return At(Grab(display), 1, 1) == colors.displayBackground; };
    EXPECT_TRUE(QTest::qWaitFor(displayShown));
    for (const ButtonDef& def : g_buttons) {
      SCOPED_TRACE(def.id);
      KeyWidget* key = window.FindKey(def.id);
      const KeyColors expected = KeyColorsFor(def.id, colors);
      const QImage image = Grab(key);
      EXPECT_EQ(At(image, kKeyInset + kKeyBorderWidth + 2, key->height() / 2), expected.fill);
      EXPECT_EQ(At(image, key->width() / 2, kKeyInset), expected.border);
    }
  }
  SetColorPreference({});
}

}  // namespace

#include "portal_test.moc"
