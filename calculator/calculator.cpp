#include "calculator/calculator.h"

#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "engine/engine.h"

void ResetCalculator() {
  ResetSavedHistory();
  ResetState();
  g_radians = true;
}
