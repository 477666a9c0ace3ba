#include "console/colour.h"

#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

bool terminalwantscolour() {
  if (!isatty(STDOUT_FILENO)) {
    return false;
  }
  const char* nocolour = std::getenv("NO_COLOR");
  if (nocolour != nullptr && *nocolour != '\0') {
    return false;
  }
  const char* term = std::getenv("TERM");
  return term == nullptr || std::strcmp(term, "dumb") != 0;
}

}  // namespace

void setcolor(std::ostream& out, ConsoleColour colour) {
  static const bool wanted = terminalwantscolour();
  if (wanted) {
    out << ansicolour(colour);
  }
}
