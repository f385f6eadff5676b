// The bytes of vorlane-eval's saved lines: written as read, read leniently, the newest kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/eval_history_file.h"

namespace {

const std::string kHeader = "vorlane-eval-history 1\n";

TEST(EvalHistoryFile, WhatALineMayHoldComesBackAsItWas) {
  const std::vector<std::string> lines = {"1+2", "a\\nb\\", "cr\rlf\n", "\t2 \xCF\x80", "\xFF"};
  const std::string bytes = SerializeEvalHistory(lines);
  EXPECT_EQ(bytes, kHeader + "1+2\na\\\\nb\\\\\ncr\\rlf\\n\n\t2 \xCF\x80\n\xFF\n");
  const ParsedEvalHistory parsed = ParseEvalHistory(bytes);
  EXPECT_EQ(parsed.lines, lines);
  EXPECT_TRUE(parsed.intact);
}

TEST(EvalHistoryFile, ReadsWhatItCanAndSaysWhenSomethingWasLeftOut) {
  struct Row {
    std::string bytes;
    bool complete;
    std::vector<std::string> lines;
    bool intact;
  };
  const Row rows[] = {
      {"", true, {}, true},
      {kHeader + "1+2\r\n\r\n2*3\r\n", true, {"1+2", "2*3"}, true},
      {kHeader + "1+2\n2*", true, {"1+2"}, false},  // cut off: the last line is dropped
      {kHeader + "1+2\n", false, {"1+2"}, false},   // past the read bound
      {kHeader + "a\\qb\n3\n", true, {"3"}, false},
      {kHeader + std::string(kEvalLineBound + 1, '1') + "\n3\n", true, {"3"}, false},
      {"vorlane-eval-history 2\n1+2\n", true, {}, false},
      {"1+2\n", true, {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.bytes.substr(0, 60)));
    const ParsedEvalHistory parsed = ParseEvalHistory(row.bytes, row.complete);
    EXPECT_EQ(parsed.lines, row.lines);
    EXPECT_EQ(parsed.intact, row.intact);
  }
}

TEST(EvalHistoryFile, KeepsTheNewestThousandAndNoLineTooLongToRead) {
  std::vector<std::string> saved;
  for (int i = 0; i < 999; ++i) saved.push_back(std::to_string(i));
  // Backslashes are twice as long once written.
  const std::vector<std::string> merged = MergeEvalHistory(
      saved, {"", "new", std::string(kEvalLineBound / 2 + 1, '\\'), std::string(kEvalLineBound / 2, '\\'), "newer"});
  ASSERT_EQ(merged.size(), kEvalHistoryCapacity);
  EXPECT_EQ(merged.front(), "2");
  EXPECT_EQ(merged[kEvalHistoryCapacity - 4], "998");
  EXPECT_EQ(merged[kEvalHistoryCapacity - 3], "new");
  EXPECT_EQ(merged[kEvalHistoryCapacity - 2].size(), kEvalLineBound / 2);  // just fits
  EXPECT_EQ(merged.back(), "newer");
}

}  // namespace
