// What the program paints, read back from a screenshot of its window.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"

namespace {

// The pixels of a region that differ from its background, as a bitmap of rows.
struct Ink {
  int width = 0;
  int height = 0;
  std::vector<bool> set;
  RECT bounds{0, 0, 0, 0};  // of the set pixels, relative to the region; empty when none
  bool Empty() const { return bounds.right <= bounds.left; }
  bool At(int x, int y) const { return set[static_cast<std::size_t>(y) * width + x]; }
  void Start(int w, int h) {
    width = w;
    height = h;
    set.assign(static_cast<std::size_t>(w) * h, false);
    bounds = {w, h, 0, 0};
  }
  void Mark(int x, int y) {
    set[static_cast<std::size_t>(y) * width + x] = true;
    bounds.left = std::min<LONG>(bounds.left, x);
    bounds.top = std::min<LONG>(bounds.top, y);
    bounds.right = std::max<LONG>(bounds.right, x + 1);
    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
  }
};

Ink InkOf(const Screenshot& shot, RECT area, Rgb background) {
  Ink ink;
  ink.Start(area.right - area.left, area.bottom - area.top);
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) {
      // Faint anti-aliasing fringes are not ink.
      if (Distance(shot.At(area.left + x, area.top + y), background) >= 24) ink.Mark(x, y);
    }
  }
  return ink;
}

// The pixels where two shots of one area differ: what a change of text drew.
Ink DifferenceOf(const Screenshot& a, const Screenshot& b) {
  Ink ink;
  ink.Start(a.width, a.height);
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * ink.width + x;
      if (a.pixels[i] != b.pixels[i]) ink.Mark(x, y);
    }
  }
  return ink;
}

// Missing glyphs are all drawn as the same box: a row of them repeats itself when shifted
// by one advance. Different characters never line up like that.
bool LooksRepeated(const Ink& ink) {
  const int width = ink.bounds.right - ink.bounds.left;
  for (int shift = 2; shift <= width - width / 4; ++shift) {
    bool same = true;
    for (int y = ink.bounds.top; y < ink.bounds.bottom && same; ++y) {
      for (int x = ink.bounds.left; x + shift < ink.bounds.right; ++x) {
        if (ink.At(x, y) != ink.At(x + shift, y)) {
          same = false;
          break;
        }
      }
    }
    if (same) return true;
  }
  return false;
}

Screenshot Crop(const Screenshot& shot, RECT area) {
  Screenshot part;
  part.left = area.left;
  part.top = area.top;
  part.width = area.right - area.left;
  part.height = area.bottom - area.top;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      part.pixels.push_back(shot.pixels[static_cast<std::size_t>(y - shot.top) * shot.width +
                                        (x - shot.left)]);
    }
  }
  return part;
}

// U+0378 is unassigned: every font draws its missing-glyph shape for it.
constexpr wchar_t kMissingGlyph = L'\u0378';

class PaintingTest : public CalculatorProcessTest {
 protected:
  PaintingTest() { hideCaret_ = true; }

  // A failed test leaves its screen behind, <test name>.bmp in the working folder.
  void TearDown() override {
    if (HasFailure() && IsWindow(main_)) {
      RECT outer{};
      GetWindowRect(main_, &outer);
      const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
      SaveBitmap(CaptureScreen(outer), std::wstring(name.begin(), name.end()) + L".bmp");
    }
    CalculatorProcessTest::TearDown();
  }

  // The key's cell in screen coordinates.
  RECT Cell(int id) const {
    const Rect cell = RectInParent(Key(id));
    const POINT origin = ToScreen(cell.x, cell.y);
    return {origin.x, origin.y, origin.x + cell.width, origin.y + cell.height};
  }

  // Points inside the rounded rectangle's fill, clear of the text and the corners.
  static std::vector<POINT> FillPoints(RECT c) {
    const LONG midX = (c.left + c.right) / 2;
    const LONG midY = (c.top + c.bottom) / 2;
    return {{c.left + 4, midY}, {c.right - 5, midY}, {midX, c.top + 4}, {midX, c.bottom - 5}};
  }
  // The middle of each side of the 1-pixel outline, drawn inside the cell's edge.
  static std::vector<POINT> BorderPoints(RECT c) {
    const LONG midX = (c.left + c.right) / 2;
    const LONG midY = (c.top + c.bottom) / 2;
    return {{c.left + 1, midY}, {c.right - 2, midY}, {midX, c.top + 1}, {midX, c.bottom - 2}};
  }
  static RECT TextArea(RECT c) { return {c.left + 6, c.top + 6, c.right - 6, c.bottom - 6}; }

