// The real program, driven from outside: controls, layout, keys, keyboard, clipboard, exit.
#include <set>
#include <string>

#include "driver.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"

namespace {

const std::wstring kTitle(kWindowTitle);
const std::wstring kMarkedTitle = kTitle + std::wstring(kMemoryMark);

// Ids by label, so that key sequences read as the user presses them.
int Id(const wchar_t* label) {
  for (const ButtonDef& key : g_buttons) {
    if (key.label == label) return key.id;
  }
  ADD_FAILURE() << "no key labelled " << testing::PrintToString(std::wstring(label));
  return 0;
}

void ExpectLaidOut(HWND main, const char* when) {
  SCOPED_TRACE(when);
  const Rect client = ClientRect(main);
  const Rect display = RectInParent(GetDlgItem(main, kDisplayId));
  const Rect expected = DisplayRect(client.width, client.height);
  EXPECT_EQ(display.x, expected.x);
  EXPECT_EQ(display.y, expected.y);
  EXPECT_EQ(display.width, expected.width);
  EXPECT_EQ(display.height, expected.height);
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    const Rect cell = RectInParent(GetDlgItem(main, key.id));
    const Rect want = KeyRect(key, client.width, client.height);
    EXPECT_EQ(cell.x, want.x);
    EXPECT_EQ(cell.y, want.y);
    EXPECT_EQ(cell.width, want.width);
    EXPECT_EQ(cell.height, want.height);
  }
}

using WindowTest = CalculatorProcessTest;

TEST_F(WindowTest, HasTheDisplayAndOneOwnerDrawnButtonPerKey) {
  EXPECT_EQ(ClassOf(main_), L"URG");
  EXPECT_EQ(Title(), kTitle);
  RECT outer{};
  GetWindowRect(main_, &outer);
  EXPECT_EQ(outer.right - outer.left, kWindowWidth);
  EXPECT_EQ(outer.bottom - outer.top, kWindowHeight);

  HWND display = Display();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(ClassOf(display), L"Static");
  EXPECT_EQ(DisplayText(), L"0");
  const auto displayStyle = static_cast<DWORD>(GetWindowLongPtrW(display, GWL_STYLE));
  EXPECT_EQ(displayStyle & (SS_TYPEMASK | SS_CENTERIMAGE), DWORD{SS_RIGHT | SS_CENTERIMAGE});

  std::set<int> ids;
  for (HWND child = GetWindow(main_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id == kDisplayId) continue;
    SCOPED_TRACE(id);
    const ButtonDef* key = FindButton(id);
    ASSERT_NE(key, nullptr) << "a child that is no key";
    EXPECT_TRUE(ids.insert(id).second) << "two children with one id";
    EXPECT_EQ(ClassOf(child), L"Button");
    EXPECT_EQ(TextOf(child), key->label);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, DWORD{BS_OWNERDRAW});
    EXPECT_TRUE(style & WS_VISIBLE);
  }
  EXPECT_EQ(ids.size(), g_buttons.size());
}

TEST_F(WindowTest, LaysOutEveryKeyAtTheStartSizeAndAfterAResize) {
  ExpectLaidOut(main_, "start size");
  SetWindowPos(main_, nullptr, 0, 0, 700, 455, SWP_NOMOVE | SWP_NOZORDER);
  ExpectLaidOut(main_, "700 x 455");
  SetWindowPos(main_, nullptr, 0, 0, 1013, 733, SWP_NOMOVE | SWP_NOZORDER);
  ExpectLaidOut(main_, "1013 x 733");
}

TEST_F(WindowTest, KeysEditAndEvaluateAndRelabel) {
  ClickAll({Id(L"2"), Id(L"+"), Id(L"3")});
  EXPECT_EQ(DisplayText(), L"2+3");
  Click(Id(L"="));
  EXPECT_EQ(DisplayText(), L"5");
  Click(Id(L"x\u00B2"));  // a suffix key continues the result
  EXPECT_EQ(DisplayText(), L"5^2");

  Click(Id(L"m+"));
  EXPECT_EQ(Title(), kMarkedTitle);
  Click(Id(L"mc"));
  EXPECT_EQ(Title(), kTitle);

  Click(Id(L"2nd"));
  EXPECT_EQ(TextOf(Key(kKeySin)), L"asin");
  EXPECT_EQ(TextOf(Key(kKeySqrt)), L"x\u00B2");
  EXPECT_EQ(TextOf(Key(kKeySquare)), L"\u221A");
  Click(kKeyAngleMode);
  EXPECT_EQ(TextOf(Key(kKeyAngleMode)), L"Deg");
  Click(Id(L"2nd"));
  EXPECT_EQ(TextOf(Key(kKeySin)), L"sin");
  EXPECT_EQ(TextOf(Key(kKeyAngleMode)), L"Deg");

  ClickAll({Id(L"AC"), Id(L"1"), Id(L"\u00F7"), Id(L"0"), Id(L"=")});
  EXPECT_EQ(DisplayText(), L"\u9519\u8BEF");  // 错误
}

