#pragma once

#include <cstdint>

// Keeps a second copy of the program from running beside the first. The
// claim is made once, when the object is built, and held until it is
// destroyed or the process ends, however it ends.
class CLimitSingleInstance {
 public:
  // The last-error code that says the name was claimed already.
  static constexpr std::uint32_t kAlreadyExists = 183;

  CLimitSingleInstance();
  ~CLimitSingleInstance();
  CLimitSingleInstance(const CLimitSingleInstance&) = delete;
  CLimitSingleInstance& operator=(const CLimitSingleInstance&) = delete;

  bool IsAnotherInstanceRunning() const { return m_LastError == kAlreadyExists; }

 private:
  std::uint32_t m_LastError;
  void* m_MutexHandle;  // null when the claim could not be set up
};
