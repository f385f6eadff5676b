// What a screen reader learns about the keys through MSAA, asked from outside as one asks.
#include "driver.h"
// IID_IAccessible is defined here: MinGW's import library exports it as code, not data.
#include <initguid.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "calculator/keypad.h"

namespace {

struct AccessibleTexts {
  bool found = false;
  std::wstring name;
  bool hasDescription = false;
  std::wstring description;
};

std::wstring TakeString(BSTR text) {
  std::wstring copy = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return copy;
}

AccessibleTexts AskAccessible(HWND control) {
  AccessibleTexts texts;
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible))) ||
      accessible == nullptr) {
    return texts;
  }
  texts.found = true;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (accessible->get_accName(self, &name) == S_OK) texts.name = TakeString(name);
  BSTR description = nullptr;
  if (accessible->get_accDescription(self, &description) == S_OK && description != nullptr) {
    texts.hasDescription = true;
    texts.description = TakeString(description);
  }
  accessible->Release();
  return texts;
}

std::vector<HWND> g_liveRegionEvents;

void CALLBACK OnLiveRegionChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                  DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) g_liveRegionEvents.push_back(window);
}

class AccessibilityTest : public CalculatorProcessTest {
 protected:
  void SetUp() override {
    CalculatorProcessTest::SetUp();
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  }
  void TearDown() override {
    if (comStarted_) CoUninitialize();
    CalculatorProcessTest::TearDown();
  }
  bool comStarted_ = false;
};

// Names are the window texts, which follow every change of labels; descriptions, where
// the system carries them from the program, say what the key in its current mode does.
TEST_F(AccessibilityTest, KeysAreNamedByTheirLabelsAndDescribedInBothModes) {
  int described = 0;
  for (const bool second : {false, true}) {
    if (second) ClickAll({kKeySecond, kKeyAngleMode});
    for (const ButtonDef& key : g_buttons) {
      SCOPED_TRACE(testing::Message() << "key " << key.id << (second ? " in 2nd, Deg" : ""));
      const std::wstring text = TextOf(Key(key.id));
      const bool showsSecond = text != key.label;
      EXPECT_EQ(text, showsSecond ? key.secondLabel : key.label);
      const AccessibleTexts texts = AskAccessible(Key(key.id));
      ASSERT_TRUE(texts.found) << "no IAccessible for the key";
      EXPECT_EQ(texts.name, text);
      if (texts.hasDescription) {
        ++described;
        EXPECT_EQ(texts.description, showsSecond ? key.secondDescription : key.description);
      }
    }
  }
  EXPECT_EQ(TextOf(Key(kKeySin)), L"asin");
  EXPECT_EQ(TextOf(Key(kKeyAngleMode)), L"Deg");
  // Wine's MSAA may not carry Dynamic Annotation between processes: say what was read.
  std::printf("MSAA descriptions read for %d of %d keys\n", described, 2 * kKeyCount);
  RecordProperty("descriptions", described);
}

// What Narrator and NVDA speak for a control without the focus: the display signals a
// change after "=" but not while the user types. Its polite live setting is not read
// here: Wine carries no annotation to another process (see the descriptions above) and
// has no UI Automation client.
TEST_F(AccessibilityTest, TheDisplayIsALiveRegionSignalledAfterEquals) {
  constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
  g_liveRegionEvents.clear();
  HWINEVENTHOOK hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr,
                                       OnLiveRegionChanged, process_.dwProcessId, 0,
                                       WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ClickAll({kKey2, kKeyPlus, kKey3, kKeyEquals});
  EXPECT_TRUE(WaitUntil([] { return !g_liveRegionEvents.empty(); }));
  // Events keep their order: one from a typed key would have come first.
  EXPECT_EQ(g_liveRegionEvents, std::vector<HWND>{Display()});
  EXPECT_EQ(DisplayText(), L"5");
  UnhookWinEvent(hook);
}

}  // namespace
