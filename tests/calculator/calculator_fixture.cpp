#include "calculator_fixture.h"

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
