#include "console/readint.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

struct ReadCase {
  const char* input;
  ReadStatus status;
  std::int32_t value;
  const char* leftover;  // what the next read starts from
};

const ReadCase kCases[] = {
    {"3\n", ReadStatus::kValue, 3, "\n"},
    {"+3\n", ReadStatus::kValue, 3, "\n"},
    {"003\n", ReadStatus::kValue, 3, "\n"},
    {"-0\n", ReadStatus::kValue, 0, "\n"},
    {"-25\n", ReadStatus::kValue, -25, "\n"},
    {"   \t 7 8\n", ReadStatus::kValue, 7, " 8\n"},
    {"\n\n  \n12\n", ReadStatus::kValue, 12, "\n"},
    {"3x\n", ReadStatus::kValue, 3, "x\n"},
    {"2147483647\n", ReadStatus::kValue, 2147483647, "\n"},
    {"-2147483648\n", ReadStatus::kValue, -2147483647 - 1, "\n"},
    {"0002147483647\n", ReadStatus::kValue, 2147483647, "\n"},
    {"5", ReadStatus::kValue, 5, ""},
    {"2147483648 4\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"-2147483649\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"99999999999999999999999999\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"x3\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"+ 3\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"-\n9\n", ReadStatus::kInvalid, 0, "9\n"},
    {"abc", ReadStatus::kInvalid, 0, ""},
    {"", ReadStatus::kEnded, 0, ""},
    {" \n\t\n", ReadStatus::kEnded, 0, ""},
};

TEST(ReadInt, ReadsOneIntegerAndLeavesTheRest) {
  for (const ReadCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "input: \"" << c.input << "\"");
    ScriptedConsole console(c.input);
    const IntRead read = readint(console.con);
    EXPECT_EQ(read.status, c.status);
    if (c.status == ReadStatus::kValue) {
      EXPECT_EQ(read.value, c.value);
    }
    std::string rest(std::istreambuf_iterator<char>(console.in), {});
    EXPECT_EQ(rest, c.leftover);
    EXPECT_EQ(console.out.str(), "");
  }
}

TEST(ReadInt, AMillionDigitsAreOneFailedRead) {
  ScriptedConsole console(std::string(3'000'000, '7') + "\n4\n");
  EXPECT_EQ(readint(console.con).status, ReadStatus::kInvalid);
  const IntRead next = readint(console.con);
  EXPECT_EQ(next.status, ReadStatus::kValue);
  EXPECT_EQ(next.value, 4);
}

}  // namespace
