// Drives the real vorlane-calc.exe from another process: starts it, finds its window,
// presses keys, types, uses the clipboard, reads texts and takes screenshots.
#pragma once

#include "ui/win32/win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calculator/storage.h"
#include "calculator/context_menu.h"
#include "ui/appearance.h"
#include "ui/layout.h"

// Pumps this thread's messages while waiting, so that the clipboard we own stays served.
// True as soon as done() holds, false once timeoutMs have passed without it.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

std::wstring TextOf(HWND window);
// The text of a list box's item, read across processes as screen readers read it.
std::wstring ItemText(HWND list, int index);
std::wstring ClassOf(HWND window);
// The window's rectangle in its parent's client coordinates.
Rect RectInParent(HWND window);
Rect ClientRect(HWND window);

// A screenshot of part of the screen, in screen coordinates.
struct Screenshot {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row

  Rgb At(int x, int y) const;
  bool Contains(int x, int y) const;
};
Screenshot CaptureScreen(const RECT& area);
// Writes the shot as a BMP file, for looking at a failure.
void SaveBitmap(const Screenshot& shot, const std::wstring& path);

void PrintTo(const Rgb& color, std::ostream* out);

int Distance(Rgb a, Rgb b);
// The pixel of an area (screen coordinates) that stands out most from its background: a
// stroke of the text.
Rgb StrongestInk(const Screenshot& shot, const RECT& area, Rgb background);

// The folder of this test program, where vorlane-calc.exe is built too; ends in a separator.
std::wstring ProgramFolder();
// The DPI the test screen was set to (VORLANE_TEST_DPI, set by the scaled test runs), else 96.
int ExpectedDpi();
// The bounds of the pixels of an area (screen coordinates) that stand out from its
// background; empty when none do.
RECT InkBounds(const Screenshot& shot, const RECT& area, Rgb background);
// Text drawn here, black on white, in a box of width × height at 0,0, in the font at the
// height given (the program's font at a DPI), as DrawTextW draws it with the format.
Screenshot RenderText(const std::wstring& text, const FontSpec& font, int fontHeight, int width,
                      int height, UINT format);

// How many presses of Down highlight the context menu's item of this command, from the
// menu just opened with nothing highlighted.
int MenuDownPresses(MenuCommand command);

// One running vorlane-calc.exe, started beside this test program (or where VORLANE_CALC_EXE
// says), and its main window.
class CalculatorProcessTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Ends the program as its window's close button does and starts it again.
  void Restart();

  HWND Key(int id) const;
  HWND Display() const;
  // BM_CLICK, so the button itself turns the click into WM_COMMAND.
  void Click(int id) const;
  void ClickAll(std::initializer_list<int> ids) const;
  std::wstring DisplayText() const;
  std::wstring Title() const;
  // The display text once it reads expected, or what it reads after the timeout.
  std::wstring WaitForDisplay(const std::wstring& expected) const;
  HWND FocusWindow() const;

  // Keyboard input as the hardware gives it: goes to the window with the focus.
  void PressKeys(std::initializer_list<WORD> modifiers, WORD key) const;
  // Types the text as on-screen keyboards and input tools do: SendInput's Unicode packets.
  void TypeText(const std::wstring& text) const;
  // Opens the display's context menu from the keyboard (Shift+F10) and chooses the item
  // of this command with the arrow keys and Enter (MenuDownPresses).
  void ChooseMenuItem(MenuCommand command) const;
  // Messages as the keyboard would send them, straight to the main window.
  void PostKeyDown(WPARAM keyCode) const;
  void PostChar(wchar_t ch) const;

  void SetClipboard(const std::wstring& text) const;
  std::wstring Clipboard() const;

  // Waits until every key and the display have painted in the colours this process has
  // active (ActiveColors), then shoots the whole window.
  Screenshot CaptureWindow() const;
  // A point of the main window's client area in screen coordinates.
  POINT ToScreen(int x, int y) const;

  void StartCalculator();
  void CloseCalculator();

  // Windows' dark-apps setting, written as the Settings app writes it and told to every
  // window, and the colours this process expects with it (ActiveColors). The user's own
  // comes back after the test, should it run on a real desktop.
  void UseDarkApps(bool dark);

  // Set before SetUp: the program shows no caret, which would blink in screenshots.
  bool hideCaret_ = false;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  HWND clipboardOwner_ = nullptr;
  std::optional<DWORD> userAppsUseLightTheme_;
};
