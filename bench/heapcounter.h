#pragma once

#include <cstddef>

// Heap accounting for a whole benchmark program: linking heapcounter.cpp replaces the global
// operator new and delete with ones that count every allocation and the bytes held.
namespace heapcounter {

// Allocations made since the program started.
std::size_t Allocations();
// Bytes held now.
std::size_t BytesNow();
// The most bytes held at once since the last ResetPeak.
std::size_t PeakBytes();
void ResetPeak();

}  // namespace heapcounter
