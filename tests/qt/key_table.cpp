// Prints what the window must show screen readers, from the program's own keypad table
// and refresh rules, for the AT-SPI test: the title, then for each of the four
// combinations of second-function and angle mode one line per key in table order: its
// name, description and keyboard shortcut.
#include <cstdio>
#include <string>

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
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