TEST_F(WindowTest, GivesTheFocusBackToTheMainWindowAfterAClick) {
  Click(Id(L"7"));
  EXPECT_EQ(FocusWindow(), main_);
  // A mouse press gives a key the focus; a command that is no key takes it back all the same.
  HWND key = Key(Id(L"5"));
  SendMessageW(key, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(FocusWindow(), key);
  SendMessageW(key, WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));  // released outside: no click
  SendMessageW(main_, WM_COMMAND, kDisplayId, 0);
  EXPECT_EQ(FocusWindow(), main_);
  EXPECT_EQ(DisplayText(), L"7");

  PressKeys({}, '8');
  EXPECT_EQ(WaitForDisplay(L"78"), L"78");
}

TEST_F(WindowTest, KeyDownAndCharMessagesReachTheCore) {
  PostKeyDown('1');
  PostKeyDown('2');
  EXPECT_EQ(WaitForDisplay(L"12"), L"12");
  PostKeyDown(VK_RETURN);
  PostKeyDown('3');
  EXPECT_EQ(WaitForDisplay(L"3"), L"3");
  PostChar(L'+');
  PostKeyDown(VK_NUMPAD4);
  EXPECT_EQ(WaitForDisplay(L"3+4"), L"3+4");
  PostChar(L'\u00D7');  // ×
  PostChar(L'(');
  PostKeyDown('2');
  PostChar(L')');
  EXPECT_EQ(WaitForDisplay(L"3+4*(2)"), L"3+4*(2)");
  PostKeyDown(VK_BACK);
  EXPECT_EQ(WaitForDisplay(L"3+4*(2"), L"3+4*(2");
  PostKeyDown(VK_RETURN);
  EXPECT_EQ(WaitForDisplay(L"11"), L"11");
  // The arrow keys share codes with "%" and "(" but type nothing.
  PostKeyDown(VK_LEFT);
  PostKeyDown(VK_DOWN);
  PostKeyDown(VK_ESCAPE);
  EXPECT_EQ(WaitForDisplay(L"0"), L"0");
}

TEST_F(WindowTest, TypedKeysEnterWhatTheKeyboardTypes) {
  PressKeys({}, '9');
  EXPECT_EQ(WaitForDisplay(L"9"), L"9");
  PressKeys({VK_SHIFT}, '8');  // "*" on the US layout, not "8"
  EXPECT_EQ(WaitForDisplay(L"9*"), L"9*");
  PressKeys({}, '8');
  PressKeys({VK_SHIFT}, VK_OEM_PLUS);  // "+"
  PressKeys({}, VK_SUBTRACT);
  PressKeys({}, VK_NUMPAD1);
  EXPECT_EQ(WaitForDisplay(L"9*8+-1"), L"9*8+-1");
  PressKeys({}, VK_RETURN);
  EXPECT_EQ(WaitForDisplay(L"71"), L"71");
  PressKeys({}, VK_BACK);
  EXPECT_EQ(WaitForDisplay(L"0"), L"0");
}

TEST_F(WindowTest, PastesAndCopiesThroughTheClipboard) {
  SetClipboard(L"12+3\r\n");
  PressKeys({VK_CONTROL}, 'V');
  EXPECT_EQ(WaitForDisplay(L"12+3"), L"12+3");
  SetClipboard(L"*2");
  PressKeys({VK_SHIFT}, VK_INSERT);
  EXPECT_EQ(WaitForDisplay(L"12+3*2"), L"12+3*2");
  PressKeys({}, VK_RETURN);
  EXPECT_EQ(WaitForDisplay(L"18"), L"18");

  PressKeys({VK_CONTROL}, 'C');
  EXPECT_TRUE(WaitUntil([&] { return Clipboard() == L"18"; }, 3000)) << "clipboard holds "
                                                                      << testing::PrintToString(Clipboard());
  Click(Id(L"\u00B1"));
  PressKeys({VK_CONTROL}, VK_INSERT);
  EXPECT_TRUE(WaitUntil([&] { return Clipboard() == L"-18"; }, 3000)) << "clipboard holds "
                                                                       << testing::PrintToString(Clipboard());
  EXPECT_EQ(DisplayText(), L"-18");
}

TEST_F(WindowTest, APastePastTheLimitLeavesTheDisplayAndTheNextKeyIsAnswered) {
  SetClipboard(std::wstring(10'000'000, L'1'));
  ClickAll({Id(L"1"), Id(L"2")});
  PressKeys({VK_CONTROL}, 'V');
  PressKeys({}, '3');
  EXPECT_EQ(WaitForDisplay(L"123"), L"123");
}

TEST_F(WindowTest, ClosingTheWindowEndsTheProcessWithExitCodeZero) {
  ClickAll({Id(L"4"), Id(L"2")});
  PostMessageW(main_, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process_.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(IsWindow(main_));
}

}  // namespace
