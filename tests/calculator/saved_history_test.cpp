// The saved history: its bytes, the merge of two windows, a save after each change, and
// every kind of bad file, on a storage in memory.
#include <algorithm>
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
#include "calculator/state.h"
#include "calculator/storage.h"
#include "calculator_fixture.h"

namespace {

struct MemoryStorage final : Storage {
  std::map<SavedFile, std::string> files;
  bool unreadable = false;  // the history file cannot be opened
  bool full = false;        // every write fails
  bool lockRefused = false; // another window holds the lock past the wait
  std::vector<std::string> aside;

  FileRead Read(SavedFile file, std::size_t bound) override {
    if (file == SavedFile::kHistory && unreadable) return {FileRead::kUnreadable, {}, true};
    const auto found = files.find(file);
    if (found == files.end()) return {};
    return {FileRead::kRead, found->second.substr(0, bound), found->second.size() <= bound};
  }
  bool Replace(SavedFile file, std::string_view bytes) override {
    return !full && (files[file] = bytes, true);
  }
  bool Remove(SavedFile file) override { return !full && (files.erase(file), true); }
  bool SetAside(SavedFile file) override {
    aside.push_back(file == SavedFile::kHistory && unreadable ? "unreadable" : files[file]);
    files.erase(file);
    unreadable = false;
    return true;
  }
  bool Lock() override { return !lockRefused; }
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
  // Line ends as Windows editors write them read the same.
  std::string crlf;
  for (char ch : bytes) ch == '\n' ? crlf += "\r\n" : crlf += ch;
  const ParsedHistory fromCrlf = ParseHistory(crlf);
  EXPECT_TRUE(fromCrlf.intact);
  EXPECT_TRUE(SameEntries(fromCrlf.entries, entries));
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

}  // namespace
