#include "console/readint.h"

#include <cctype>
#include <streambuf>
#include <string>

namespace {

using Traits = std::char_traits<char>;

bool isdigitchar(int c) {
  return c != Traits::eof() && c >= '0' && c <= '9';
}

bool isspacechar(int c) {
  return c != Traits::eof() && std::isspace(static_cast<unsigned char>(c)) != 0;
}

int skipspace(std::streambuf& buf) {
  int c = buf.sgetc();
  while (isspacechar(c)) {
    c = buf.snextc();
  }
  return c;
}

// Drops what is left of the line, its line end included.
void discardline(std::streambuf& buf) {
  for (int c = buf.sgetc(); c != Traits::eof(); c = buf.snextc()) {
    if (c == '\n') {
      buf.sbumpc();
      return;
    }
  }
}

IntRead invalid(std::streambuf& buf) {
  discardline(buf);
  return {ReadStatus::kInvalid, 0};
}

}  // namespace

IntRead readint(Console& con) {
  con.out.flush();
  std::streambuf& buf = *con.in.rdbuf();
  int c = skipspace(buf);
  if (c == Traits::eof()) {
    return {ReadStatus::kEnded, 0};
  }
  const bool negative = c == '-';
  if (c == '-' || c == '+') {
    c = buf.snextc();
  }
  // The digits are counted, never stored, so a line of any length is cheap.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  bool anydigit = false;
  for (; isdigitchar(c); c = buf.snextc()) {
    anydigit = true;
    if (magnitude <= limit) {
      magnitude = magnitude * 10 + (c - '0');
    }
  }
  if (!anydigit || magnitude > limit) {
    return invalid(buf);
  }
  return {ReadStatus::kValue, static_cast<std::int32_t>(negative ? -magnitude : magnitude)};
}
