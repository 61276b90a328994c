#pragma once

#include <cstdio>
#include <string>

// Pushes a file's written bytes through the C library and the system cache to the disk.
// False when any part of that fails.
bool FlushFileToDisk(std::FILE* file);

// Makes a rename inside the directory durable. Best effort: a folder that cannot be synced
// changes nothing about the file's content, so the caller only learns nothing.
void FlushDirectoryToDisk(const std::string& directory);
