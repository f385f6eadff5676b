// The saved history: its bytes, the merge of two windows, a save after each change, and
// every kind of bad file, on a storage in memory.
#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/history_entry.h"
#include "calculator/history_file.h"
#include "calculator/menu_commands.h"
#include "calculator/saved_history.h"
#include "calculator/settings.h"
#include "calculator/state.h"
#include "calculator/storage.h"
#include "calculator_fixture.h"

namespace {

struct MemoryStorage final : Storage {
  std::map<SavedFile, std::string> files;
  bool unreadable = false;  // the history file cannot be opened
  bool full = false;        // every write fails
  bool lockRefused = false; // another window holds the lock
  StorageFault failing = StorageFault::kNone;  // every write fails so; kLocked: the lock
  std::map<SavedFile, FileRead::Status> cannotRead;  // and the file stays as it is
  std::vector<std::string> aside;
  std::vector<std::string> copies;  // copied aside

  StorageFault WriteFault() const {
    return full ? StorageFault::kNoSpace : failing == StorageFault::kLocked ? StorageFault::kNone : failing;
  }

  FileRead Read(SavedFile file, std::size_t bound) override {
    if (file == SavedFile::kHistory && unreadable) return {FileRead::kUnreadable, {}, true};
    if (cannotRead.count(file)) return {cannotRead.at(file), {}, true};
    const auto found = files.find(file);
    if (found == files.end()) return {};
    return {FileRead::kRead, found->second.substr(0, bound), found->second.size() <= bound};
  }
  StorageFault Replace(SavedFile file, std::string_view bytes) override {
    if (WriteFault() != StorageFault::kNone) return WriteFault();
    files[file] = bytes;
    cannotRead.erase(file);
    return StorageFault::kNone;
  }
  StorageFault Remove(SavedFile file) override {
    if (WriteFault() == StorageFault::kNone) files.erase(file);
    return WriteFault();
  }
  StorageFault SetAside(SavedFile file) override {
    aside.push_back(file == SavedFile::kHistory && unreadable ? "unreadable" : files[file]);
    files.erase(file);
    cannotRead.erase(file);
    unreadable = false;
    return StorageFault::kNone;
  }
  StorageFault CopyAside(SavedFile file) override {
    if (WriteFault() == StorageFault::kNone) copies.push_back(files[file]);
    return WriteFault();
  }
  StorageFault Lock() override {
    return lockRefused || failing == StorageFault::kLocked ? StorageFault::kLocked : StorageFault::kNone;
  }
  void Unlock() override {}

  ParsedHistory Saved() const {
    const auto found = files.find(SavedFile::kHistory);
    return found == files.end() ? ParsedHistory{} : ParseHistory(found->second);
  }
};

std::vector<std::wstring> Texts(const std::deque<HistoryEntry>& entries) {
  std::vector<std::wstring> texts;
  for (const HistoryEntry& entry : entries) texts.push_back(HistoryItemName(entry));
  return texts;
}

bool SameEntries(const std::deque<HistoryEntry>& a, const std::deque<HistoryEntry>& b) {
  return Texts(a) == Texts(b) && std::equal(a.begin(), a.end(), b.begin(), b.end(), SameEntry);
}

class SavedHistory : public CalculatorTest {
 protected:
  // A start of the window on what the storage holds.
  void Restart() {
    ResetCalculator();
    ResetFakeWindow();
    StartSavedHistory(FakeHandle(), &storage);
  }

