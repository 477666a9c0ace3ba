#include "files/text_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

// Text files on Windows end their lines in CR LF.
std::string withcrlf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') {
      out += '\r';
    }
    out += c;
  }
  return out;
}

bool writeall(int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const int written = _write(fd, data, static_cast<unsigned>(left));
    if (written <= 0) {
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

bool writefile(const std::string& path, int flags, std::string_view text) {
  const int fd =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | flags, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    return false;
  }
  const long long before = _filelengthi64(fd);
  bool written = writeall(fd, withcrlf(text));
  if (!written && before >= 0) {
    (void)_chsize_s(fd, before);
  }
  if (_close(fd) != 0) {
    written = false;
  }
  return written;
}

}  // namespace

bool AppendTextFile(const std::string& path, std::string_view text) {
  return writefile(path, _O_APPEND, text);
}

bool ReplaceTextFile(const std::string& path, std::string_view text) {
  return writefile(path, _O_TRUNC, text);
}
