// The per-monitor functions came with Windows 10 (and later Wine): looked up at run time
// so that the program still starts where they are missing.
#include "ui/win32/dpi.h"

#include "ui/layout.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();

template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kBaseDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
  if (getDpiForSystem != nullptr) {
    if (const UINT dpi = getDpiForSystem(); dpi != 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}