  MemoryStorage storage;
};

TEST(HistoryFile, RoundTripsEveryTextInUtf8) {
  const std::deque<HistoryEntry> entries = {
      {L"2+3", L"5", 0, 1},
      {L"a\tb\\n\nc\rd\\", L"错误", 1733750000123, 0xFFFFFFFFFFFFFFFFu},
      {L"\u2026\u221A(2)+\U0001D70B", L"无穷大", 1733750000123, 0x0123456789ABCDEFu},
      {L"", L"", 7, 2},
  };
  const std::string bytes = SerializeHistory(entries);
  const ParsedHistory parsed = ParseHistory(bytes);
  EXPECT_TRUE(parsed.intact);
  EXPECT_TRUE(SameEntries(parsed.entries, entries));
  // One line per entry whatever the texts hold, and the same UTF-8 on every platform.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1 + 4);
  EXPECT_NE(bytes.find(reinterpret_cast<const char*>(u8"\t错误\n")), std::string::npos);
}

TEST(HistoryFile, MergeKeepsBothWindowsEntriesInTheOrderTheyWereMade) {
  constexpr std::uint64_t a = 0xA, b = 0xB;
  const std::deque<HistoryEntry> saved = {
      {L"1+1", L"2", 10, a}, {L"3+3", L"6", 30, a}, {L"5+5", L"10", 50, a}};
  HistoryChanges changes;
  changes.added = {{L"2+2", L"4", 20, b}, {L"1+1", L"2", 40, b},
                   {L"3+3", L"6", 30, a}};  // saved already
  changes.deleted = {{L"1+1", L"2", 10, a}};  // not the other window's equal one
  const std::deque<HistoryEntry> merged = MergeHistory(saved, changes);
  EXPECT_EQ(Texts(merged), (std::vector<std::wstring>{L"2+2 = 4", L"3+3 = 6", L"1+1 = 2", L"5+5 = 10"}));
  EXPECT_EQ(merged[2].origin, b);
  HistoryChanges many;
  for (int i = 0; i < 150; ++i) many.added.push_back({L"1", L"1", 1000 - i, b});
  const std::deque<HistoryEntry> newest = MergeHistory(saved, many);
  ASSERT_EQ(newest.size(), kHistoryCapacity);
  EXPECT_EQ(newest.front().created, 1000 - 99);
}

TEST_F(SavedHistory, EachChangeIsSavedAndTheNextStartShowsIt) {
  using Names = std::vector<std::wstring>;
  StartSavedHistory(FakeHandle(), &storage);
  Press(L"2 + 3 = 7 \u00D7 8 = 1 + 1 =");
  EXPECT_TRUE(SameEntries(storage.Saved().entries, g_history));
  DeleteHistoryEntry(FakeHandle(), 1);
  EXPECT_EQ(Texts(storage.Saved().entries), (Names{L"2+3 = 5", L"1+1 = 2"}));
  const std::deque<HistoryEntry> before = g_history;
  Restart();
  EXPECT_TRUE(SameEntries(g_fakeWindow.history, before));

  ClearHistory(FakeHandle());
  EXPECT_TRUE(storage.Saved().entries.empty());
  OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // off: the saved history goes
  Press(L"4 + 4 =");
  EXPECT_FALSE(storage.files.count(SavedFile::kHistory));
  Restart();
  EXPECT_FALSE(MenuItemChecked(kMenuKeepHistory));
  Press(L"6 + 6 =");
  OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // on: the session's entries are saved
  Restart();
  EXPECT_TRUE(MenuItemChecked(kMenuKeepHistory));
  EXPECT_EQ(Texts(g_history), (Names{L"6+6 = 12"}));
}

TEST_F(SavedHistory, AFailedSaveKeepsTheHistoryInMemoryAndTheNextChangeSavesAll) {
  const struct {
    const char* name;
    bool MemoryStorage::*failing;
  } rows[] = {{"disk full", &MemoryStorage::full}, {"lock refused", &MemoryStorage::lockRefused}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    storage = {};
    Restart();
    storage.*row.failing = true;
    Press(L"2 + 3 = 4 + 4 =");
    DeleteHistoryEntry(FakeHandle(), 1);
    EXPECT_FALSE(storage.files.count(SavedFile::kHistory));
    storage.*row.failing = false;
    Press(L"1 + 1 =");
    EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"2+3 = 5", L"1+1 = 2"}));
  }
}

