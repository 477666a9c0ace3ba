#include <iostream>

#include "console/console.h"
#include "console/error.h"
#include "program.h"
#include "single_instance.h"

// Built after the standard streams, before main starts.
CLimitSingleInstance g_SingleInstanceObj;

namespace {

// Says why this copy stops and waits for Enter, so the message stays on the
// screen of a console that closes with the program.
void RefuseSecondInstance(Console& con) {
  showerror(con.out, "Error: multiple instances detected!");
  con.out << std::endl;
  const std::streamsize ready = con.in.rdbuf()->in_avail();
  con.in.ignore(ready > 0 ? ready + 1 : 1);
}

}  // namespace

int main() {
  Console con{std::cin, std::cout};
  if (g_SingleInstanceObj.IsAnotherInstanceRunning()) {
    RefuseSecondInstance(con);
    return 0;
  }
  RunEditor(con, "");
  return 0;
}
