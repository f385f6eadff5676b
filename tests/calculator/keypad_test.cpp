// The keypad table, the key texts for the modes, the title, the layout and the colours.
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "calculator_fixture.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "calculator/refresh.h"

namespace {

TEST(KeypadTable, MatchesTheKeypadInOrder) {
  ASSERT_EQ(g_buttons.size(), std::size(kExpectedKeys));
  for (std::size_t i = 0; i < g_buttons.size(); ++i) {
    SCOPED_TRACE(i);
    const ButtonDef& key = g_buttons[i];
    const ExpectedKey& expected = kExpectedKeys[i];
    EXPECT_EQ(key.id, expected.id);
    EXPECT_EQ(key.row, expected.row);
    EXPECT_EQ(key.column, expected.column);
    EXPECT_EQ(key.label, expected.label);
    EXPECT_EQ(key.secondLabel, expected.secondLabel);
    EXPECT_EQ(key.colorClass, expected.colorClass);
  }
}

TEST(KeypadTable, IdsAndCellsFillTheGridOnce) {
  std::set<int> ids;
  std::set<std::pair<int, int>> cells;
  for (const ButtonDef& key : g_buttons) {
    ids.insert(key.id);
    cells.insert({key.row, key.column});
    EXPECT_GE(key.row, 0);
    EXPECT_LT(key.row, kKeyRows);
    EXPECT_GE(key.column, 0);
    EXPECT_LT(key.column, kKeyColumns);
  }
  EXPECT_EQ(ids.size(), 48u);
  EXPECT_EQ(*ids.begin(), kFirstKeyId);
  EXPECT_EQ(*ids.rbegin(), kLastKeyId);
  EXPECT_EQ(cells.size(), 48u);
}

TEST(KeypadTable, FindButtonByIdOnly) {
  for (const ButtonDef& key : g_buttons) EXPECT_EQ(FindButton(key.id), &key);
  for (int id : std::initializer_list<int>{kDisplayId, 0, -1, 1049, 2000}) EXPECT_EQ(FindButton(id), nullptr) << id;
}

class KeyLabelTest : public CalculatorTest {};

TEST_F(KeyLabelTest, EachModeShowsItsTexts) {
  struct Mode {
    const wchar_t* keys;
    bool second;
    const wchar_t* angleKey;
  };
  const Mode kModes[] = {
      {L"2nd", true, L"Rad"},
      {L"Rad", false, L"Deg"},
      {L"2nd Rad", true, L"Deg"},
      {L"2nd Rad 2nd", false, L"Deg"},
      {L"2nd Rad 2nd Rad", false, L"Rad"},
  };
  for (const Mode& mode : kModes) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{mode.keys}));
    ResetCalculator();
    ResetFakeWindow();
    Press(mode.keys);
    for (const ExpectedKey& key : kExpectedKeys) {
      std::wstring text = mode.second && *key.secondLabel ? key.secondLabel : key.label;
      if (key.id == kKeyAngleMode) text = mode.angleKey;
      EXPECT_EQ(g_fakeWindow.keyTexts[key.id], text) << key.id;
      EXPECT_EQ(KeyText(*FindButton(key.id)), text) << key.id;
      // A description goes with every label a key can show, and changes with it.
      const ButtonDef& def = *FindButton(key.id);
      const std::wstring& said = g_fakeWindow.keyDescriptions[key.id];
      EXPECT_FALSE(said.empty()) << key.id;
      EXPECT_EQ(said, text == def.label ? def.description : def.secondDescription) << key.id;
      EXPECT_EQ(def.secondLabel.empty(), def.secondDescription.empty()) << key.id;
    }
  }
}

TEST_F(KeyLabelTest, SecondModeExamples) {
  Press(L"2nd");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeySin], L"asin");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeySquare], L"\u221A");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeySqrt], L"x\u00B2");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeySecond], L"2nd");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeyEquals], L"=");
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeyAngleMode], L"Rad");
}

TEST_F(KeyLabelTest, ModeKeysLeaveTheDisplayAlone) {
  Press(L"1 2 +");
  g_fakeWindow.calls.clear();
  Press(L"2nd Rad");
  for (const std::string& call : g_fakeWindow.calls) EXPECT_NE(call, "display");
  for (const std::string& call : g_fakeWindow.calls) EXPECT_NE(call, "title");
  ExpectText(L"12+");
}

using TitleTest = CalculatorTest;

