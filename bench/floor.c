/* The least a program can do for the benchmark's sessions: the single-instance
 * lock, the marker read, the same bytes on standard output with one write per
 * flushed line end and per wait for input, and one open, write and close of
 * the character script per line. It knows only what the benchmark drives: a
 * marker that says "no", the selection menu, the page of the first character,
 * values, Back, Exit and the end of the input. The benchmark checks that its
 * output and its script match the editor's byte for byte. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static char out[4096];
static size_t outlen;

static void put(const char* text) {
  const size_t n = strlen(text);
  memcpy(out + outlen, text, n);
  outlen += n;
}

static void flush(void) {
  if (outlen > 0 && write(STDOUT_FILENO, out, outlen) < 0) {
    outlen = 0;
  }
  outlen = 0;
}

static void line(const char* text) {
  put(text);
  put("\n");
  flush();
}

static char in[4096];
static size_t inpos, inlen;

static int peek(void) {
  if (inpos == inlen) {
    const ssize_t n = read(STDIN_FILENO, in, sizeof in);
    if (n <= 0) {
      return -1;
    }
    inpos = 0;
    inlen = (size_t)n;
  }
  return (unsigned char)in[inpos];
}

/* Flushes, then reads one integer; 0 at the end of the input or at anything
 * the benchmark never sends. */
static int readint(long* value) {
  int c;
  int negative = 0;
  long magnitude = 0;
  flush();
  while ((c = peek()) == ' ' || c == '\n') {
    ++inpos;
  }
  if (c == '-') {
    negative = 1;
    ++inpos;
    c = peek();
  }
  if (c < '0' || c > '9') {
    return 0;
  }
  for (; c >= '0' && c <= '9'; c = peek()) {
    magnitude = magnitude * 10 + (c - '0');
    ++inpos;
  }
  *value = negative ? -magnitude : magnitude;
  return 1;
}

static void append(const char* text) {
  const int fd = open("talvin_cvars.cfg", O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (write(fd, text, strlen(text)) < 0) {
      /* nothing to do: the benchmark's folder never refuses a line */
    }
    close(fd);
  }
}

static const char* const labels[] = {
    "Talvin (Buddy)",  "Warden 4 (Buddy)", "Merok (Buddy)", "Vorne (Buddy)",
    "Dastrel (Buddy)", "Warden 5",         "Husk",          "Zog",
    "Kolvar",          "Captain Orlek",    "Tenro",         "Raik",
    "Osmer",           "Yarrel",           "Drovan",        "Nerith"};

static const char* const suffixes[] = {"dash_speed_end",  "dash_speed_start",  "ki_cost",
                                       "ki_efficiency",   "pl_bonus",          "stamina_efficiency",
                                       "start_hp",        "start_pl",          "start_speed",
                                       "swoop_speed_end", "swoop_speed_start", "trans_pl"};

static char items[12][64];

static int selection(long* choice) {
  char text[64];
  int n;
  line("Characters:");
  for (n = 0; n < 16; ++n) {
    snprintf(text, sizeof text, "%d. %s", n + 1, labels[n]);
    if (n < 15) {
      line(text);
    } else {
      put(text);
      put("\n\n");
    }
  }
  put("17. Exit\n\nSelect: ");
  return readint(choice);
}

/* The page of the first character until Back or the end of the input. */
static int page(void) {
  char text[96];
  long choice, value;
  int n;
  for (;;) {
    line("\nCVARs:");
    for (n = 0; n < 12; ++n) {
      line(items[n]);
    }
    put("13. Back to last page...\n\nSelect: ");
    if (!readint(&choice)) {
      return 0;
    }
    if (choice == 13) {
      return 1;
    }
    put("Input value for CVAR: ");
    if (!readint(&value)) {
      return 0;
    }
    snprintf(text, sizeof text, "class_talvin_%s %ld\n", suffixes[choice - 1], value);
    append(text);
  }
}

static void lock(void) {
  char path[4096];
  struct flock claim;
  const char* dir = getenv("XDG_RUNTIME_DIR");
  int fd;
  snprintf(path, sizeof path, "%s/VOXAMutex", dir != NULL ? dir : "/tmp");
  fd = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  memset(&claim, 0, sizeof claim);
  claim.l_type = F_WRLCK;
  claim.l_whence = SEEK_SET;
  if (fd >= 0 && fcntl(fd, F_OFD_SETLK, &claim) != 0) {
    exit(0);
  }
}

static void marker(void) {
  char word[64];
  const int fd = open("firstruncheck.voxa", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    if (read(fd, word, sizeof word) < 0) {
      word[0] = '\0';
    }
    close(fd);
  }
  put("Config() executed normally...\n");
  line("First run?: no");
  put("The program has executed normally...\n");
}

int main(void) {
  long choice;
  int n;
  lock();
  marker();
  for (n = 0; n < 12; ++n) {
    snprintf(items[n], sizeof items[n], "%d. class_talvin_%s", n + 1, suffixes[n]);
  }
  line("Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!");
  put("Please select a character from below...\n\n");
  (void)isatty(STDOUT_FILENO); /* colour only on a terminal */
  while (selection(&choice) && choice == 1) {
    append("// Talvin CVARs...\n");
    if (!page()) {
      break;
    }
  }
  return 0;
}
