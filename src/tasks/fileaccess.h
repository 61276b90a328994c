#pragma once

#include <cstdio>
#include <string>

// Who may read and change a new task file: the system's own calls for it, beside the reads
// (regularfile.h) and the flushes to disk (filesync.h).

// Makes a new file to write, which only its owner can open, and nothing when it cannot be made
// or something is already at the path.
std::FILE* CreatePrivateFile(const std::string& path);

// Gives the open file the owner, group and mode of the file at modelPath, the owner first (a
// change of owner may clear some mode bits). A file without a model stays private. False when
// the model cannot be looked at or the system refuses any of it.
bool TakeAccessOf(std::FILE* file, const std::string& modelPath);
