#include "calculator/undo.h"

#include <deque>
#include <utility>

#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"

namespace {

std::deque<EditState> g_undo;  // oldest first
std::deque<EditState> g_redo;  // the next to redo last
int g_depth = 0;

// A caret move alone is no step; a result that is shown now is one, even on the same text.
bool Changed(const EditState& before) {
  return g_expr != before.expr || (g_resultShown && !before.resultShown) ||
         g_lastEquals != before.lastEquals;
}

template <typename List>
void Bound(List& list) {
  while (g_undo.size() + g_redo.size() > kUndoSteps && !list.empty()) list.pop_front();
}

void Move(WindowHandle window, std::deque<EditState>& from, std::deque<EditState>& to) {
  if (from.empty()) return;
  UnlessOutOfMemory([&] {
    to.push_back(CurrentEditState());
    RestoreEditState(std::move(from.back()));
    from.pop_back();
  });
  UnlessOutOfMemory([&] { UpdateDisplayAloud(window); });
}

}  // namespace

EditState CurrentEditState() {
  return {g_expr, g_caret, g_anchor, g_resultShown, g_lastEquals};
}

void RestoreEditState(EditState state) {
  g_expr = std::move(state.expr);
  g_caret = state.caret;
  g_anchor = state.anchor;
  g_resultShown = state.resultShown;
  g_lastEquals = std::move(state.lastEquals);
}

UndoStep::UndoStep() {
  if (g_depth++ != 0) return;
  UnlessOutOfMemory([&] {
    before_ = CurrentEditState();
    recording_ = true;
  });
}

UndoStep::~UndoStep() {
  --g_depth;
  if (!recording_ || !Changed(before_)) return;
  UnlessOutOfMemory([&] {
    g_redo.clear();
    g_undo.push_back(std::move(before_));
    Bound(g_undo);
  });
}

bool CanUndo() { return !g_undo.empty(); }

bool CanRedo() { return !g_redo.empty(); }

void Undo(WindowHandle window) { Move(window, g_undo, g_redo); }

void Redo(WindowHandle window) { Move(window, g_redo, g_undo); }

void ResetUndo() {
  std::deque<EditState>{}.swap(g_undo);
  std::deque<EditState>{}.swap(g_redo);
}