  void ExpectKeyPainted(const Screenshot& shot, int id, bool pressed) const {
    SCOPED_TRACE(testing::Message() << "key " << id << (pressed ? " pressed" : " normal"));
    const KeyColors colors = KeyColorsFor(id);
    const RECT cell = Cell(id);
    const Rgb fill = pressed ? colors.pressedFill : colors.fill;
    for (POINT p : FillPoints(cell)) EXPECT_EQ(shot.At(p.x, p.y), fill);
    for (POINT p : BorderPoints(cell)) EXPECT_EQ(shot.At(p.x, p.y), colors.border);
    // Anti-aliased text: its strongest stroke is the text colour, or very near it.
    const Rgb ink = StrongestInk(shot, TextArea(cell), fill);
    EXPECT_LE(Distance(ink, colors.text), 40) << testing::PrintToString(ink);
  }

  // Shoots until the area stops changing, so that a repaint in progress is not judged.
  Screenshot SettledShot(RECT area, const Screenshot* differentFrom = nullptr,
                         int timeoutMs = 5000) const {
    Screenshot previous = CaptureScreen(area);
    Screenshot shot;
    WaitUntil([&] {
      Sleep(60);
      shot = CaptureScreen(area);
      const bool settled = shot.pixels == previous.pixels;
      previous = shot;
      return settled && (differentFrom == nullptr || shot.pixels != differentFrom->pixels);
    }, timeoutMs);
    return shot;
  }

  RECT Caption() const {
    RECT outer{};
    GetWindowRect(main_, &outer);
    const POINT client = ToScreen(0, 0);
    // The left part, where the icon and the title stand, clear of the caption buttons.
    return {outer.left, outer.top, outer.left + (outer.right - outer.left) / 2, client.y};
  }

  RECT DisplayArea() const {
    const Rect display = RectInParent(Display());
    const POINT origin = ToScreen(display.x, display.y);
    return {origin.x, origin.y, origin.x + display.width, origin.y + display.height};
  }
};

TEST_F(PaintingTest, EveryKeyHasTheColoursOfItsKind) {
  const Screenshot shot = CaptureWindow();
  for (const ButtonDef& key : g_buttons) ExpectKeyPainted(shot, key.id, false);
}

TEST_F(PaintingTest, AHeldKeyTakesItsPressedFill) {
  for (const ButtonDef& key : g_buttons) {
    const RECT cell = Cell(key.id);
    const POINT probe = FillPoints(cell).front();
    SendMessageW(Key(key.id), BM_SETSTATE, TRUE, 0);
    const Rgb pressed = KeyColorsFor(key.id).pressedFill;
    Screenshot shot;
    // One key that never shows its pressed fill is enough: do not wait for all 48.
    ASSERT_TRUE(WaitUntil(
        [&] { return (shot = CaptureScreen(cell)).At(probe.x, probe.y) == pressed; }, 2000))
        << "key " << key.id << " shows " << testing::PrintToString(shot.At(probe.x, probe.y));
    ExpectKeyPainted(shot, key.id, true);
    SendMessageW(Key(key.id), BM_SETSTATE, FALSE, 0);
    const Rgb normal = KeyColorsFor(key.id).fill;
    ASSERT_TRUE(WaitUntil([&] { return CaptureScreen(cell).At(probe.x, probe.y) == normal; }, 2000))
        << "key " << key.id << " keeps its pressed fill after release";
  }
}

