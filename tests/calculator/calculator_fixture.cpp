#include "calculator_fixture.h"

#include "calculator/caret.h"

int KeyId(std::wstring_view label) {
  for (const ExpectedKey& key : kExpectedKeys) {
    if (label == key.label) return key.id;
  }
  return 0;
}

void Press(std::wstring_view keys) {
  std::size_t start = 0;
  while (start < keys.size()) {
    std::size_t end = keys.find(L' ', start);
    if (end == std::wstring_view::npos) end = keys.size();
    if (end > start) {
      const std::wstring_view label = keys.substr(start, end - start);
      const int id = KeyId(label);
      if (id == 0)
        ADD_FAILURE() << "no key is labelled " << ::testing::PrintToString(std::wstring{label});
      OnKeyCommand(FakeHandle(), id);
    }
    start = end + 1;
  }
}

namespace {

struct Chord {
  std::wstring_view name;
  int keyCode;
  unsigned modifiers;
};

constexpr Chord kChords[] = {
    {L"Left", kVkLeft, kNoModifier},      {L"Right", kVkRight, kNoModifier},
    {L"S-Left", kVkLeft, kShiftHeld},     {L"S-Right", kVkRight, kShiftHeld},
    {L"C-Left", kVkLeft, kControlHeld},   {L"C-Right", kVkRight, kControlHeld},
    {L"Home", kVkHome, kNoModifier},      {L"End", kVkEnd, kNoModifier},
    {L"S-Home", kVkHome, kShiftHeld},     {L"Up", kVkUp, kNoModifier},
    {L"Down", kVkDown, kNoModifier},      {L"Del", kVkDelete, kNoModifier},
    {L"S-Del", kVkDelete, kShiftHeld},    {L"BS", kVkBackspace, kNoModifier},
    {L"Enter", kVkEnter, kNoModifier},    {L"Esc", kVkEscape, kNoModifier},
    {L"C-A", kVkA, kControlHeld},         {L"C-Z", kVkZ, kControlHeld},
    {L"C-Y", kVkY, kControlHeld},         {L"CS-Z", kVkZ, kControlHeld | kShiftHeld},
    {L"C-X", kVkX, kControlHeld},         {L"C-C", kVkC, kControlHeld},
    {L"C-V", kVkV, kControlHeld},
};

}  // namespace

void Do(std::wstring_view script) {
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find(L' ', start);
    if (end == std::wstring_view::npos) end = script.size();
    const std::wstring_view word = script.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    bool chord = false;
    for (const Chord& c : kChords) {
      if (c.name == word) {
        OnKeyDown(FakeHandle(), c.keyCode, 0, c.modifiers);
        chord = true;
      }
    }
    if (chord) continue;
    if (word.front() == L'[') {
      Press(word.substr(1, word.size() - 2));
    } else if (word.starts_with(L"@@")) {
      SelectTokenAt(FakeHandle(), std::stoul(std::wstring{word.substr(2)}));
    } else if (word.front() == L'@') {
      PlaceCaret(FakeHandle(), std::stoul(std::wstring{word.substr(1)}), false);
    } else {
      for (wchar_t ch : word) {
        if (ch >= L'0' && ch <= L'9') OnKeyDown(FakeHandle(), kVkDigit0 + (ch - L'0'), ch);
        OnTypedChar(FakeHandle(), ch);
      }
    }
  }
}

