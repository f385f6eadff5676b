// Which colours Windows asks for: dark apps, high contrast.
#include "ui/win32/color_scheme.h"

#include <initializer_list>
#include <optional>

namespace {

HBRUSH g_displayBrush = nullptr;
HBRUSH g_windowBrush = nullptr;  // the window's own background; none while the system's
HBRUSH g_paneBrush = nullptr;    // the history pane's empty part; none while the system's
bool g_darkTitleBar = false;

Rgb SystemColor(int index) {
  const COLORREF c = GetSysColor(index);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// 0 means dark; a missing value, light.
bool AppsPreferDark() {
  DWORD light = 1;
  DWORD size = sizeof light;
  const LSTATUS status = RegGetValueW(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
  return status == ERROR_SUCCESS && light == 0;
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

ColorPreference SystemPreference() {
  ColorPreference preference;
  preference.dark = AppsPreferDark();
  if (HighContrastOn()) {
    preference.highContrast =
        SystemColors{SystemColor(COLOR_WINDOW),  SystemColor(COLOR_WINDOWTEXT),
                     SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNTEXT),
                     SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_HIGHLIGHTTEXT)};
  }
  return preference;
}

void ReplaceBrush(HBRUSH& brush, const Rgb* color) {
  if (brush != nullptr) DeleteObject(brush);
  brush = color != nullptr ? CreateSolidBrush(ToColorRef(*color)) : nullptr;
}

// DWMWA_USE_IMMERSIVE_DARK_MODE is 20, and was 19 before Windows 10 20H1; older systems
// and Wine refuse both, and keep their title bar. Loaded by hand: not every SDK has it.
void SetDarkTitleBar(HWND window, bool dark) {
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const SetAttribute setAttribute = [] {
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    return dwm == nullptr ? nullptr
                          : reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(
                                GetProcAddress(dwm, "DwmSetWindowAttribute")));
  }();
  if (setAttribute == nullptr) return;
  const BOOL value = dark ? TRUE : FALSE;
  for (DWORD attribute : {20u, 19u}) {
    if (SUCCEEDED(setAttribute(window, attribute, &value, sizeof value))) return;
  }
}

}  // namespace

void ApplySystemColors(HWND window) {
  const ColorPreference preference = SystemPreference();
  SetColorPreference(preference);
  const ColorSet& colors = ActiveColors();
  ReplaceBrush(g_displayBrush, &colors.displayBackground);
  ReplaceBrush(g_windowBrush, colors.windowBackground ? &*colors.windowBackground : nullptr);
  ReplaceBrush(g_paneBrush, colors.pane ? &colors.pane->background : nullptr);
  g_darkTitleBar = preference.dark && !preference.highContrast;
  SetDarkTitleBar(window, g_darkTitleBar);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ApplyTitleBarColors(HWND window) { SetDarkTitleBar(window, g_darkTitleBar); }

bool IsColorSettingChange(WPARAM action, LPARAM area) {
  const auto* name = reinterpret_cast<const wchar_t*>(area);
  return action == SPI_SETHIGHCONTRAST ||
         (name != nullptr && lstrcmpW(name, L"ImmersiveColorSet") == 0);
}

HBRUSH DisplayBrush() { return g_displayBrush; }

HBRUSH WindowBackgroundBrush() {
  return g_windowBrush != nullptr ? g_windowBrush : GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH OwnWindowBrush() { return g_windowBrush; }

HBRUSH HistoryPaneBrush() { return g_paneBrush; }

void PaintListItemBackground(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const std::optional<PaneColors>& colors = ActiveColors().pane;
  if (colors) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(selected ? colors->selection : colors->background));
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    SetTextColor(item.hDC, ToColorRef(selected ? colors->selectionText : colors->text));
  } else {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  }
  SetBkMode(item.hDC, TRANSPARENT);
}

void ReleaseColorBrushes() {
  ReplaceBrush(g_displayBrush, nullptr);
  ReplaceBrush(g_windowBrush, nullptr);
  ReplaceBrush(g_paneBrush, nullptr);
}