// Another window may be halfway through writing: read what can be read, move nothing.
TEST_F(SavedHistory, AStartWithoutTheLockSetsNothingAside) {
  const std::string history = SerializeHistory({{L"2+3", L"5", 1, 1}}) + "broken";
  const std::string settings = "vorlane-settings 1\nkeep-history 2\n";
  storage.files = {{SavedFile::kHistory, history}, {SavedFile::kSettings, settings}};
  storage.lockRefused = true;
  Restart();
  EXPECT_EQ(Texts(g_fakeWindow.history), std::vector<std::wstring>{L"2+3 = 5"});
  EXPECT_TRUE(storage.aside.empty());
  EXPECT_EQ(storage.files[SavedFile::kHistory], history);
  EXPECT_EQ(storage.files[SavedFile::kSettings], settings);
  storage.lockRefused = false;
  OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // settings not understood: off until chosen
  Press(L"1 + 1 =");
  EXPECT_EQ(storage.aside, std::vector<std::string>{history});
  EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"2+3 = 5", L"1+1 = 2"}));
}

// Whatever stands on disk, the window starts with what could be read, keeps a file it
// could not read whole aside, and saves a good one.
TEST_F(SavedHistory, ABadFileLoadsWhatCanBeReadAndIsSetAside) {
  const std::deque<HistoryEntry> good = {{L"2+3", L"5", 1, 1}, {L"7*8", L"56", 2, 1}};
  const std::string file = SerializeHistory(good);
  std::mt19937 random(17);
  std::string noise(4096, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  std::deque<HistoryEntry> many;
  for (int i = 0; i < 40000; ++i) many.push_back({L"1+1", L"2", i, 1});
  // Entries no "=" makes, as a file could hold them: a control character in a text, a
  // result that is no number text "=" shows.
  std::deque<HistoryEntry> junk;
  for (const auto& [expression, result] : std::initializer_list<std::pair<std::wstring, std::wstring>>{
           {std::wstring(L"2\0+3", 4), L"5"}, {L"2+3", L"5\r"}, {L"2\t+3", L"5"}, {L"\u0085", L"5"},
           {L"1", L"sin((("}, {L"1", L"5abc"}, {L"1", L"-0"}, {L"1", L""}, {L"1", L" 1"},
           {L"1", L"1.0"}, {L"1/0", L"inf"}, {L"1", L"0x10"}}) {
    junk.push_back({expression, result, static_cast<std::int64_t>(junk.size() + 10), 1});
  }
  const std::string junkLines = SerializeHistory(junk).substr(file.find('\n') + 1);
  struct Row {
    const char* name;
    std::string bytes;
    std::size_t entries;
  };
  const Row rows[] = {
      {"newer version", "vorlane-history 2\n" + file.substr(file.find('\n') + 1), 0},
      {"invalid UTF-8", file + "3\t0000000000000001\t\xC3\x28\t1\n", 2},
      {"entry line of 10 MB", file + "4\t0000000000000001\t" + std::string(10 << 20, '9'), 2},
      {"beyond the read bound", SerializeHistory(many), kHistoryCapacity},
      {"random bytes", noise, 0},
      {"unreadable", "", 0},
      {"entries \"=\" could not have made", file + junkLines, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    storage = {};
    storage.files[SavedFile::kHistory] = row.bytes;
    storage.unreadable = row.bytes.empty();
    Restart();
    EXPECT_EQ(g_history.size(), row.entries);
    EXPECT_EQ(storage.aside, std::vector<std::string>{row.bytes.empty() ? "unreadable" : row.bytes});
    EXPECT_TRUE(storage.Saved().intact);
    EXPECT_TRUE(SameEntries(storage.Saved().entries, g_history));
  }

  // Cut at every byte: the whole lines before the cut are read, and a cut line is no entry.
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    storage = {};
    storage.files[SavedFile::kHistory] = file.substr(0, cut);
    Restart();
    const auto lines = static_cast<std::size_t>(std::count(file.begin(), file.begin() + cut, '\n'));
    ASSERT_EQ(g_history.size(), lines == 0 ? 0 : lines - 1) << "cut at " << cut;
    EXPECT_TRUE(std::equal(g_history.begin(), g_history.end(), good.begin(), SameEntry));
    EXPECT_EQ(storage.aside.size(), cut == 0 || file[cut - 1] == '\n' ? 0u : 1u) << cut;
  }
}

// The lock's patience runs on this clock.
std::chrono::steady_clock::time_point g_now;
std::chrono::steady_clock::time_point Now() { return g_now; }

// Whatever keeps a save from the disk, the window says so in its title and its menu, and
// once to screen readers; the timer tries again, and the close once more.
TEST_F(SavedHistory, AFailedSaveIsToldUntilARetryOrTheCloseSavesIt) {
  SetSavingClock(Now);
  const struct {
    const char* name;
    StorageFault fault;  // of every write, or kLocked: of the lock
    bool denied;         // the saved history may not be read
    std::wstring reason;
  } rows[] = {
      {"disk full", StorageFault::kNoSpace, false, L"磁盘已满"},
      {"no permission", StorageFault::kNoPermission, false, L"没有写入权限"},
      {"a history this user may not read", StorageFault::kNone, true, L"没有写入权限"},
      {"I/O error", StorageFault::kOther, false, L"读写错误"},
      {"lock held by another program", StorageFault::kLocked, false, L"被其他程序锁定"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    storage = {};
    const std::string before = storage.files[SavedFile::kHistory] = SerializeHistory({{L"1+1", L"2", 1, 1}});
    const auto fail = [&](bool failing) {
      storage.failing = failing ? row.fault : StorageFault::kNone;
      if (row.denied && failing) storage.cannotRead[SavedFile::kHistory] = FileRead::kDenied;
      if (!failing) storage.cannotRead.clear();
    };
    fail(true);
    Restart();
    Press(L"4 + 4 =");
    if (row.fault == StorageFault::kLocked) {  // another calculator saving for a moment
      g_now += std::chrono::seconds(4);
      FireRetryTimer();
      EXPECT_EQ(g_fakeWindow.title, L"Vorlane-计算器");
      g_now += std::chrono::seconds(2);
    }
    Press(L"m+");
    FireRetryTimer();
    const std::wstring notice = L"历史记录无法保存：" + row.reason;
    EXPECT_EQ(g_fakeWindow.title, L"Vorlane-计算器   [M] — " + notice);
    EXPECT_EQ(MenuItemText(kMenuKeepHistory), L"保存历史记录（" + row.reason + L"）");
    FireRetryTimer();
    EXPECT_EQ(std::count(g_fakeWindow.announced.begin(), g_fakeWindow.announced.end(), notice), 1);
    EXPECT_LE(g_fakeWindow.retryTimerMs, 5000);
    EXPECT_EQ(storage.files[SavedFile::kHistory], before);
    EXPECT_TRUE(storage.aside.empty());

    fail(false);
    FireRetryTimer();
    EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"1+1 = 2", L"4+4 = 8"}));
    EXPECT_EQ(g_fakeWindow.title, L"Vorlane-计算器   [M]");
    EXPECT_EQ(MenuItemText(kMenuKeepHistory), L"保存历史记录");
    fail(true);
    Press(L"5 + 5 =");
    fail(false);
    SaveBeforeClosing(FakeHandle());
    EXPECT_EQ(storage.Saved().entries.size(), 3u);
  }
  SetSavingClock(nullptr);
}

