// The saved history: its bytes, the merge of two windows, a save after each change, and
// every kind of bad file, on a storage in memory.
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/history_file.h"
#include "calculator/storage.h"
#include "calculator_fixture.h"

namespace {

struct MemoryStorage final : Storage {
  std::map<SavedFile, std::string> files;
  bool unreadable = false;  // the history file cannot be opened
  bool full = false;        // every write fails
  std::vector<std::string> aside;

  FileRead Read(SavedFile file, std::size_t bound) override {
    if (file == SavedFile::kHistory && unreadable) return {FileRead::kUnreadable, {}, true};
    const auto found = files.find(file);
    if (found == files.end()) return {};
    return {FileRead::kRead, found->second.substr(0, bound), found->second.size() <= bound};
  }
  bool Replace(SavedFile file, std::string_view bytes) override {
    if (!full) files[file] = bytes;
    return !full;
  }
  bool Remove(SavedFile file) override {
    if (!full) files.erase(file);
    return !full;
  }
  bool SetAside(SavedFile file) override {
    aside.push_back(file == SavedFile::kHistory && unreadable ? "unreadable" : files[file]);
    files.erase(file);
    unreadable = false;
    return true;
  }
  bool Lock() override { return true; }
  void Unlock() override {}

  ParsedHistory Saved() const {
    const auto found = files.find(SavedFile::kHistory);
    return found == files.end() ? ParsedHistory{} : ParseHistory(found->second);
  }
};

HistoryEntry Entry(std::wstring expression, std::wstring result, std::int64_t created,
                   std::uint64_t origin) {
  return {std::move(expression), std::move(result), created, origin};
}

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
      Entry(L"2+3", L"5", 0, 1),
      Entry(L"a\tb\\n\nc\rd\\", L"错误", 1733750000123, 0xFFFFFFFFFFFFFFFFu),
      Entry(L"\u2026\u221A(2)+\U0001D70B", L"无穷大", 1733750000123, 0x0123456789ABCDEFu),
      Entry(L"", L"", 7, 2),
  };
  const std::string bytes = SerializeHistory(entries);
  const ParsedHistory parsed = ParseHistory(bytes);
  EXPECT_TRUE(parsed.intact);
  EXPECT_TRUE(SameEntries(parsed.entries, entries));
  // One line per entry whatever the texts hold, and the same UTF-8 on every platform.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1 + 4);
  EXPECT_NE(bytes.find(reinterpret_cast<const char*>(u8"\t错误\n")), std::string::npos);
  EXPECT_NE(bytes.find(reinterpret_cast<const char*>(u8"\U0001D70B")), std::string::npos);
}

TEST(HistoryFile, MergeKeepsBothWindowsEntriesInTheOrderTheyWereMade) {
  constexpr std::uint64_t a = 0xA, b = 0xB;
  const std::deque<HistoryEntry> saved = {Entry(L"1+1", L"2", 10, a), Entry(L"3+3", L"6", 30, a),
                                          Entry(L"5+5", L"10", 50, a)};
  HistoryChanges changes;
  changes.added = {Entry(L"2+2", L"4", 20, b), Entry(L"1+1", L"2", 40, b),
                   Entry(L"3+3", L"6", 30, a)};  // saved already
  changes.deleted = {Entry(L"1+1", L"2", 10, a)};  // not the other window's equal one
  const std::deque<HistoryEntry> merged = MergeHistory(saved, changes);
  EXPECT_EQ(Texts(merged), (std::vector<std::wstring>{L"2+2 = 4", L"3+3 = 6", L"1+1 = 2", L"5+5 = 10"}));
  EXPECT_EQ(merged[2].origin, b);

  changes.cleared = true;
  EXPECT_EQ(Texts(MergeHistory(saved, changes)),
            (std::vector<std::wstring>{L"2+2 = 4", L"3+3 = 6", L"1+1 = 2"}));

  HistoryChanges many;
  for (int i = 0; i < 150; ++i) many.added.push_back(Entry(std::to_wstring(i), L"0", 1000 - i, b));
  const std::deque<HistoryEntry> newest = MergeHistory(saved, many);
  ASSERT_EQ(newest.size(), kHistoryCapacity);
  EXPECT_EQ(newest.front().created, 1000 - 99);
  EXPECT_EQ(newest.back().created, 1000);
}

