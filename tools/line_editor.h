// vorlane-eval on a terminal: lines read with libedit, edited and recalled, the lines typed
// kept in $XDG_STATE_HOME/vorlane/eval_history.
#pragma once

#include <functional>
#include <string_view>

// Reads lines until the end of input (Ctrl+D on an empty line) and gives each to answer,
// which says false when its answer could not be written; then EditLines ends at once and
// says false too. Ctrl+C drops the line being typed.
bool EditLines(const std::function<bool(std::string_view)>& answer);
