// The settings the user chooses in the menu, and their saved bytes, the same on every
// platform: UTF-8 lines "vorlane-settings 1", then "keep-history 0|1".
#pragma once

#include <string>
#include <string_view>

struct Settings {
  bool keepHistory = true;
};

std::string SerializeSettings(const Settings& settings);
// False for bytes that are no settings of this version; settings then stay as they were.
bool ParseSettings(std::string_view bytes, Settings& settings);