TEST_F(SavedHistory, EachChangeIsSavedAndTheNextStartShowsIt) {
  StartSavedHistory(FakeHandle(), &storage);
  Press(L"2 + 3 =");
  EXPECT_TRUE(SameEntries(storage.Saved().entries, g_history));
  Press(L"7 \u00D7 8 =");
  Press(L"1 + 1 =");
  ASSERT_EQ(storage.Saved().entries.size(), 3u);

  DeleteHistoryEntry(FakeHandle(), 1);
  EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"2+3 = 5", L"1+1 = 2"}));
  const std::deque<HistoryEntry> before = g_history;
  Restart();
  EXPECT_TRUE(SameEntries(g_history, before));
  EXPECT_TRUE(SameEntries(g_fakeWindow.history, before));
  ChooseHistoryEntry(FakeHandle(), 0);
  ExpectText(L"5");

  ClearHistory(FakeHandle());
  EXPECT_TRUE(storage.Saved().entries.empty());
  EXPECT_TRUE(storage.files.count(SavedFile::kHistory));

  Press(L"2 + 2 =");
  OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // off: the saved history goes
  EXPECT_FALSE(MenuItemChecked(kMenuKeepHistory));
  EXPECT_FALSE(storage.files.count(SavedFile::kHistory));
  Press(L"4 + 4 =");
  EXPECT_FALSE(storage.files.count(SavedFile::kHistory));
  EXPECT_EQ(g_history.size(), 2u);  // the session keeps its own
  Restart();
  EXPECT_FALSE(MenuItemChecked(kMenuKeepHistory));
  EXPECT_TRUE(g_history.empty());

  Press(L"6 + 6 =");
  OnMenuCommand(FakeHandle(), kMenuKeepHistory);  // on: the session's entries are saved
  EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"6+6 = 12"}));
  Restart();
  EXPECT_TRUE(MenuItemChecked(kMenuKeepHistory));
  EXPECT_EQ(Texts(g_history), (std::vector<std::wstring>{L"6+6 = 12"}));
}

TEST_F(SavedHistory, AFailedSaveKeepsTheHistoryInMemoryAndTheNextChangeSavesAll) {
  StartSavedHistory(FakeHandle(), &storage);
  storage.full = true;
  Press(L"2 + 3 =");
  Press(L"4 + 4 =");
  DeleteHistoryEntry(FakeHandle(), 1);
  EXPECT_EQ(Texts(g_fakeWindow.history), (std::vector<std::wstring>{L"2+3 = 5"}));
  EXPECT_FALSE(storage.files.count(SavedFile::kHistory));
  storage.full = false;
  Press(L"1 + 1 =");
  EXPECT_EQ(Texts(storage.Saved().entries), (std::vector<std::wstring>{L"2+3 = 5", L"1+1 = 2"}));
}

TEST_F(SavedHistory, EntriesAnotherWindowSavedMeanwhileJoinAtTheNextSave) {
  StartSavedHistory(FakeHandle(), &storage);
  Press(L"1 + 1 =");
  std::deque<HistoryEntry> other = storage.Saved().entries;
  other.push_back(Entry(L"2+2", L"4", other.back().created + 1, 0xB));
  storage.files[SavedFile::kHistory] = SerializeHistory(other);
  Press(L"3 + 3 =");
  const std::vector<std::wstring> all{L"1+1 = 2", L"2+2 = 4", L"3+3 = 6"};
  EXPECT_EQ(Texts(storage.Saved().entries), all);
  EXPECT_EQ(Texts(g_fakeWindow.history), all);
}

