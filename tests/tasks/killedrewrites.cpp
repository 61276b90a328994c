#include "tasks/killedrewrites.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <windows.h>

#include "tasks/fileplatform.h"

namespace {

constexpr UINT kKilledExitCode = 137;

std::wstring LoopProgram() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"task_rewrite_loop.exe";
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// Closes a handle when it goes.
struct CHandle {
    HANDLE h = nullptr;
    ~CHandle() {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
    }
};

}  // namespace

bool KillRewritesAfter(const std::string& taskFile, std::chrono::microseconds delay) {
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    CHandle readEnd;
    CHandle writeEnd;
    if (!CreatePipe(&readEnd.h, &writeEnd.h, &inherited, 0) ||
        !SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0)) {
        ADD_FAILURE() << "no pipe: " << GetLastError();
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.h;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = Quoted(LoopProgram()) + L" " + Quoted(NativePath(taskFile).native());
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        ADD_FAILURE() << "task_rewrite_loop.exe does not start: " << GetLastError();
        return false;
    }
    const CHandle process{started.hProcess};
    const CHandle thread{started.hThread};
    CloseHandle(writeEnd.h);
    writeEnd.h = nullptr;

    // The first byte comes after the first whole rewrite.
    char done = 0;
    DWORD read = 0;
    const bool bStarted = ReadFile(readEnd.h, &done, 1, &read, nullptr) && read == 1;
    if (bStarted) {
        std::this_thread::sleep_for(delay);
    }
    TerminateProcess(process.h, kKilledExitCode);
    WaitForSingleObject(process.h, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.h, &exitCode);
    if (!bStarted || exitCode != kKilledExitCode) {
        ADD_FAILURE() << "the rewrites stopped on their own, exit code " << exitCode;
        return false;
    }
    return true;
}
