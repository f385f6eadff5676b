#include "calculator/key_commands.h"

#include "calculator/announcements.h"
#include "calculator/calculate.h"
#include "calculator/editing.h"
#include "calculator/keypad.h"
#include "calculator/memory.h"
#include "calculator/out_of_memory.h"
#include "calculator/random.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "calculator/undo.h"
#include "engine/engine.h"

namespace {

// A mode changes every later result: screen readers say which is in force.
void ToggleSecondMode(WindowHandle window) {
  g_secondMode = !g_secondMode;
  RefreshButtonLabels(window);
  Announce(window, std::wstring{g_secondMode ? kSecondOnAnnouncement : kSecondOffAnnouncement});
}

void ToggleAngleMode(WindowHandle window) {
  g_radians = !g_radians;
  RefreshButtonLabels(window);
  Announce(window, std::wstring{g_radians ? kRadiansAnnouncement : kDegreesAnnouncement});
}

void Run(WindowHandle window, const KeyCommand& command) {
  switch (command.action) {
    case kEnterDigit: return EnterDigit(window, command.piece);
    case kEnterOperand: return EnterOperand(window, command.piece);
    case kEnterInfix: return EnterInfix(window, command.piece);
    case kEnterSuffix: return EnterSuffix(window, command.piece);
    case kEnterPoint: return EnterPoint(window);
    case kEvaluate: return Calculate(window);
    case kClearAll: return AllClear(window);
    case kEraseBack: return Erase(window, OutcomeText::kClearWhole);
    case kToggleSign: return ToggleSign(window);
    case kToggleSecond: return ToggleSecondMode(window);
    case kToggleAngle: return ToggleAngleMode(window);
    case kMemoryClear: return MemoryClear(window);
    case kMemoryAdd: return MemoryAdd(window);
    case kMemorySubtract: return MemorySubtract(window);
    case kMemoryRecall: return MemoryRecall(window);
    case kDrawRandom: return ShowRandomNumber(window);
  }
}

void RunKey(WindowHandle window, int id, bool secondMode) {
  UnlessOutOfMemory([&] {
    const UndoStep step;
    Run(window, CommandOf(id, secondMode));
  });
}

}  // namespace

void RunFirstFunction(WindowHandle window, int id) {
  if (IsKeyId(id)) RunKey(window, id, false);
}

void OnKeyCommand(WindowHandle window, int id) {
  if (IsKeyId(id)) RunKey(window, id, g_secondMode);
  UnlessOutOfMemory([&] { FocusMainWindow(window); });
}