// Whatever stands on disk, the window starts with what could be read, keeps a file it
// could not read whole aside, and saves a good one.
TEST_F(SavedHistory, ABadFileLoadsWhatCanBeReadAndIsSetAside) {
  const std::deque<HistoryEntry> good = {Entry(L"2+3", L"5", 1, 1), Entry(L"7*8", L"56", 2, 1),
                                         Entry(L"错误", L"错误", 3, 1)};
  const std::string file = SerializeHistory(good);
  const std::string twoLines = file.substr(0, file.rfind('\n', file.size() - 2) + 1);
  std::mt19937 random(17);
  std::string noise(4096, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  const std::string longLine = twoLines + "4\t" + std::string(16, '1') + "\t" +
                               std::string(10 << 20, '9') + "\t9\n";
  std::deque<HistoryEntry> many;
  for (int i = 0; i < 40000; ++i) many.push_back(Entry(L"1+1", L"2", i, 1));
  const std::string overBound = SerializeHistory(many);
  ASSERT_GT(overBound.size(), kSavedFileBound);

  struct Row {
    const char* name;
    std::string bytes;
    bool unreadable;
    std::size_t entries;
    bool setAside;
  };
  const Row rows[] = {
      {"empty", "", false, 0, false},
      {"good", file, false, 3, false},
      {"newer version", "vorlane-history 2\n" + file.substr(file.find('\n') + 1), false, 0, true},
      {"invalid UTF-8", twoLines + "3\t0000000000000001\t\xC3\x28\t1\n", false, 2, true},
      {"entry line of 10 MB", longLine, false, 2, true},
      {"beyond the read bound", overBound, false, kHistoryCapacity, true},
      {"random bytes", noise, false, 0, true},
      {"unreadable", "", true, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    storage = {};
    storage.files[SavedFile::kHistory] = row.bytes;
    storage.unreadable = row.unreadable;
    Restart();
    EXPECT_EQ(g_history.size(), row.entries);
    EXPECT_EQ(storage.aside.size(), row.setAside ? 1u : 0u);
    if (row.setAside && !storage.aside.empty()) {
      EXPECT_EQ(storage.aside[0], row.unreadable ? "unreadable" : row.bytes);
      EXPECT_TRUE(storage.Saved().intact);
      EXPECT_TRUE(SameEntries(storage.Saved().entries, g_history));
    }
  }

  // Cut at every byte: the whole lines before the cut are read, and a cut line is no entry.
  for (std::size_t cut = 0; cut < file.size(); ++cut) {
    storage = {};
    storage.files[SavedFile::kHistory] = file.substr(0, cut);
    Restart();
    const std::size_t lines = static_cast<std::size_t>(std::count(file.begin(), file.begin() + cut, '\n'));
    ASSERT_EQ(g_history.size(), lines == 0 ? 0 : lines - 1) << "cut at " << cut;
    EXPECT_TRUE(std::equal(g_history.begin(), g_history.end(), good.begin(), SameEntry));
    const bool atLineEnd = cut == 0 || file[cut - 1] == '\n';
    ASSERT_EQ(storage.aside.size(), atLineEnd ? 0u : 1u) << "cut at " << cut;
  }
}

TEST_F(SavedHistory, BadSettingsAreSetAsideAndKeepingStaysOn) {
  storage.files[SavedFile::kSettings] = "vorlane-settings 1\nkeep-history 2\n";
  storage.files[SavedFile::kHistory] = SerializeHistory({Entry(L"1+1", L"2", 1, 1)});
  Restart();
  EXPECT_TRUE(MenuItemChecked(kMenuKeepHistory));
  EXPECT_EQ(g_history.size(), 1u);
  EXPECT_EQ(storage.aside, (std::vector<std::string>{"vorlane-settings 1\nkeep-history 2\n"}));
  Settings saved{false};
  EXPECT_TRUE(ParseSettings(storage.files[SavedFile::kSettings], saved) && saved.keepHistory);
}

}  // namespace
