#pragma once
// The process's peak resident memory so far, in KiB: a test reads it before and after a hostile
// input to show that memory stayed bounded.
#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace truno::testing {

inline long peakRssKb() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS c{};
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return static_cast<long>(c.PeakWorkingSetSize / 1024);
#else
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
#endif
}

}  // namespace truno::testing
