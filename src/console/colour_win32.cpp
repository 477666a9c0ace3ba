#include "console/colour.h"

#include <windows.h>

void setcolor(std::ostream& out, ConsoleColour colour) {
  // The console colours text as it reaches the screen, so whatever is still
  // buffered must get there in the colour it was written in.
  out.flush();
  SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), colour);
}