// Settings read leniently where no doubt is possible; where there is one, the file is
// copied aside and left, and nothing is saved until the user chooses in the menu.
TEST_F(SavedHistory, SettingsThatCannotBeReadKeepTheHistoryUnsavedUntilTheUserChooses) {
  const struct {
    const char* bytes;  // nullptr: no file, a folder
    bool understood;
    bool keep;
  } rows[] = {
      {"vorlane-settings 1\r\nkeep-history 0\r\n", true, false},
      {"vorlane-settings 1\nkeep-history 0", true, false},
      {"vorlane-settings 1\ntheme dark\r\nkeep-history 1\n", true, true},
      {"vorlane-settings 2\nkeep-history 1\n", false, false},
      {"vorlane-settings 1\nkeep-history yes\n", false, false},
      {"vorlane-settings 1\nkeep-history 1\nkeep-history 0\n", false, false},
      {"", false, false},
      {nullptr, false, false},
  };
  for (const auto& row : rows) {
    const std::string bytes = row.bytes != nullptr ? row.bytes : "";
    SCOPED_TRACE(::testing::PrintToString(bytes));
    storage = {};
    storage.files = {{SavedFile::kHistory, SerializeHistory({{L"1+1", L"2", 1, 1}})}, {SavedFile::kSettings, bytes}};
    if (row.bytes == nullptr) storage.cannotRead[SavedFile::kSettings] = FileRead::kUnreadable;
    Restart();
    Press(L"4 + 4 =");
    EXPECT_EQ(MenuItemChecked(kMenuKeepHistory), row.keep);
    EXPECT_EQ(storage.Saved().entries.size(), row.keep ? 2u : 1u);
    EXPECT_EQ(storage.files[SavedFile::kSettings], bytes);
    EXPECT_EQ(storage.copies.size(), row.understood || row.bytes == nullptr ? 0u : 1u);
    EXPECT_EQ(g_fakeWindow.title, row.understood ? L"Vorlane-计算器" : L"Vorlane-计算器 — 设置无法读取：历史记录暂不保存");
    EXPECT_EQ(MenuItemText(kMenuKeepHistory), row.understood ? L"保存历史记录" : L"保存历史记录（设置无法读取）");
    Settings read, rewritten;
    ParseSettings(bytes, read);
    OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // the user chooses
    ASSERT_TRUE(ParseSettings(storage.files[SavedFile::kSettings], rewritten));
    EXPECT_EQ(rewritten.keepHistory, !row.keep);
    EXPECT_EQ(rewritten.otherLines, read.otherLines);
    EXPECT_EQ(storage.Saved().entries.size(), row.keep ? 0u : 2u);
    EXPECT_EQ(g_fakeWindow.title, L"Vorlane-计算器");
  }
}