TEST_F(TitleTest, MemoryMarkAboveOnePicoOnly) {
  EXPECT_EQ(kWindowTitle, L"Vorlane-\u8BA1\u7B97\u5668");
  const std::wstring marked = std::wstring{kWindowTitle} + L"   [M]";
  const std::pair<double, bool> kRows[] = {
      {0.0, false},
      {-0.0, false},
      {1e-12, false},
      {-1e-12, false},
      {2e-12, true},
      {-5.0, true},
      {1.0000000000000002e-12, true},
      {std::nan(""), false},
      {INFINITY, true},
      {-INFINITY, true},
  };
  for (const auto& [memory, isMarked] : kRows) {
    SCOPED_TRACE(memory);
    g_memory = memory;
    EXPECT_EQ(WindowTitle(), isMarked ? marked : std::wstring{kWindowTitle});
  }
}

TEST_F(TitleTest, ErrorShownWithTheMemoryTitle) {
  Press(L"3 m+ 1 ÷ 0 =");
  ExpectText(L"错误");
  EXPECT_EQ(g_fakeWindow.title, std::wstring{kWindowTitle} + L"   [M]");
}

struct LayoutRow {
  int width;
  int height;
  int cellWidth;
  int cellHeight;
};

// The cell sizes by hand; division truncates toward zero, so -1/8 is 0, not -1.
const LayoutRow kLayouts[] = {
    {kStartClientWidth, kStartClientHeight, 92, 66},
    {820, 580, 94, 72},
    {66, 144, 0, 0},
    {65, 143, 0, 0},
    {60, 130, 0, -2},
    {0, 0, -8, -24},
    {1, 1, -8, -23},
    {67, 150, 0, 1},
    {74, 150, 1, 1},
    {65535, 65535, 8183, 10898},
};

TEST(Layout, DisplayBandOverTheWidth) {
  for (const LayoutRow& row : kLayouts) {
    const Rect display = DisplayRect(row.width, row.height);
    EXPECT_EQ(display.x, 12);
    EXPECT_EQ(display.y, 5);
    EXPECT_EQ(display.width, row.width - 24) << row.width;
    EXPECT_EQ(display.height, 80);
  }
}

TEST(Layout, KeysOnTheGrid) {
  for (const LayoutRow& row : kLayouts) {
    SCOPED_TRACE(::testing::Message() << row.width << " x " << row.height);
    for (const ExpectedKey& expected : kExpectedKeys) {
      const Rect rect = KeyRect(*FindButton(expected.id), row.width, row.height);
      EXPECT_EQ(rect.x, 12 + expected.column * (row.cellWidth + 6)) << expected.id;
      EXPECT_EQ(rect.y, 102 + expected.row * (row.cellHeight + 6)) << expected.id;
      EXPECT_EQ(rect.width, row.cellWidth) << expected.id;
      EXPECT_EQ(rect.height, row.cellHeight) << expected.id;
    }
  }
}

// Other DPIs, by hand: the base numbers rounded as MulDiv rounds (7.5 gives 8), the
// cells from what they leave.
struct ScaledLayoutRow {
  int dpi;
  int width;
  int height;
  int margin;
  int gap;
  int displayTop;
  int displayHeight;
  int keypadTop;
  int cellWidth;
  int cellHeight;
};

const ScaledLayoutRow kScaledLayouts[] = {
    {120, 1000, 700, 15, 8, 6, 100, 128, 114, 86},
    {144, 1206, 816, 18, 9, 8, 120, 153, 138, 100},
    {192, 1608, 1082, 24, 12, 10, 160, 204, 184, 132},
};

TEST(Layout, ScalesTheBaseNumbersAndDerivesTheCells) {
  for (const ScaledLayoutRow& row : kScaledLayouts) {
    SCOPED_TRACE(::testing::Message() << row.dpi << " DPI");
    const Rect display = DisplayRect(row.width, row.height, row.dpi);
    EXPECT_EQ(display.x, row.margin);
    EXPECT_EQ(display.y, row.displayTop);
    EXPECT_EQ(display.width, row.width - 2 * row.margin);
    EXPECT_EQ(display.height, row.displayHeight);
    for (const ExpectedKey& expected : kExpectedKeys) {
      const Rect rect = KeyRect(*FindButton(expected.id), row.width, row.height, row.dpi);
      EXPECT_EQ(rect.x, row.margin + expected.column * (row.cellWidth + row.gap)) << expected.id;
      EXPECT_EQ(rect.y, row.keypadTop + expected.row * (row.cellHeight + row.gap)) << expected.id;
      EXPECT_EQ(rect.width, row.cellWidth) << expected.id;
      EXPECT_EQ(rect.height, row.cellHeight) << expected.id;
    }
  }
}

