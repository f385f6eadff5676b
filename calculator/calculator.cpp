#include "calculator/calculator.h"

#include "calculator/recall.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "calculator/undo.h"
#include "engine/engine.h"

void ResetCalculator() {
  ResetSavedHistory();
  ResetRecall();
  ResetUndo();
  ResetState();
  g_radians = true;
}
