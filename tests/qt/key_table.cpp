// Prints what the window must show screen readers, from the program's own keypad table
// and refresh rules, for the AT-SPI test: the title, then for each of the four
// combinations of second-function and angle mode one line per key in table order: its
// name, description and keyboard shortcut; then the keyboard overview's title, and each
// of its groups' titles followed by the group's rows.
#include <cstdio>
#include <string>

#include "calculator/keyboard_overview.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/utf8.h"
#include "engine/engine.h"

int main() {
  std::string out = "title\t";
  AppendUtf8(WindowTitle(), out);
  out += '\n';
  for (const bool second : {false, true}) {
    for (const bool radians : {true, false}) {
      g_secondMode = second;
      g_radians = radians;
      for (const ButtonDef& key : g_buttons) {
        out += "key\t" + std::to_string(second) + '\t' + std::to_string(radians) + '\t';
        AppendUtf8(KeyText(key), out);
        out += '\t';
        AppendUtf8(KeyDescription(key), out);
        out += '\t';
        AppendUtf8(KeyShortcut(key), out);
        out += '\n';
      }
    }
  }
  out += "overview\t";
  AppendUtf8(kKeyboardHelpTitle, out);
  out += '\n';
  for (const OverviewGroup& group : KeyboardOverview()) {
    out += "group\t";
    AppendUtf8(group.title, out);
    out += '\n';
    for (const OverviewRow& row : group.rows) {
      out += "row\t";
      AppendUtf8(row.keys, out);
      out += '\t';
      AppendUtf8(row.description, out);
      out += '\n';
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
