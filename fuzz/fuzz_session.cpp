// Whole sessions of the editor on arbitrary bytes, in process: the first byte
// picks the marker, the rest is what the user types.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "session_check.h"

namespace {

std::string g_Folder;

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(g_Folder, ignored);
}

// One scratch folder for the whole fuzzing run; every session empties it.
const std::string& Folder() {
  if (g_Folder.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kdx-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    g_Folder = pattern;
    std::atexit(RemoveFolder);
  }
  return g_Folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault =
      SessionFault(Folder(), std::string_view(reinterpret_cast<const char*>(data), size));
  if (!fault.empty()) {
    std::fprintf(stderr, "session fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
