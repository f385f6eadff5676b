// The calculator core as a whole.
#pragma once

// Back to the start: "0", memory 0, radians, both flags off, no history, no storage,
// nothing to undo.
void ResetCalculator();
