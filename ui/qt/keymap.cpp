#include "ui/qt/keymap.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QKeyEvent>
#include <qpa/qplatformnativeinterface.h>

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <type_traits>

namespace {

xkb_context* g_xkbContext = nullptr;
xkb_keymap* g_keymap = nullptr;
// X11 reads the keymap again after the server announces a new one (setxkbmap).
bool g_keymapStale = false;
bool g_watching = false;

int DigitOfKey(xkb_keymap* keymap, xkb_keycode_t keycode) {
  if (keymap == nullptr || keycode < xkb_keymap_min_keycode(keymap) ||
      keycode > xkb_keymap_max_keycode(keymap)) {
    return -1;
  }
  const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, keycode);
  for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, layout);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
      const xkb_keysym_t* syms = nullptr;
      const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, level, &syms);
      for (int i = 0; i < count; ++i) {
        if (syms[i] >= XKB_KEY_0 && syms[i] <= XKB_KEY_9) {
          return static_cast<int>(syms[i] - XKB_KEY_0);
        }
      }
    }
  }
  return -1;
}

void ReplaceKeymap(xkb_keymap* keymap) {
  xkb_keymap_unref(g_keymap);
  g_keymap = keymap;
}

// ---- X11

xcb_connection_t* g_xcbConnection = nullptr;
uint8_t g_xkbBaseEvent = 0;
// XKB's event kinds; xcb/xkb.h, which names them, does not compile as C++.
constexpr uint8_t kXkbNewKeyboardNotify = 0;
constexpr uint8_t kXkbMapNotify = 1;

class XkbChangeFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // All XKB events share one event code; the second byte tells them apart.
    if ((event->response_type & 0x7f) != g_xkbBaseEvent) return false;
    if (event->pad0 == kXkbNewKeyboardNotify || event->pad0 == kXkbMapNotify) {
      g_keymapStale = true;
    }
    return false;
  }
};

void WatchX11Keymap() {
#if QT_CONFIG(xcb)
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return;
  g_xcbConnection = x11->connection();
  if (!xkb_x11_setup_xkb_extension(g_xcbConnection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                   XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                   &g_xkbBaseEvent, nullptr)) {
    g_xcbConnection = nullptr;
    return;
  }
  // Qt already asked the server for these events on its connection.
  static XkbChangeFilter filter;
  QCoreApplication::instance()->installNativeEventFilter(&filter);
#endif
}

void ReadX11Keymap() {
  if (g_xcbConnection == nullptr) return;
  const int32_t device = xkb_x11_get_core_keyboard_device_id(g_xcbConnection);
  if (device == -1) return;
  ReplaceKeymap(xkb_x11_keymap_new_from_device(g_xkbContext, g_xcbConnection, device,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS));
}

// ---- Wayland: a keyboard of our own on Qt's connection, which the compositor sends
// every new keymap before the key events that use it.

// libwayland-client as Qt's Wayland plugin loaded it. Linked, it would be loaded on X11
// too, 0.1 MB with libffi for nothing; the header's inline requests are written out here.
struct WaylandClient {
  decltype(&wl_proxy_marshal_flags) marshalFlags = nullptr;
  decltype(&wl_proxy_add_listener) addListener = nullptr;
  decltype(&wl_proxy_get_version) version = nullptr;
  decltype(&wl_proxy_destroy) destroy = nullptr;
  const wl_interface* registryInterface = nullptr;
  const wl_interface* seatInterface = nullptr;
  const wl_interface* keyboardInterface = nullptr;
};
WaylandClient g_wayland;

bool FindWaylandClient() {
  void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) return false;
  const auto find = [library](auto& pointer, const char* name) {
    pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(dlsym(library, name));
    return pointer != nullptr;
  };
  WaylandClient& wl = g_wayland;
  return find(wl.marshalFlags, "wl_proxy_marshal_flags") &&
         find(wl.addListener, "wl_proxy_add_listener") &&
         find(wl.version, "wl_proxy_get_version") && find(wl.destroy, "wl_proxy_destroy") &&
         find(wl.registryInterface, "wl_registry_interface") &&
         find(wl.seatInterface, "wl_seat_interface") &&
         find(wl.keyboardInterface, "wl_keyboard_interface");
}

template <typename Object>
wl_proxy* Proxy(Object* object) {
  return reinterpret_cast<wl_proxy*>(object);
}

template <typename Object, typename Listener>
void AddListener(Object* object, const Listener& listener) {
  g_wayland.addListener(Proxy(object),
                        reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), nullptr);
}

wl_seat* g_seat = nullptr;
wl_keyboard* g_keyboard = nullptr;

