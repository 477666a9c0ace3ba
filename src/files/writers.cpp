#include "files/writers.h"

#include "console/error.h"
#include "files/text_file.h"

namespace {

bool reported(std::ostream& console, bool written, std::string_view name) {
  if (!written) {
    std::string message = "Error: unable to write to ";
    message += name;
    message += "!\n";
    showerror(console, message);
  }
  return written;
}

bool appendline(std::ostream& console, const std::string& dir, const RosterEntry& entry,
                const std::string& line) {
  const std::string name = scriptname(entry);
  return reported(console, AppendTextFile(pathin(dir, name), line), name);
}

}  // namespace

std::string pathin(const std::string& dir, std::string_view name) {
  if (dir.empty()) {
    return std::string(name);
  }
  return dir + "/" + std::string(name);
}

bool appendheader(std::ostream& console, const std::string& dir, const RosterEntry& entry) {
  return appendline(console, dir, entry, "// " + std::string(entry.title) + " CVARs...\n");
}

bool appendcvar(std::ostream& console, const std::string& dir, const RosterEntry& entry,
                const std::string& name, std::int32_t value) {
  return appendline(console, dir, entry, name + " " + std::to_string(value) + "\n");
}

std::string execblock() {
  std::string block = "\n// VOXA execution commands...\n";
  for (const RosterEntry& entry : g_Roster) {
    if (entry.number > 1) {
      block += '\n';
    }
    block += "exec " + scriptname(entry);
  }
  return block;
}

bool appendexecblock(std::ostream& console, const std::string& dir) {
  return reported(console, AppendTextFile(pathin(dir, kAutoexecName), execblock()), kAutoexecName);
}

bool writemarker(std::ostream& console, const std::string& dir) {
  return reported(console, ReplaceTextFile(pathin(dir, kMarkerName), "no"), kMarkerName);
}