// The colour table as the user sees it, for a few keys, independent of the shared code.
TEST_F(PaintingTest, SampleKeysShowTheirListedColours) {
  struct Row {
    int id;
    bool pressed;
    Rgb fill;
    Rgb border;
  };
  const Row rows[] = {
      {kKeyEquals, false, {220, 50, 50}, {180, 30, 30}},    // "=" red
      {kKeyEquals, true, {190, 40, 40}, {180, 30, 30}},     // and darker while held
      {kKeyAllClear, true, {225, 225, 225}, {200, 200, 200}}, // AC lighter than other held grey keys
      {kKey4, true, {220, 220, 220}, {205, 205, 205}}, // "4"
      {kKeyPlus, false, {253, 235, 235}, {230, 160, 160}},// "+"
      {kKeyMemoryRecall, false, {252, 245, 245}, {225, 180, 180}},// "mr"
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.id << (row.pressed ? " pressed" : ""));
    const RECT cell = Cell(row.id);
    const POINT probe = FillPoints(cell).front();
    SendMessageW(Key(row.id), BM_SETSTATE, row.pressed, 0);
    Screenshot shot;
    WaitUntil([&] { return (shot = CaptureScreen(cell)).At(probe.x, probe.y) == row.fill; }, 2000);
    EXPECT_EQ(shot.At(probe.x, probe.y), row.fill);
    const POINT edge = BorderPoints(cell).front();
    EXPECT_EQ(shot.At(edge.x, edge.y), row.border);
    SendMessageW(Key(row.id), BM_SETSTATE, FALSE, 0);
  }
  // mr's text is red, mc's grey, whatever the memory holds.
  ClickAll({kKey1, kKeyMemoryAdd});  // 1, m+: the memory holds 1
  const Screenshot shot = CaptureWindow();
  EXPECT_LE(Distance(StrongestInk(shot, TextArea(Cell(kKeyMemoryRecall)), {252, 245, 245}), {220, 50, 50}), 40);
  EXPECT_LE(Distance(StrongestInk(shot, TextArea(Cell(kKeyMemoryClear)), {252, 245, 245}), {160, 160, 160}), 40);
}

// Every symbol of every label, in both modes, is drawn as itself: the key looks different
// when that one character is swapped for a missing glyph.
TEST_F(PaintingTest, KeyLabelsHaveAGlyphForEverySymbol) {
  for (const bool second : {false, true}) {
    if (second) Click(kKeySecond);  // 2nd
    RECT outer{};
    GetWindowRect(main_, &outer);
    const Screenshot window = SettledShot(outer);
    for (const ButtonDef& key : g_buttons) {
      const std::wstring text = TextOf(Key(key.id));
      const RECT cell = Cell(key.id);
      const Screenshot real = Crop(window, cell);
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x80) continue;
        SCOPED_TRACE(testing::Message() << "key " << key.id << ", character " << i << " of "
                                        << testing::PrintToString(text));
        std::wstring swapped = text;
        swapped[i] = kMissingGlyph;
        SetWindowTextW(Key(key.id), swapped.c_str());
        InvalidateRect(Key(key.id), nullptr, TRUE);
        const Screenshot boxed = SettledShot(cell, &real, 1500);
        EXPECT_TRUE(real.pixels != boxed.pixels) << "drawn as a missing glyph";
        SetWindowTextW(Key(key.id), text.c_str());
        InvalidateRect(Key(key.id), nullptr, TRUE);
        SettledShot(cell, &boxed, 1500);
      }
    }
  }
}

TEST_F(PaintingTest, TheDisplayIsWhiteWithDarkText) {
  ClickAll({kKey8, kKey8, kKey8});  // 888
  ASSERT_EQ(WaitForDisplay(L"888"), L"888");
  const Screenshot shot = SettledShot(DisplayArea());
  const RECT area = DisplayArea();
  for (POINT p : std::vector<POINT>{{area.left + 2, area.top + 2},
                                    {area.left + 2, area.bottom - 3},
                                    {(area.left + area.right) / 2, area.top + 2},
                                    {area.right - 3, area.bottom - 3}}) {
    EXPECT_EQ(shot.At(p.x, p.y), kDisplayBackground);
  }
  EXPECT_LE(Distance(StrongestInk(shot, area, kDisplayBackground), kDisplayTextColor), 40);
  // Right-aligned: the text stands in the right half.
  const Ink ink = InkOf(shot, area, kDisplayBackground);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GT(ink.bounds.left, ink.width / 2);
}

TEST_F(PaintingTest, ChineseTitleIsDrawnWithACjkFont) {
  const RECT caption = Caption();
  const Screenshot real = SettledShot(caption);
  // The same caption without the Chinese, and with as many missing glyphs instead.
  SetWindowTextW(main_, L"Vorlane-");
  const Screenshot latin = SettledShot(caption, &real);
  const std::wstring missing = L"Vorlane-" + std::wstring(3, kMissingGlyph);
  SetWindowTextW(main_, missing.c_str());
  const Screenshot boxes = SettledShot(caption, &latin);

  const Ink chinese = DifferenceOf(real, latin);
  ASSERT_FALSE(chinese.Empty()) << "nothing drawn for 计算器";
  EXPECT_TRUE(real.pixels != boxes.pixels) << "计算器 drawn as missing glyphs";
  EXPECT_FALSE(LooksRepeated(chinese)) << "计算器 drawn as three alike shapes";
  // The check itself tells boxes apart: three missing glyphs do repeat.
  const Ink boxInk = DifferenceOf(boxes, latin);
  EXPECT_TRUE(boxInk.Empty() || LooksRepeated(boxInk));

  Click(kKeyAllClear);  // AC: UpdateDisplay writes the real title again
  EXPECT_EQ(Title(), std::wstring(kWindowTitle));
}

