#include "console/colour.h"

std::string ansicolour(ConsoleColour colour) {
  const int red = (colour >> 2) & 1;
  const int green = (colour >> 1) & 1;
  const int blue = colour & 1;
  const int base = (colour & 8) ? 90 : 30;
  const int foreground = base + red + 2 * green + 4 * blue;
  return "\x1b[" + std::to_string(foreground) + ";40m";
}
