// The window on a screen of the DPI the run was given (96 in the ordinary run, 144 and
// 192 in the scaled runs): sizes, grid, fonts and text follow it.
#include <array>
#include <string>

#include "driver.h"
#include "calculator/calculate.h"
#include "calculator/calculator.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "fake_window.h"

namespace {

// The display's ink is measured against text drawn alone.
class ScaledTest : public CalculatorProcessTest {
 protected:
  ScaledTest() { hideCaret_ = true; }
};

RECT ScreenArea(HWND control) {
  RECT area{};
  GetWindowRect(control, &area);
  return area;
}

// The ink of a control on the screen against the same text drawn here in the program's
// font at the screen's DPI: same size and place, give or take a pixel of anti-aliasing.
// This is how the fonts are checked: Wine keeps a font handle to its own process.
void ExpectDrawnLike(const Screenshot& shot, const RECT& area, const RECT& inside, Rgb background,
                     const Screenshot& rendering) {
  const RECT seen = InkBounds(shot, inside, background);
  const RECT insideRendering{inside.left - area.left, inside.top - area.top,
                             inside.right - area.left, inside.bottom - area.top};
  const RECT want = InkBounds(rendering, insideRendering, {255, 255, 255});
  ASSERT_GT(want.bottom, want.top) << "the driver drew nothing";
  EXPECT_NEAR(seen.bottom - seen.top, want.bottom - want.top, 1) << "height";
  EXPECT_NEAR(seen.right - seen.left, want.right - want.left, 1) << "width";
  EXPECT_NEAR(seen.top - area.top, want.top, 1) << "top";
  EXPECT_NEAR(seen.left - area.left, want.left, 1) << "left";
}

void ExpectRect(const Rect& seen, const Rect& want) {
  EXPECT_EQ(seen.x, want.x);
  EXPECT_EQ(seen.y, want.y);
  EXPECT_EQ(seen.width, want.width);
  EXPECT_EQ(seen.height, want.height);
}

TEST_F(ScaledTest, WindowAndGridFollowTheScreenDpi) {
  const int dpi = ExpectedDpi();
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  ASSERT_NE(getDpiForWindow, nullptr);
  ASSERT_EQ(static_cast<int>(getDpiForWindow(main_)), dpi);

  RECT outer{};
  GetWindowRect(main_, &outer);
  EXPECT_EQ(outer.right - outer.left, ScaleForDpi(kWindowWidth, dpi));
  EXPECT_EQ(outer.bottom - outer.top, ScaleForDpi(kWindowHeight, dpi));

  const Rect client = ClientRect(main_);
  {
    SCOPED_TRACE("display");
    ExpectRect(RectInParent(Display()), DisplayRect(client.width, client.height, dpi));
  }
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    ExpectRect(RectInParent(Key(key.id)), KeyRect(key, client.width, client.height, dpi));
  }
}

