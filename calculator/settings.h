// The settings the user chooses in the menu, and their saved bytes, the same on every
// platform: UTF-8 lines "vorlane-settings 1", then "keep-history 0|1" and
// "expression-line 0|1". Read leniently where
// no doubt is possible: LF or CRLF line ends, and the last line with or without its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Settings {
  bool keepHistory = true;
  bool expressionLine = true;  // the display's line above the expression
  // Lines this version does not know, as they stood: written back with the settings, so
  // that a later version's choices survive this one.
  std::vector<std::string> otherLines;
};

std::string SerializeSettings(const Settings& settings);
// False for bytes that are no settings of this version, or that leave a doubt (a value
// that is neither 0 nor 1, two that differ); settings then stay as they were.
bool ParseSettings(std::string_view bytes, Settings& settings);
