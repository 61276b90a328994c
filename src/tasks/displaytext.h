#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The most bytes of a task's text a window shows. A title may be any length in a file edited
// by hand; a window that lays out megabytes of text in one line stops answering.
inline constexpr std::size_t kDisplayTextLimit = 500;

// The part of a task's text that a window shows: the whole text when it fits in `limit` bytes,
// else as much of its beginning as fits, cut between two characters, followed by "...". The
// text is UTF-8, as the program's windows read it; a cut never splits a character's bytes.
std::string DisplayText(std::string_view text, std::size_t limit = kDisplayTextLimit);