TEST_F(ScaledTest, KeyAndDisplayTextAreDrawnAtTheScaledSize) {
  const int dpi = ExpectedDpi();
  ClickAll({kKey8, kKey8});
  ASSERT_EQ(WaitForDisplay(L"88"), L"88");
  const Screenshot shot = CaptureWindow();
  {
    SCOPED_TRACE("key 8");
    const RECT area = ScreenArea(Key(kKey8));
    // Clear of the rounded corners and the border.
    const int edge = ScaleForDpi(kKeyCornerDiameter / 2 + kKeyInset + kKeyBorderWidth, dpi);
    const RECT inside{area.left + edge, area.top + edge, area.right - edge, area.bottom - edge};
    ExpectDrawnLike(shot, area, inside, KeyColorsFor(kKey8).fill,
                    RenderText(L"8", kKeyFont, ScaleForDpi(kKeyFont.height, dpi),
                               area.right - area.left, area.bottom - area.top,
                               DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  }
  {
    SCOPED_TRACE("display");
    const RECT area = ScreenArea(Display());
    ExpectDrawnLike(shot, area, area, kDisplayBackground,
                    RenderText(L"88", kDisplayFont, ScaleForDpi(kDisplayFont.height, dpi),
                               area.right - area.left, area.bottom - area.top,
                               DT_RIGHT | DT_VCENTER | DT_SINGLELINE));
  }
}

// The band's cells on the screen.
RECT InArea(const RECT& area, const Rect& cell) {
  return {area.left + cell.x, area.top + cell.y, area.left + cell.x + cell.width,
          area.top + cell.y + cell.height};
}

// The area once it differs from before (or, with same, once it equals it) and holds still.
Screenshot ShotOnceChanged(const RECT& area, const Screenshot& before, bool same = false) {
  Screenshot shot = CaptureScreen(area);
  WaitUntil([&] {
    Sleep(60);
    const Screenshot next = CaptureScreen(area);
    const bool still = next.pixels == shot.pixels;
    shot = next;
    return still && (shot.pixels == before.pixels) == same;
  });
  return shot;
}

// After "=", in light and in dark: the line in the secondary colour in its cell at the top
// of the band, the expression in its own cell below, each drawn as DrawTextW draws it
// there; turned off, the display is again what it was with the line never on.
TEST_F(ScaledTest, TheExpressionLineStandsInTheBandsTopCellAndTheExpressionBelowIt) {
  const int dpi = ExpectedDpi();
  // What the core shows for it, computed in this process.
  const std::wstring typed = L"12+4*5";
  ResetCalculator();
  g_expressionLineOn = true;
  g_expr = typed;
  g_caret = g_anchor = typed.size();
  Calculate(FakeHandle());
  const std::wstring line = g_fakeWindow.line;
  TypeText(typed + L"=");
  ASSERT_EQ(WaitForDisplay(g_expr), g_expr);
  const RECT area = ScreenArea(Display());
  const int width = area.right - area.left;
  const RECT lineCell = InArea(area, ExpressionLineRect(width, dpi));
  const RECT expressionCell = InArea(area, ExpressionCellRect(width, dpi));
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    if (dark) UseDarkApps(true);
    CaptureWindow();  // in this set's colours
    const Screenshot alone = CaptureScreen(area);
    ChooseMenuItem(kMenuExpressionLine);
    const Screenshot shot = ShotOnceChanged(area, alone);
    const Rgb background = ActiveColors().displayBackground;
    {
      SCOPED_TRACE("line");
      ExpectDrawnLike(shot, area, lineCell, background,
                      RenderText(line, kExpressionLineFont,
                                 ScaleForDpi(kExpressionLineFont.height, dpi), width,
                                 lineCell.bottom - area.top, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE));
      EXPECT_LE(Distance(StrongestInk(shot, lineCell, background),
                         ActiveColors().displaySecondaryText), 40);
    }
    {
      SCOPED_TRACE("expression");
      ExpectDrawnLike(shot, area, expressionCell, background,
                      RenderText(g_expr, kDisplayFont, ScaleForDpi(kDisplayFont.height, dpi),
                                 width, expressionCell.bottom - area.top,
                                 DT_RIGHT | DT_BOTTOM | DT_SINGLELINE));
      EXPECT_LE(Distance(StrongestInk(shot, expressionCell, background),
                         ActiveColors().displayText), 40);
    }
    ChooseMenuItem(kMenuExpressionLine);
    EXPECT_TRUE(ShotOnceChanged(area, alone, true).pixels == alone.pixels);
  }
}

// Wine makes every window per-monitor aware, manifest or not: the manifest is read here
// by the system's own activation-context parser, as Windows reads it at start.
TEST(Manifest, DeclaresPerMonitorDpiAwarenessWithTheOlderFormAsFallback) {
  const std::wstring program = ProgramFolder() + L"vorlane-calc.exe";
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = program.c_str();
  request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no manifest resource 1 in vorlane-calc.exe";
  const auto setting = [&](const wchar_t* space, const wchar_t* name) {
    std::array<wchar_t, 128> value{};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space, name, value.data(), value.size(), &written)) {
      return std::wstring();
    }
    return std::wstring(value.data());
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true/pm");
  ReleaseActCtx(context);
}

}  // namespace
