#include "tasks/taskfile.h"

#include <filesystem>

#include "res/strings.h"

std::string g_szTaskFilePath;

FilePtr OpenTaskFileToRead(FileKind* pKind) {
    return OpenRegularFileToRead(g_szTaskFilePath, pKind);
}

std::string TaskFileProblemText() {
    FileKind kind = FileKind::Regular;
    static_cast<void>(OpenTaskFileToRead(&kind));
    const char* problem = Str::ReasonCannotRead;
    switch (kind) {
        case FileKind::Missing:
            problem = Str::TaskFileNotFound;
            break;
        case FileKind::Folder:
            problem = Str::TaskFileIsFolder;
            break;
        case FileKind::Pipe:
            problem = Str::TaskFileIsPipe;
            break;
        case FileKind::Device:
            problem = Str::TaskFileIsDevice;
            break;
        case FileKind::Socket:
        case FileKind::Other:
            problem = Str::TaskFileIsNotAFile;
            break;
        case FileKind::Regular:
        case FileKind::Unreadable:
            break;
    }
    return std::string(problem) + "\n\n" + g_szTaskFilePath;
}

std::string TempFilePath() {
    return std::filesystem::path(g_szTaskFilePath).replace_filename(kTempFileName).string();
}
