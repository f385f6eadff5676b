// The colours the system asks for: chosen, carried into the brushes and the title bar,
// and shown at once. Again on every change of the system's colours.
#pragma once

#include <cstdint>

#include "ui/appearance.h"
#include "ui/win32/win32.h"

// Windows' COLORREF layout, 0x00BBGGRR.
constexpr COLORREF ToColorRef(Rgb c) {
  return static_cast<COLORREF>(std::uint32_t{c.r} | (std::uint32_t{c.g} << 8) |
                               (std::uint32_t{c.b} << 16));
}

void ApplySystemColors(HWND window);
// Another top-level window of the program takes the title bar the colours ask for.
void ApplyTitleBarColors(HWND window);
// A WM_SETTINGCHANGE that may change them: dark apps or high contrast.
bool IsColorSettingChange(WPARAM action, LPARAM area);
// The display's background, made by ApplySystemColors.
HBRUSH DisplayBrush();
HBRUSH WindowBackgroundBrush();
// The set's own window background, or nullptr while the system's colour paints it.
HBRUSH OwnWindowBrush();
// The history pane's background, or nullptr while the system's colours paint it.
HBRUSH HistoryPaneBrush();
// An owner-drawn list's item (the history pane's, the keyboard overview's): its background
// filled, selected or not, and the device context set for its text, in the set's pane
// colours or the system's.
void PaintListItemBackground(const DRAWITEMSTRUCT& item);
void ReleaseColorBrushes();
