#include "console/colour.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiColour, MapsTheConsoleBitsToTerminalColours) {
  const struct {
    ConsoleColour colour;
    const char* sequence;
  } cases[] = {
      {1, "\x1b[34;40m"},  {2, "\x1b[32;40m"},  {3, "\x1b[36;40m"},  {4, "\x1b[31;40m"},
      {5, "\x1b[35;40m"},  {6, "\x1b[33;40m"},  {7, "\x1b[37;40m"},  {8, "\x1b[90;40m"},
      {9, "\x1b[94;40m"},  {10, "\x1b[92;40m"}, {11, "\x1b[96;40m"}, {12, "\x1b[91;40m"},
      {13, "\x1b[95;40m"}, {14, "\x1b[93;40m"}, {15, "\x1b[97;40m"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ansicolour(c.colour), c.sequence) << "colour " << c.colour;
  }
}

}  // namespace
