#include "tools/line_editor.h"

#include <langinfo.h>
#include <signal.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// libedit's readline interface; it declares global C names of its own, so only this file
// sees it.
#include <editline/readline.h>

#include "calculator/storage.h"
#include "tools/eval_history.h"
#include "tools/eval_history_file.h"

namespace {

constexpr const char* kPrompt = "> ";

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Without SA_RESTART the read libedit waits in fails, and readline gives up the line.
void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

// libedit decodes and measures what is typed by the character locale. The tool speaks
// UTF-8 whatever the environment says; only LC_CTYPE is set, so no number text depends on
// the locale.
void UseUtf8Characters() {
  if (std::setlocale(LC_CTYPE, "") != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  std::setlocale(LC_CTYPE, "C.UTF-8");
}

void StartEditor() {
  rl_readline_name = "vorlane-eval";  // for the "vorlane-eval:" lines of ~/.editrc
  // Its keys are readline's: Ctrl+W deletes the previous word, Ctrl+R searches, and so on;
  // ~/.editrc may change them.
  rl_initialize();
  using_history();
  stifle_history(static_cast<int>(kEvalHistoryCapacity));
}

const char* FaultText(StorageFault fault) {
  switch (fault) {
    case StorageFault::kNoSpace: return "no space left on the disk";
    case StorageFault::kNoPermission: return "no permission to write there";
    case StorageFault::kLocked: return "another program holds the lock";
    case StorageFault::kNone:
    case StorageFault::kOther: break;
  }
  return "read or write error";
}

// Said once a run: the lines are still recalled while it lasts.
void TellUnsaved(StorageFault fault, bool& told) {
  if (fault == StorageFault::kNone || told) return;
  told = true;
  std::fprintf(stderr,
               "vorlane-eval: the lines typed cannot be saved (%s); Up recalls them in this run only\n",
               FaultText(fault));
}

// What Up brings back: libedit recalls a line without the blanks at its end, which mean
// nothing to the calculator either.
std::string Recalled(std::string_view line) {
  const std::size_t end = line.find_last_not_of(" \t");
  return std::string{line.substr(0, end == std::string_view::npos ? 0 : end + 1)};
}

}  // namespace

bool EditLines(const std::function<bool(std::string_view)>& answer) {
  UseUtf8Characters();
  CatchInterrupt();
  StartEditor();
  EvalHistory saved(PlatformStorage());
  std::string newest;
  for (std::string& line : saved.Load()) {
    add_history(line.c_str());
    newest = std::move(line);
  }
  bool told = false;
  for (;;) {
    g_interrupted = 0;
    char* typed = readline(kPrompt);
    if (typed == nullptr && g_interrupted) {
      std::fputs("^C\n", stdout);
      std::fflush(stdout);
      continue;
    }
    if (typed == nullptr) break;
    std::string line{typed};
    std::free(typed);
    if (!answer(line)) return false;
    // Up should bring something new: a line the same as the one before it is kept once.
    std::string kept = Recalled(line);
    if (kept.empty() || kept == newest) continue;
    add_history(kept.c_str());
    newest = kept;
    TellUnsaved(saved.Add(std::move(kept)), told);
  }
  // The terminal's cursor stands after the prompt.
  std::fputs("\n", stdout);
  std::fflush(stdout);
  TellUnsaved(saved.SaveRest(), told);
  return true;
}
