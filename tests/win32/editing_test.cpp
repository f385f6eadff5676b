// The expression edited as text in the real program: the caret keys, undo and redo, Up,
// a click on the display, and the main window's system caret that screen readers follow.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver.h"
#include "engine/engine.h"

namespace {

using WindowEditingTest = CalculatorProcessTest;

TEST_F(WindowEditingTest, CaretKeysUndoRedoRecallAndAClickEditTheExpression) {
  const Rect band = RectInParent(Display());
  GUITHREADINFO thread{};
  // The caret as another process sees it, once it stands elsewhere than `from`.
  const auto caretMoved = [&](const RECT& from) {
    return WaitUntil([&] {
      thread = {};
      thread.cbSize = sizeof thread;
      return GetGUIThreadInfo(process_.dwThreadId, &thread) && thread.hwndCaret == main_ &&
             !EqualRect(&thread.rcCaret, &from);
    });
  };
  const auto expectOverTheDisplay = [&] {
    EXPECT_EQ(thread.hwndCaret, main_);
    EXPECT_GE(thread.rcCaret.left, band.x);
    EXPECT_LE(thread.rcCaret.right, band.x + band.width);
    EXPECT_GE(thread.rcCaret.top, band.y);
    EXPECT_LE(thread.rcCaret.bottom, band.y + band.height);
    EXPECT_GT(thread.rcCaret.bottom, thread.rcCaret.top);
  };

  TypeText(L"12+34*5");
  ASSERT_EQ(WaitForDisplay(L"12+34*5"), L"12+34*5");
  ASSERT_TRUE(caretMoved({})) << "no caret of the main window";
  expectOverTheDisplay();
  // The text fits: its end, where the caret is, stands at the band's right end.
  EXPECT_NEAR(thread.rcCaret.right, band.x + band.width, 1);
  {
    // A bar in the text's colour that comes and goes, as the system blinks it.
    POINT corner{thread.rcCaret.left, thread.rcCaret.top};
    ClientToScreen(main_, &corner);
    const RECT bar{corner.x, corner.y, corner.x + (thread.rcCaret.right - thread.rcCaret.left),
                   corner.y + (thread.rcCaret.bottom - thread.rcCaret.top)};
    const auto barShows = [&](Rgb color) {
      const Screenshot shot = CaptureScreen(bar);
      const std::uint32_t pixel =
          (std::uint32_t{color.r} << 16) | (std::uint32_t{color.g} << 8) | color.b;
      const auto inColor = std::count(shot.pixels.begin(), shot.pixels.end(), pixel);
      return inColor > static_cast<std::ptrdiff_t>(shot.pixels.size() * 3 / 4);
    };
    EXPECT_TRUE(WaitUntil([&] { return barShows(ActiveColors().displayText); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return barShows(ActiveColors().displayBackground); }, 3000));
  }
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(testing::Message() << "Left " << i + 1);
    const RECT before = thread.rcCaret;
    PressKeys({}, VK_LEFT);
    ASSERT_TRUE(caretMoved(before));
    expectOverTheDisplay();
    EXPECT_LT(thread.rcCaret.left, before.left);
  }
  PressKeys({}, VK_BACK);
  EXPECT_EQ(WaitForDisplay(L"12+4*5"), L"12+4*5");
  PressKeys({}, VK_HOME);
  TypeText(L"(");
  PressKeys({}, VK_END);
  TypeText(L")");
  EXPECT_EQ(WaitForDisplay(L"(12+4*5)"), L"(12+4*5)");

  const std::wstring result = EvaluateText(L"(12+4*5)");
  TypeText(L"=");
  EXPECT_EQ(WaitForDisplay(result), result);
  PressKeys({VK_CONTROL}, 'Z');
  EXPECT_EQ(WaitForDisplay(L"(12+4*5)"), L"(12+4*5)");
  PressKeys({VK_CONTROL}, 'Y');
  EXPECT_EQ(WaitForDisplay(result), result);

  PressKeys({}, VK_ESCAPE);
  EXPECT_EQ(WaitForDisplay(L"0"), L"0");
  PressKeys({}, VK_UP);
  EXPECT_EQ(WaitForDisplay(L"(12+4*5)"), L"(12+4*5)");

  PressKeys({}, VK_ESCAPE);
  TypeText(L"23");
  ASSERT_EQ(WaitForDisplay(L"23"), L"23");
  // The mouse as the hardware gives it, at the band's left edge, left of the text.
  const POINT edge = ToScreen(band.x, band.y + band.height / 2);
  SetCursorPos(edge.x, edge.y);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  TypeText(L"1");
  EXPECT_EQ(WaitForDisplay(L"123"), L"123");
  EXPECT_EQ(FocusWindow(), main_);
}

}  // namespace
