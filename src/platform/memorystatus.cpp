#include "platform/memorystatus.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

// The number of kibibytes on a line "Name:   1234 kB", if the line names that figure.
std::optional<std::uint64_t> Kibibytes(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
        line[name.size()] != ':') {
        return std::nullopt;
    }
    line.remove_prefix(name.size() + 1);
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const std::from_chars_result result =
        std::from_chars(line.data() + start, line.data() + line.size(), value);
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

unsigned LoadPercent(std::uint64_t total, std::uint64_t available) {
    if (total == 0) {
        return 0;
    }
    const std::uint64_t used = total - std::min(available, total);
    // Rounded to the nearest percent; long double keeps huge totals from overflowing.
    return static_cast<unsigned>(static_cast<long double>(used) * 100 / total + 0.5L);
}

}  // namespace

MemoryStatus ReadMemInfo(const std::string& path) {
    std::ifstream file(path);
    std::optional<std::uint64_t> total;
    std::optional<std::uint64_t> available;
    std::optional<std::uint64_t> free;
    for (std::string line; std::getline(file, line);) {
        if (!total) {
            total = Kibibytes(line, "MemTotal");
        }
        if (!available) {
            available = Kibibytes(line, "MemAvailable");
        }
        if (!free) {
            free = Kibibytes(line, "MemFree");
        }
    }
    // The kernel's "kB" are units of 1024 bytes.
    constexpr std::uint64_t kUnit = 1024;
    MemoryStatus status;
    status.totalBytes = total.value_or(0) * kUnit;
    status.availableBytes = available.value_or(free.value_or(0)) * kUnit;
    status.loadPercent = LoadPercent(status.totalBytes, status.availableBytes);
    return status;
}

MemoryStatus GetMemoryStatus() {
#ifdef _WIN32
    MEMORYSTATUSEX memory{};
    memory.dwLength = static_cast<DWORD>(sizeof(memory));
    if (GlobalMemoryStatusEx(&memory) == 0) {
        return {};
    }
    return {.totalBytes = memory.ullTotalPhys,
            .availableBytes = memory.ullAvailPhys,
            .loadPercent = static_cast<unsigned>(memory.dwMemoryLoad)};
#else
    return ReadMemInfo("/proc/meminfo");
#endif
}
