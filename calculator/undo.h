// Undo and redo of the expression's edits. One step per action that changed the text (or
// showed a result); caret moves, refused edits and a "=" that left the text alone make
// none. Undo and redo restore stored states: they never evaluate and never touch the
// history, the memory or the modes.
#pragma once

#include <cstddef>
#include <string>

#include "calculator/state.h"
#include "calculator/window_port.h"

// At most this many steps, undo and redo together: with the longest text, some 1.7 MiB
// where wchar_t has 4 bytes.
inline constexpr std::size_t kUndoSteps = 100;

// What a step restores.
struct EditState {
  std::wstring expr;
  std::size_t caret = 0;
  std::size_t anchor = 0;
  bool resultShown = false;
  LastEquals lastEquals;
};
EditState CurrentEditState();
// Restores it whole, without a refresh.
void RestoreEditState(EditState state);

// Held around every action that may edit the text: the outermost one records a step if
// the action changed it, and then nothing can be redone any more.
class UndoStep {
 public:
  UndoStep();
  ~UndoStep();
  UndoStep(const UndoStep&) = delete;
  UndoStep& operator=(const UndoStep&) = delete;

 private:
  EditState before_;
  bool recording_ = false;  // the outermost one, and it had the memory to take the state
};

bool CanUndo();
bool CanRedo();
// Each shows the state it restored and has it spoken; without a step, nothing happens.
void Undo(WindowHandle window);
void Redo(WindowHandle window);
void ResetUndo();
