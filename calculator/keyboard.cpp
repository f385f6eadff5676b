#include "calculator/keyboard.h"

#include <algorithm>
#include <optional>

#include "calculator/calculate.h"
#include "calculator/caret.h"
#include "calculator/characters.h"
#include "calculator/clipboard.h"
#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/key_commands.h"
#include "calculator/keypad.h"
#include "calculator/out_of_memory.h"
#include "calculator/recall.h"
#include "calculator/state.h"
#include "calculator/undo.h"

namespace {

// What a typed character does: run a key, or enter a piece by the operand rule.
struct TypedAction {
  std::optional<int> id;
  wchar_t piece = 0;
};

TypedAction TypedActionOf(wchar_t typed, unsigned modifiers) {
  const wchar_t ch = AsciiForm(typed);
  if (const std::optional<int> id = TypedKeyId(ch)) return {id};
  // ASCII digits arrive as key-downs; an input method types full-width ones without.
  if (IsAsciiDigit(ch) && ch != typed) return {std::nullopt, ch};
  // With Ctrl or Alt a letter is a shortcut, whatever it types.
  if (IsAsciiLetter(ch) && (modifiers & (kControlHeld | kAltHeld)) == 0) {
    return {std::nullopt, static_cast<wchar_t>(ch | 0x20)};  // lower case
  }
  return {};
}

bool Acts(const TypedAction& action) { return action.id || action.piece != 0; }

std::optional<wchar_t> DigitOfKey(int keyCode) {
  if (keyCode >= kVkDigit0 && keyCode <= kVkDigit0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkDigit0));
  }
  if (keyCode >= kVkNumpad0 && keyCode <= kVkNumpad0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkNumpad0));
  }
  return std::nullopt;
}

// The keys that edit without typing: the caret keys, Up and Down, Delete.
void RunEditingKey(WindowHandle window, Shortcut shortcut, unsigned modifiers) {
  const bool extend = (modifiers & kShiftHeld) != 0;
  switch (shortcut) {
    case Shortcut::kCharacterLeft: return MoveCaret(window, CaretMove::kCharacterLeft, extend);
    case Shortcut::kCharacterRight: return MoveCaret(window, CaretMove::kCharacterRight, extend);
    case Shortcut::kTokenLeft: return MoveCaret(window, CaretMove::kTokenLeft, extend);
    case Shortcut::kTokenRight: return MoveCaret(window, CaretMove::kTokenRight, extend);
    case Shortcut::kHome: return MoveCaret(window, CaretMove::kHome, extend);
    case Shortcut::kEnd: return MoveCaret(window, CaretMove::kEnd, extend);
    case Shortcut::kRecallEarlier: return RecallEarlier(window);
    case Shortcut::kRecallLater: return RecallLater(window);
    case Shortcut::kDeleteForward: return EraseForward(window);
    default: return;
  }
}

}  // namespace

void OnKeyDown(WindowHandle window, int keyCode, wchar_t typedChar, unsigned modifiers) {
  const Shortcut shortcut = ShortcutOf(keyCode, modifiers);
  // Undo and redo are no steps of their own.
  if (shortcut == Shortcut::kUndo) return Undo(window);
  if (shortcut == Shortcut::kRedo) return Redo(window);
  const UndoStep step;
  if (IsEditingShortcut(shortcut)) {
    UnlessOutOfMemory([&] { RunEditingKey(window, shortcut, modifiers); });
    return;
  }
  switch (shortcut) {
    case Shortcut::kUndo:
    case Shortcut::kRedo:
    case Shortcut::kContextMenu:
      return;
    case Shortcut::kKeyboardHelp:
      UnlessOutOfMemory([&] { ShowKeyboardHelp(window); });
      return;
    case Shortcut::kCut:
      CutSelection(window);
      return;
    case Shortcut::kSelectAll:
      UnlessOutOfMemory([&] { SelectAll(window); });
      return;
    case Shortcut::kCopy:
      CopyDisplay(window);
      return;
    case Shortcut::kPaste:
      PasteClipboard(window);
      return;
    case Shortcut::kHistory:
      ToggleHistoryPane(window);
      return;
    case Shortcut::kHistoryPane:
      if (g_historyShown) UnlessOutOfMemory([&] { FocusHistoryPane(window); });
      return;
    default:
      break;
  }
  UnlessOutOfMemory([&] {
    if (keyCode == kVkEnter) {
      Calculate(window);
    } else if (keyCode == kVkEscape) {
      AllClear(window);
    } else if (keyCode == kVkBackspace) {
      Erase(window, OutcomeText::kEraseByCharacter);
    } else if (keyCode == kVkDecimal) {
      // "," on a German keyboard, "." on others: a point character enters as typed.
      if (TypedKeyId(AsciiForm(typedChar)) != kKeyPoint) RunFirstFunction(window, kKeyPoint);
    } else if (const std::optional<wchar_t> digit = DigitOfKey(keyCode)) {
      // Shift+8 types "*" on a US keyboard, the French 5 key "(": the typed character
      // enters it, not the digit as well. Shift+2 types "@": the digit enters.
      if (Acts(TypedActionOf(typedChar, modifiers))) return;
      // A keyboard digit extends "无穷大" that is no longer shown as a result.
      const wchar_t piece[] = {*digit, L'\0'};
      EnterOperand(window, piece);
    }
  });
}

void OnTypedChar(WindowHandle window, wchar_t ch, unsigned modifiers) {
  const UndoStep step;
  const TypedAction action = TypedActionOf(ch, modifiers);
  if (action.id) {
    RunFirstFunction(window, *action.id);
  } else if (action.piece != 0) {
    const wchar_t piece[] = {action.piece, L'\0'};
    UnlessOutOfMemory([&] { EnterOperand(window, piece); });
  }
}

HistoryPaneKeyResult OnHistoryPaneKey(WindowHandle window, int keyCode, unsigned modifiers,
                                      std::optional<std::size_t> selected) {
  const HistoryPaneKey key = HistoryPaneKeyOf(keyCode, modifiers);
  HistoryPaneKeyResult result{key, std::nullopt};
  switch (key) {
    case HistoryPaneKey::kList:
      break;
    case HistoryPaneKey::kChoose:
      if (selected) {
        ChooseHistoryEntry(window, *selected);
      } else {
        UnlessOutOfMemory([&] { FocusMainWindow(window); });
      }
      break;
    case HistoryPaneKey::kDelete:
      if (selected) {
        DeleteHistoryEntry(window, *selected);
        if (!g_history.empty()) result.select = std::min(*selected, g_history.size() - 1);
      }
      break;
    case HistoryPaneKey::kLeave:
    case HistoryPaneKey::kCalculator:
      UnlessOutOfMemory([&] { FocusMainWindow(window); });
      break;
  }
  return result;
}
