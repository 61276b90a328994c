#pragma once

#include <cstdint>
#include <string>

// The machine's physical memory, as the About box reports it.
struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;
    unsigned loadPercent = 0;  // share of physical memory in use, 0 to 100

    bool operator==(const MemoryStatus&) const = default;
};

// Reads a file in the format of Linux's /proc/meminfo ("MemTotal:  16318524 kB"): MemTotal,
// and MemAvailable (MemFree on kernels without it). A file that cannot be read or lacks the
// figures gives zeros; the load is the share of the total that is not available.
MemoryStatus ReadMemInfo(const std::string& path);

// The running machine's memory status.
MemoryStatus GetMemoryStatus();
