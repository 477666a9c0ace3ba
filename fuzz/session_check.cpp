#include "session_check.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "console/console.h"
#include "files/writers.h"
#include "program.h"

namespace {

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string ValueFault(std::string_view value) {
  const bool negative = !value.empty() && value.front() == '-';
  const std::string_view digits = negative ? value.substr(1) : value;
  if (!IsDigits(digits) || digits.size() > 10) {
    return "a value that is no plain decimal";
  }
  if ((digits.size() > 1 && digits.front() == '0') || (negative && digits == "0")) {
    return "a value that is not in its plain form";
  }
  const long long magnitude = std::stoll(std::string(digits));
  if (magnitude > (negative ? 2147483648LL : 2147483647LL)) {
    return "a value outside the signed 32-bit range";
  }
  return "";
}

bool IsOwnName(const RosterEntry& entry, std::string_view name) {
  for (const FormEntry& form : entry.forms) {
    for (int n = 1; n <= static_cast<int>(g_CvarSuffixes.size()); ++n) {
      if (cvarname(form, n) == name) {
        return true;
      }
    }
  }
  return false;
}

std::string Header(const RosterEntry& entry) {
  return "// " + std::string(entry.title) + " CVARs...";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void NoColour(std::ostream&, ConsoleColour) {}

std::string ScriptsFault(const std::string& dir) {
  for (const RosterEntry& entry : g_Roster) {
    const std::string path = pathin(dir, scriptname(entry));
    const std::string fault =
        std::filesystem::exists(path) ? ScriptFault(entry, ReadFile(path)) : "";
    if (!fault.empty()) {
      return scriptname(entry) + ": " + fault;
    }
  }
  return "";
}

std::string StrayFault(const std::string& dir) {
  std::set<std::string> known = {std::string(kMarkerName), std::string(kAutoexecName)};
  for (const RosterEntry& entry : g_Roster) {
    known.insert(scriptname(entry));
  }
  for (const auto& file : std::filesystem::directory_iterator(dir)) {
    if (known.count(file.path().filename().string()) == 0) {
      return "a stray file " + file.path().filename().string();
    }
  }
  return "";
}

// A first run leaves one start-up block and a marker that says "no"; a later
// one leaves the marker as it was and no autoexec.cfg.
std::string FolderFault(const std::string& dir, bool firstRun) {
  const std::string scripts = ScriptsFault(dir);
  if (!scripts.empty()) {
    return scripts;
  }
  if (ReadFile(pathin(dir, kMarkerName)) != "no") {
    return "the marker does not say \"no\"";
  }
  const std::string autoexec = pathin(dir, kAutoexecName);
  if (firstRun ? ReadFile(autoexec) != execblock() : std::filesystem::exists(autoexec)) {
    return firstRun ? "autoexec.cfg is not one start-up block" : "autoexec.cfg appeared";
  }
  return StrayFault(dir);
}

}  // namespace

std::string ScriptLineFault(const RosterEntry& entry, std::string_view line) {
  if (line == Header(entry)) {
    return "";
  }
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos || !IsOwnName(entry, line.substr(0, blank))) {
    return Quoted(line) + " is neither the header nor one of the character's own CVARs";
  }
  const std::string fault = ValueFault(line.substr(blank + 1));
  return fault.empty() ? "" : Quoted(line) + " has " + fault;
}

std::string ScriptFault(const RosterEntry& entry, std::string_view text) {
  if (text.substr(0, Header(entry).size() + 1) != Header(entry) + "\n") {
    return "the script does not begin with its header comment line";
  }
  int number = 1;
  for (std::size_t end; !text.empty(); text.remove_prefix(end + 1), ++number) {
    end = text.find('\n');
    if (end == std::string_view::npos) {
      return "line " + std::to_string(number) + " has no line end";
    }
    const std::string fault = ScriptLineFault(entry, text.substr(0, end));
    if (!fault.empty()) {
      return "line " + std::to_string(number) + ": " + fault;
    }
  }
  return "";
}

std::string OutputFault(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if ((c < 0x20 || c > 0x7e) && c != '\a' && c != '\n') {
      return "standard output holds byte " + std::to_string(c) + " at " + std::to_string(at);
    }
  }
  return "";
}

std::string SessionFault(const std::string& dir, std::string_view bytes) {
  for (const auto& file : std::filesystem::directory_iterator(dir)) {
    std::filesystem::remove_all(file.path());
  }
  const bool firstRun = !bytes.empty() && (static_cast<unsigned char>(bytes.front()) & 1) != 0;
  std::ofstream(pathin(dir, kMarkerName), std::ios::binary) << (firstRun ? "yes" : "no");
  std::istringstream in(std::string(bytes.empty() ? bytes : bytes.substr(1)));
  std::ostringstream out;
  Console con{in, out, NoColour};
  RunEditor(con, dir);
  const std::string fault = OutputFault(out.str());
  return fault.empty() ? FolderFault(dir, firstRun) : fault;
}