// The expression line is on unless the settings say off, and the menu's choice is saved
// beside keeping the history, for the next start.
TEST_F(SavedHistory, TheExpressionLineIsRememberedWithTheSettings) {
  const struct {
    const char* settings;  // nullptr: no file
    bool on;
  } rows[] = {
      {nullptr, true},
      {"vorlane-settings 1\nkeep-history 1\n", true},
      {"vorlane-settings 1\nexpression-line 0\r\n", false},
      {"vorlane-settings 1\nkeep-history 0\nexpression-line 1", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.settings != nullptr ? row.settings : "(none)");
    storage = {};
    if (row.settings != nullptr) storage.files[SavedFile::kSettings] = row.settings;
    Restart();
    EXPECT_EQ(MenuItemChecked(kMenuExpressionLine), row.on);
    EXPECT_EQ(g_fakeWindow.lineShown, row.on);
    OnMenuCommand(FakeHandle(), kMenuExpressionLine);
    EXPECT_EQ(g_fakeWindow.lineShown, !row.on);
    Settings saved;
    ASSERT_TRUE(ParseSettings(storage.files[SavedFile::kSettings], saved));
    EXPECT_EQ(saved.expressionLine, !row.on);
    Restart();
    EXPECT_EQ(MenuItemChecked(kMenuExpressionLine), !row.on);
  }
}

// Whatever the list holds, choosing enters only a number "=" could have shown.
TEST_F(SavedHistory, ChoosingEntersOnlyAResultEqualsCouldHaveShown) {
  g_history = {{L"1", L"sin(((", 1, 1}, {L"1", L"5abc", 2, 1}, {L"1", L"-0", 3, 1}, {L"1", L"1e-5", 4, 1},
               {L"1", L"2.5", 5, 1}};
  Press(L"2 +");
  for (std::size_t i = 0; i < g_history.size(); ++i) ChooseHistoryEntry(FakeHandle(), i);
  ExpectText(L"2+2.5");  // "=" shows 1e-05, never 1e-5
}

}  // namespace
