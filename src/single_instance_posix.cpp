#include "single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Without named kernel mutexes the name is a lock file of the user's, and the
// claim a record lock on it: the kernel drops it when its holder ends, killed
// or not, so no stale lock can outlive the instances. The first instance takes
// the lock exclusively and turns it shared at once; a later one, failing the
// exclusive lock, takes a shared one too and so holds the claim while it waits.

namespace {

constexpr const char* kLockName = "VOXAMutex";

// An absolute path of a directory that only this user can reach. A relative
// one would put the lock file wherever the program was started: in the game
// folder, most of the time.
bool isprivatedir(const char* dir) {
  struct stat st {};
  return dir != nullptr && *dir == '/' && stat(dir, &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == geteuid() && (st.st_mode & 0777) == 0700;
}

std::string lockpath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (isprivatedir(runtime)) {
    return std::string(runtime) + "/" + kLockName;
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir = tmp != nullptr && *tmp == '/' ? tmp : "/tmp";
  return dir + "/" + kLockName + "-" + std::to_string(geteuid());
}

// Opens the lock file, following no link, and accepts only a regular file of
// this user's: one planted by somebody else is no lock of ours.
int openlockfile() {
  const int fd = open(lockpath().c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  struct stat st {};
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid())) {
    close(fd);
    return -1;
  }
  return fd;
}

// Sets a lock on the whole file without waiting; 0 on success, else errno.
int setlock(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
  if (fcntl(fd, F_OFD_SETLK, &lock) == 0) {
    return 0;
  }
  if (errno != EINVAL) {
    return errno;
  }
#endif
  return fcntl(fd, F_SETLK, &lock) == 0 ? 0 : errno;
}

bool isheldelsewhere(int error) {
  return error == EAGAIN || error == EACCES;
}

// A starting instance holds its exclusive lock for a moment only.
bool waitforshared(int fd) {
  const timespec pause{0, 2'000'000};
  for (int tries = 0; tries < 1000; ++tries) {
    const int error = setlock(fd, F_RDLCK);
    if (error == 0 || !isheldelsewhere(error)) {
      return error == 0;
    }
    nanosleep(&pause, nullptr);
  }
  return false;
}

struct LockFile {
  int fd;
};

}  // namespace

CLimitSingleInstance::CLimitSingleInstance() : m_LastError(0), m_MutexHandle(nullptr) {
  const int fd = openlockfile();
  if (fd < 0) {
    return;
  }
  const int error = setlock(fd, F_WRLCK);
  if (error == 0) {
    setlock(fd, F_RDLCK);  // converted atomically: the claim is never let go
  } else if (isheldelsewhere(error)) {
    m_LastError = kAlreadyExists;
    waitforshared(fd);
  } else {
    m_LastError = static_cast<std::uint32_t>(error);
  }
  m_MutexHandle = new LockFile{fd};
}

CLimitSingleInstance::~CLimitSingleInstance() {
  if (m_MutexHandle != nullptr) {
    auto* lock = static_cast<LockFile*>(m_MutexHandle);
    close(lock->fd);
    delete lock;
    m_MutexHandle = nullptr;
  }
}
