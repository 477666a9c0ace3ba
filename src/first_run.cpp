#include "first_run.h"

#include <cctype>
#include <fstream>

#include "console/error.h"
#include "files/writers.h"

namespace {

// Only "yes" and "no" mean anything, so reading stops at the fourth
// character of the first word: a longer word is neither, however long it runs,
// and a marker that never ends (a link to a device) cannot hold up the start.
std::string markerword(const std::string& path) {
  std::ifstream marker(path);
  std::string word;
  char c = 0;
  if (!(marker >> std::ws)) {
    return word;
  }
  while (word.size() < 4 && marker.get(c) && std::isspace(static_cast<unsigned char>(c)) == 0) {
    word += c;
  }
  return word;
}

}  // namespace

int Config(Console& con, const std::string& dir, int* firstRun) {
  const std::string word = markerword(pathin(dir, kMarkerName));
  if (word == "yes") {
    *firstRun = 1;
    con.out << "First run?: yes" << std::endl;
  } else if (word == "no") {
    *firstRun = 0;
    con.out << "Config() executed normally...\n";
    con.out << "First run?: no" << std::endl;
  } else {
    showerror(con.out, "Error: unable to read value from firstruncheck.voxa!\n");
  }
  return *firstRun;
}

void FirstRunStep(Console& con, const std::string& dir, int firstRun) {
  if (firstRun < 1) {
    con.out << "The program has executed normally...\n";
    return;
  }
  con.out << "Generating autoexec.cfg...\n";
  // The marker says "no" only once the block is in place; otherwise the next
  // start tries again instead of leaving the scripts unregistered for good.
  if (appendexecblock(con.out, dir)) {
    writemarker(con.out, dir);
  }
}
