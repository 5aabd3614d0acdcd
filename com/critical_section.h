#pragma once
// A Win32 critical section owned for its lifetime, and a scope that holds it.

#include <windows.h>

namespace marupo::com {

class CriticalSection {
  public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

  private:
    CRITICAL_SECTION section_;
};

class CriticalSectionScope {
  public:
    explicit CriticalSectionScope(CriticalSection& section) : section_(section) {
        section_.Enter();
    }
    ~CriticalSectionScope() { section_.Leave(); }
    CriticalSectionScope(const CriticalSectionScope&) = delete;
    CriticalSectionScope& operator=(const CriticalSectionScope&) = delete;

  private:
    CriticalSection& section_;
};

}  // namespace marupo::com