// Qt hands its key events on after the events it read with them, among which may be the
// next keyboard's keymap: each press keeps the digit of the keymap it came under.
struct Press {
  quint64 time;
  quint32 keycode;
  int digit;
};
std::deque<Press> g_presses;
constexpr std::size_t kPressesKept = 64;  // presses that never reach the window (a menu's)

void OnKeymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
  if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (text != MAP_FAILED) {
      const char* chars = static_cast<const char*>(text);
      ReplaceKeymap(xkb_keymap_new_from_buffer(g_xkbContext, chars, strnlen(chars, size),
                                               XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS));
      munmap(text, size);
    }
  }
  close(fd);
}
void OnEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void OnKey(void*, wl_keyboard*, uint32_t, uint32_t time, uint32_t key, uint32_t state) {
  if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  const quint32 keycode = key + 8;  // evdev code to XKB keycode
  g_presses.push_back({time, keycode, DigitOfKey(g_keymap, keycode)});
  if (g_presses.size() > kPressesKept) g_presses.pop_front();
}
void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
constexpr wl_keyboard_listener kKeyboardListener = {OnKeymap,     OnEnter,     OnLeave,
                                                    OnKey,        OnModifiers, OnRepeatInfo};

// A keyboard asked for while the seat has none stays silent forever: follow the seat's
// keyboards as they come and go (a virtual keyboard lives as long as its tool).
void OnCapabilities(void*, wl_seat* seat, uint32_t capabilities) {
  const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (hasKeyboard && g_keyboard == nullptr) {
    g_keyboard = reinterpret_cast<wl_keyboard*>(
        g_wayland.marshalFlags(Proxy(seat), WL_SEAT_GET_KEYBOARD, g_wayland.keyboardInterface,
                               g_wayland.version(Proxy(seat)), 0, static_cast<void*>(nullptr)));
    AddListener(g_keyboard, kKeyboardListener);
  } else if (!hasKeyboard && g_keyboard != nullptr) {
    const uint32_t version = g_wayland.version(Proxy(g_keyboard));
    if (version >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
      g_wayland.marshalFlags(Proxy(g_keyboard), WL_KEYBOARD_RELEASE, nullptr, version,
                             WL_MARSHAL_FLAG_DESTROY);
    } else {
      g_wayland.destroy(Proxy(g_keyboard));
    }
    g_keyboard = nullptr;
  }
}
void OnSeatName(void*, wl_seat*, const char*) {}
constexpr wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
  const wl_interface* seat = g_wayland.seatInterface;
  if (g_seat != nullptr || std::strcmp(interface, seat->name) != 0) return;
  constexpr uint32_t kSeatVersion = 3;  // the keyboard's release request, no more
  const uint32_t bound = std::min(version, kSeatVersion);
  g_seat = reinterpret_cast<wl_seat*>(g_wayland.marshalFlags(
      Proxy(registry), WL_REGISTRY_BIND, seat, bound, 0, name, seat->name, bound,
      static_cast<void*>(nullptr)));
  AddListener(g_seat, kSeatListener);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void WatchWaylandKeymap() {
  // Qt 6.4 has no public way to its Wayland connection.
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  if (native == nullptr) return;
  auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
  if (display == nullptr || !FindWaylandClient()) return;
  // Qt dispatches the connection's default queue: the answers arrive with its events.
  wl_proxy* registry =
      g_wayland.marshalFlags(Proxy(display), WL_DISPLAY_GET_REGISTRY, g_wayland.registryInterface,
                             g_wayland.version(Proxy(display)), 0, static_cast<void*>(nullptr));
  AddListener(registry, kRegistryListener);
}

}  // namespace

void WatchKeymap() {
  if (g_watching) return;
  g_watching = true;
  g_xkbContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (g_xkbContext == nullptr) return;
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb")) {
    WatchX11Keymap();
    // Read at the first key press, under 1 ms once: 70 kB that no start needs.
    g_keymapStale = true;
  } else if (platform.startsWith(QLatin1String("wayland"))) {
    WatchWaylandKeymap();
  } else {
    // RMLVO names left empty: XKB_DEFAULT_LAYOUT and the like, else US.
    ReplaceKeymap(xkb_keymap_new_from_names(g_xkbContext, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
  }
}

int KeymapDigit(const QKeyEvent& event) {
  WatchKeymap();
  const quint32 keycode = event.nativeScanCode();
  // The press as the compositor sent it, under the keymap of that moment.
  for (auto press = g_presses.begin(); press != g_presses.end(); ++press) {
    if (press->keycode == keycode && press->time == event.timestamp()) {
      const int digit = press->digit;
      g_presses.erase(g_presses.begin(), press + 1);
      return digit;
    }
  }
  if (g_keymapStale) {
    g_keymapStale = false;
    ReadX11Keymap();
  }
  return DigitOfKey(g_keymap, keycode);
}