TEST_F(PaintingTest, ChineseDisplayTextIsDrawnWithACjkFont) {
  const RECT area = DisplayArea();
  ClickAll({kKey1, kKeyDivide, kKey0, kKeyEquals});  // 1 ÷ 0 =
  ASSERT_EQ(DisplayText(), L"\u9519\u8BEF");  // 错误
  const Screenshot error = SettledShot(area);
  const Ink errorInk = InkOf(error, area, kDisplayBackground);

  Click(kKeyAllClear);
  SetClipboard(std::wstring(2, kMissingGlyph));
  PressKeys({VK_CONTROL}, 'V');
  ASSERT_EQ(WaitForDisplay(std::wstring(2, kMissingGlyph)), std::wstring(2, kMissingGlyph));
  const Screenshot boxes = SettledShot(area, &error);
  const Ink boxInk = InkOf(boxes, area, kDisplayBackground);

  ASSERT_FALSE(errorInk.Empty()) << "nothing drawn for 错误";
  EXPECT_TRUE(error.pixels != boxes.pixels) << "错误 drawn as missing glyphs";
  EXPECT_FALSE(LooksRepeated(errorInk)) << "错 and 误 drawn alike";
  // The check itself tells boxes apart: two missing glyphs do repeat.
  EXPECT_TRUE(boxInk.Empty() || LooksRepeated(boxInk));
}

// "&" is no mnemonic prefix in the display: "1&2" is drawn as that text is, where a
// prefix would draw "12" with the 2 underlined.
TEST_F(PaintingTest, AnAmpersandInTheDisplayIsDrawnAsItself) {
  const RECT area = DisplayArea();
  SetClipboard(L"1&2");
  PressKeys({VK_CONTROL}, 'V');
  ASSERT_EQ(WaitForDisplay(L"1&2"), L"1&2");
  const RECT seen = InkBounds(SettledShot(area), area, kDisplayBackground);
  const Screenshot text =
      RenderText(L"1&2", kDisplayFont, ScaleForDpi(kDisplayFont.height, ExpectedDpi()),
                 area.right - area.left, area.bottom - area.top,
                 DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  const RECT want = InkBounds(text, {0, 0, text.width, text.height}, {255, 255, 255});
  ASSERT_GT(want.right, want.left);
  // Give or take a pixel of anti-aliasing.
  EXPECT_NEAR(seen.left - area.left, want.left, 1);
  EXPECT_NEAR(seen.right - area.left, want.right, 1);
  EXPECT_NEAR(seen.bottom - area.top, want.bottom, 1);
}

// Windows' dark-apps setting, in the test's own prefix.
class DarkModeTest : public PaintingTest {
 protected:
  void SetUp() override {
    UseDarkApps(true);
    PaintingTest::SetUp();
  }
};

// Starts dark; the settings' broadcast switches it to light and back without a restart.
TEST_F(DarkModeTest, FollowsTheSystemsSettingLive) {
  ClickAll({kKey8, kKey8});  // 88, ink for the display's text colour
  for (const bool dark : {true, false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    if (ActiveColors().displayBackground != (dark ? kDarkColors : kLightColors).displayBackground) {
      UseDarkApps(dark);
    }
    const Screenshot shot = CaptureWindow();
    for (const ButtonDef& key : g_buttons) ExpectKeyPainted(shot, key.id, false);
    const RECT area = DisplayArea();
    const Rgb background = ActiveColors().displayBackground;
    EXPECT_EQ(shot.At(area.left + 2, area.top + 2), background);
    EXPECT_LE(Distance(StrongestInk(shot, area, background), ActiveColors().displayText), 40);
    // The window's margin, and round a key's corner, where the set has its own background.
    if (const std::optional<Rgb> own = ActiveColors().windowBackground) {
      const POINT margin = ToScreen(2, 2);
      EXPECT_EQ(shot.At(margin.x, margin.y), *own);
      EXPECT_EQ(shot.At(Cell(kKeyEquals).left, Cell(kKeyEquals).top), *own);
    }
  }
}

}  // namespace
