#include "ui/qt/desktop_appearance.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QPalette>

#include "ui/appearance.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_appearance.h"

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString kColorSchemeKey = QStringLiteral("color-scheme");
const QString kContrastKey = QStringLiteral("contrast");
const QString kReadOne = QStringLiteral("ReadOne");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

// Read, which older portals have instead of ReadOne, wraps the value in one more variant.
uint UnwrapUint(QVariant value) {
  while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
    value = value.value<QDBusVariant>().variant();
  }
  return value.toUInt();
}

Rgb ToRgb(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

SystemColors SystemColorsOf(const QPalette& palette) {
  return {ToRgb(palette.color(QPalette::Base)),   ToRgb(palette.color(QPalette::Text)),
          ToRgb(palette.color(QPalette::Button)), ToRgb(palette.color(QPalette::ButtonText)),
          ToRgb(palette.color(QPalette::Highlight)),
          ToRgb(palette.color(QPalette::HighlightedText))};
}

// The desktop's palette with the set's window and pane colours: the window background,
// the history pane and the context menu.
QPalette ChromePalette(QPalette palette, const ColorSet& colors) {
  if (colors.windowBackground) {
    const QColor background = ToQColor(*colors.windowBackground);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Button, background);
  }
  if (colors.pane) {
    const QColor text = ToQColor(colors.pane->text);
    palette.setColor(QPalette::Base, ToQColor(colors.pane->background));
    palette.setColor(QPalette::AlternateBase, ToQColor(colors.pane->background));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, ToQColor(colors.pane->selection));
    palette.setColor(QPalette::HighlightedText, ToQColor(colors.pane->selectionText));
  }
  return palette;
}

class PortalAppearance : public QObject {
  Q_OBJECT

 public:
  PortalAppearance(MainWindow* shown, const QDBusConnection& connection)
      : QObject(shown), window(shown), bus(connection), desktopPalette(QApplication::palette()) {
    bus.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"),
                this, SLOT(OnSettingChanged(QDBusMessage)));
    Ask(kColorSchemeKey, kReadOne);
    Ask(kContrastKey, kReadOne);
  }

 private slots:
  // QDBusConnection::connect names its receiver by the slot's signature only; Qt 6.4 will
  // not connect one that takes a QDBusVariant, so the message comes whole.
  void OnSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == kAppearanceGroup) {
      Take(arguments[1].toString(), UnwrapUint(arguments[2]));
    }
  }

 private:
  void Ask(const QString& key, const QString& method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettingsInterface, method);
    call << kAppearanceGroup << key;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key, method](QDBusPendingCallWatcher* answer) {
              answer->deleteLater();
              const QDBusMessage reply = answer->reply();
              if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                Take(key, UnwrapUint(reply.arguments().constFirst()));
              } else if (method == kReadOne && reply.errorName() == kUnknownMethod) {
                Ask(key, QStringLiteral("Read"));
              }
            });
  }

  // color-scheme 1 prefers dark (2, light, and 0, none, are light); contrast 1 asks for more.
  void Take(const QString& key, uint value) {
    if (key == kColorSchemeKey) {
      dark = value == 1;
    } else if (key == kContrastKey) {
      highContrast = value == 1;
    } else {
      return;
    }
    ColorPreference preference;
    preference.dark = dark;
    if (highContrast) preference.highContrast = SystemColorsOf(desktopPalette);
    SetColorPreference(preference);
    // In high contrast the desktop's own palette stays, as it does in light.
    const bool recolor = dark && !highContrast;
    if (recolor || recolored) {
      QApplication::setPalette(recolor ? ChromePalette(desktopPalette, ActiveColors())
                                       : desktopPalette);
      recolored = recolor;
    }
    window->ApplyColors();
  }

  MainWindow* window;
  QDBusConnection bus;
  QPalette desktopPalette;
  bool dark = false;
  bool highContrast = false;
  bool recolored = false;  // the application palette is not the desktop's
};

}  // namespace

void FollowDesktopAppearance(MainWindow* window, const QDBusConnection& bus) {
  if (bus.isConnected()) new PortalAppearance(window, bus);
}

#include "desktop_appearance.moc"
