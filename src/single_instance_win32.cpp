#include "single_instance.h"

#include <windows.h>

CLimitSingleInstance::CLimitSingleInstance() {
  m_MutexHandle = CreateMutexA(NULL, FALSE, "VOXAMutex");
  m_LastError = GetLastError();
}

CLimitSingleInstance::~CLimitSingleInstance() {
  if (m_MutexHandle != NULL) {
    CloseHandle(m_MutexHandle);
    m_MutexHandle = NULL;
  }
}
