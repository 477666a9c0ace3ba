#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "console/console.h"

// A fresh directory of the test's own, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kdx-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Colour changes written into the text as "<n>", so that expected output
// shows which colour every piece of text is in.
inline void TagColour(std::ostream& out, ConsoleColour colour) {
  out << '<' << colour << '>';
}

// A console fed from a script, its output kept for comparison.
struct ScriptedConsole {
  explicit ScriptedConsole(const std::string& input) : in(input) {}

  std::istringstream in;
  std::ostringstream out;
  Console con{in, out, TagColour};
};
