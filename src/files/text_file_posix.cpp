#include "files/text_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeall(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Opens, writes and closes; on a failure a regular file goes back to the
// length it had when it was opened.
bool writefile(const std::string& path, int flags, std::string_view text) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
  if (fd < 0) {
    return false;
  }
  struct stat before {};
  const bool regular = fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
  bool written = writeall(fd, text);
  if (!written && regular) {
    (void)ftruncate(fd, before.st_size);
  }
  if (close(fd) != 0 && written) {
    written = false;
    if (regular) {
      (void)truncate(path.c_str(), before.st_size);
    }
  }
  return written;
}

}  // namespace

bool AppendTextFile(const std::string& path, std::string_view text) {
  return writefile(path, O_APPEND, text);
}

bool ReplaceTextFile(const std::string& path, std::string_view text) {
  return writefile(path, O_TRUNC, text);
}
