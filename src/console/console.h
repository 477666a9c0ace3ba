#pragma once

#include <istream>
#include <ostream>

#include "console/colour.h"

using ColourSetter = void (*)(std::ostream& out, ConsoleColour colour);

// Where the program talks to its user: the standard streams and the real
// console colour in the program, string streams and a recorder in tests.
struct Console {
  std::istream& in;
  std::ostream& out;
  ColourSetter colour = setcolor;

  void setcolour(ConsoleColour value) { colour(out, value); }
};
