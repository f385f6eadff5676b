// Up and Down in the main window: back through the expressions "=" evaluated, newest first,
// and forward again to what was being typed. The walk goes over the history as it was at
// the first Up; any edit ends it. Entries whose expression the history shortened are
// skipped.
#pragma once

#include "calculator/window_port.h"

void RecallEarlier(WindowHandle window);
void RecallLater(WindowHandle window);
void ResetRecall();