TEST(Layout, ScalesAsMulDivRounds) {
  EXPECT_EQ(ScaleForDpi(20, kBaseDpi), 20);
  EXPECT_EQ(ScaleForDpi(1, 144), 2);   // 1.5
  EXPECT_EQ(ScaleForDpi(1, 120), 1);   // 1.25
  EXPECT_EQ(ScaleForDpi(3, 120), 4);   // 3.75
  EXPECT_EQ(ScaleForDpi(44, 144), 66);
  EXPECT_EQ(ScaleForDpi(-1, 144), -2);  // half away from zero
  EXPECT_EQ(ScaleForDpi(820, 192), 1640);
}

TEST(Layout, StartSizeLeavesMarginsOf12PlusTheRemainder) {
  const ButtonDef& equals = *FindButton(kKeyEquals);  // bottom right
  const Rect rect = KeyRect(equals, kStartClientWidth, kStartClientHeight);
  EXPECT_EQ(rect.x, 698);
  EXPECT_EQ(rect.y, 462);
  EXPECT_EQ(kStartClientWidth - (rect.x + rect.width), 12 + 2);
  EXPECT_EQ(kStartClientHeight - (rect.y + rect.height), 12 + 1);
}

struct ColorRow {
  int id;
  std::uint32_t fill;
  std::uint32_t pressedFill;
  std::uint32_t border;
  std::uint32_t text;
};

// COLORREF values 0x00BBGGRR, as the Windows program hands them to GDI.
constexpr std::uint32_t ToColorRef(Rgb c) { return c.r | (c.g << 8) | (c.b << 16); }

constexpr ColorRow kEqualsRow{kKeyEquals, 0x3232DC, 0x2828BE, 0x1E1EB4, 0xFFFFFF};
constexpr ColorRow kOperator{0, 0xEBEBFD, 0xC8C8F0, 0xA0A0E6, 0x3232DC};
constexpr ColorRow kMemoryRecall{kKeyMemoryRecall, 0xF5F5FC, 0xDCDCF5, 0xB4B4E1, 0x3232DC};
constexpr ColorRow kMemory{0, 0xF5F5FC, 0xDCDCF5, 0xB4B4E1, 0xA0A0A0};
constexpr ColorRow kEditing{0, 0xF7F7F7, 0xE1E1E1, 0xC8C8C8, 0x3232DC};
constexpr ColorRow kOther{0, 0xF7F7F7, 0xDCDCDC, 0xCDCDCD, 0x323232};

ColorRow ExpectedColors(int id) {
  ColorRow row = kOther;
  if (id == kKeyEquals) row = kEqualsRow;
  if (id >= kKeyPlus && id <= kKeyDivide) row = kOperator;
  if (id >= kKeyMemoryClear && id <= kKeyMemorySubtract) row = kMemory;
  if (id == kKeyMemoryRecall) row = kMemoryRecall;
  if (id >= kKeyAllClear && id <= kKeySign) row = kEditing;
  row.id = id;
  return row;
}

void ExpectColors(const ColorRow& expected) {
  const KeyColors colors = KeyColorsFor(expected.id);
  EXPECT_EQ(ToColorRef(colors.fill), expected.fill) << expected.id;
  EXPECT_EQ(ToColorRef(colors.pressedFill), expected.pressedFill) << expected.id;
  EXPECT_EQ(ToColorRef(colors.border), expected.border) << expected.id;
  EXPECT_EQ(ToColorRef(colors.text), expected.text) << expected.id;
}

TEST(KeyColors, EveryKey) {
  for (const ExpectedKey& key : kExpectedKeys) ExpectColors(ExpectedColors(key.id));
}

TEST(KeyColors, IdsWithoutAKeyAreOrdinaryKeys) {
  for (int id : std::initializer_list<int>{kDisplayId, 0, -1, 1049, 5000}) ExpectColors(ExpectedColors(id));
}

TEST(KeyColors, MemoryKeysDoNotFollowTheMemory) {
  g_memory = 5.0;
  ExpectColors(ExpectedColors(kKeyMemoryClear));
  ExpectColors(ExpectedColors(kKeyMemoryRecall));
  g_memory = 0.0;
}

TEST(KeyColors, RgbAndColorRefAgree) {
  const KeyColors equals = KeyColorsFor(kKeyEquals);
  EXPECT_EQ(equals.fill, (Rgb{220, 50, 50}));
  EXPECT_EQ(equals.pressedFill, (Rgb{190, 40, 40}));
  EXPECT_EQ(ToColorRef(kDisplayTextColor), 0x141414u);
  EXPECT_EQ(ToColorRef(kDisplayBackground), 0xFFFFFFu);
}

}  // namespace
