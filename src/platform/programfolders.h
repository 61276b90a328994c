#pragma once

#include <QString>
#include <string>

// Where the program keeps its files. A portable copy (the build folder, or any folder the
// program was copied to) keeps the task file and the help page beside itself. A copy put in
// place by the install rules, which leave a marker among the installed data, keeps the task
// file in the user's data folder and reads the help page from the installed data.
struct ProgramFolders {
    std::string taskFolder;  // the "taskfile" setting is relative to it; ends in a slash
    std::string helpFolder;  // holds the help page; ends in a slash
    // The installed program found no data folder of its own: this is its first start, which
    // makes the folder and an empty task file in it.
    bool bFirstStart = false;

    bool operator==(const ProgramFolders&) const = default;
};

// The marker the install rules place: "<program folder>/../share/marmoset-task/installed"
// for the usual layout.
QString InstalledMarkerPath(const QString& programDir);

// Both folders are the program's own (moduleDir ends in a slash).
ProgramFolders PortableFolders(const std::string& moduleDir);

// The folders of the program that lives in programDir: installed when the install rules'
// marker is there, else portable.
ProgramFolders FindProgramFolders(const QString& programDir);

// The installed program's data folder, "$XDG_DATA_HOME/Marmoset Task/" (~/.local/share when
// the variable is unset), ending in a slash.
QString UserDataFolder();

// The core takes a path as a std::string: on Linux in the file system's own encoding, on
// Windows in UTF-8, which it widens for the system's calls. These turn a Qt path into that
// form and back.
std::string ToCorePath(const QString& path);
QString FromCorePath(const std::string& path);

// Makes the folders up to the task file and an empty task file, unless something (a file, a
// folder, a link) is at that path already. Returns false when the file was missing and could
// not be made; the first poll then names the path.
bool CreateFirstTaskFile(const std::string& path);
