#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// The task code's file calls that differ between systems, beside the reads (regularfile.h),
// the file stamps (filestamp.h) and the flushes to disk (filesync.h). A path is the program's
// own text: on Linux the bytes the file system takes, on Windows UTF-8, which is widened here
// for the system's wide-character calls, so that a folder of any name works.

// The path as the standard library's file system calls take it, and back.
std::filesystem::path NativePath(const std::string& path);
std::string PathText(const std::filesystem::path& path);

// Makes a new file to write, which only the user can open until it takes the task file's
// place. Nothing when it cannot be made, or something is already there.
std::FILE* CreatePrivateFile(const std::string& path);

// Gives the open file the owner, group and mode of the file at modelPath, the owner first (a
// change of owner may clear some mode bits). A file without a model stays private. False when
// the model cannot be looked at or the system refuses any of it.
bool TakeAccessOf(std::FILE* file, const std::string& modelPath);

// Removes a file. False when it could not, or there was none.
bool RemoveFile(const std::string& path);

// Puts the file at `from` in the place of `to` in one step: at every moment `to` is either
// the old or the new file. Windows cannot replace a file that another program holds open;
// that is tried again for a short while (an editor or a sync client soon lets go), then it
// fails with the old file in place. Nor does it replace a read-only file.
bool RenameOver(const std::string& from, const std::string& to);
