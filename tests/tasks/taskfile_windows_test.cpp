// Windows' own ways of guarding a file: another program's handle that does not share the
// file, and the file's access list.

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include <windows.h>
// After windows.h.
#include <aclapi.h>
#include <sddl.h>

#include "tasks/fileplatform.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"
#include "tasks/writelock.h"

namespace {

using namespace std::chrono_literals;

const std::string kA = FormatTaskLine(2030, 1, 2, 0, 0, 0, "A", "(none)", 6);
const std::string kB = FormatTaskLine(2030, 1, 3, 0, 0, 0, "B", "(none)", 6);

class TaskFileWindows : public TaskFileTest {
protected:
    // The task file opened as an editor or a sync client may open it: others may read and
    // write it, but not delete or replace it.
    HANDLE HoldTaskFile() const {
        return CreateFileW(NativePath(Path()).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    // A rewrite of the whole file, as every command makes.
    int DeleteFirstTask() const { return DeleteTask(File(), TaskRef{ParseTaskLine(kA), 1}); }
};

TEST_F(TaskFileWindows, AFileHeldOpenIsTriedForAWhileThenReportedUnchanged) {
    WriteTasks(kA + kB);
    const HANDLE held = HoldTaskFile();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DeleteFirstTask(), kCannotReplace);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1s);
    CloseHandle(held);
    EXPECT_EQ(ReadTasks(), kA + kB);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileWindows, AFileLetGoWhileTriedIsReplaced) {
    WriteTasks(kA + kB);
    const HANDLE held = HoldTaskFile();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letGo([held] {
        std::this_thread::sleep_for(300ms);
        CloseHandle(held);
    });
    EXPECT_EQ(DeleteFirstTask(), kDone);
    letGo.join();
    EXPECT_EQ(ReadTasks(), kB);
    EXPECT_FALSE(TempExists());
}

// Windows does not replace a read-only file. The temporary file takes the flag over, which
// keeps Windows from deleting it too; it must not stay.
TEST_F(TaskFileWindows, AReadOnlyTaskFileStaysAsItIsWithNoTemporaryFileLeft) {
    WriteTasks(kA + kB);
    const std::wstring path = NativePath(Path()).native();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(DeleteFirstTask(), kCannotReplace);
    EXPECT_EQ(ReadTasks(), kA + kB);
    EXPECT_FALSE(TempExists());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The accounts the file's access list lets read it, as SID strings.
std::set<std::string> ReadersOf(const std::string& path) {
    std::set<std::string> readers;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(NativePath(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &acl, nullptr, &descriptor) != ERROR_SUCCESS) {
        ADD_FAILURE() << "no access list for " << path;
        return readers;
    }
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace) ||
            static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & (FILE_READ_DATA | GENERIC_READ | GENERIC_ALL)) == 0) {
            continue;
        }
        LPSTR sid = nullptr;
        if (ConvertSidToStringSidA(&allowed->SidStart, &sid)) {
            readers.insert(sid);
            LocalFree(sid);
        }
    }
    LocalFree(descriptor);
    return readers;
}

std::string CurrentUser() {
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    char buffer[256];
    DWORD size = sizeof(buffer);
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, buffer, size, &size));
    CloseHandle(token);
    LPSTR sid = nullptr;
    EXPECT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid));
    std::string text = sid;
    LocalFree(sid);
    return text;
}

TEST_F(TaskFileWindows, TheTemporaryFileAndTheRewrittenFileAreTheUsersAlone) {
    // Wine lists the system's own account too, as any Windows file has it.
    const std::set<std::string> userAlone = {CurrentUser()};
    const std::set<std::string> userAndSystem = {CurrentUser(), "S-1-5-18"};
    const auto isTheUsersAlone = [&](const std::set<std::string>& readers) {
        return readers == userAlone || readers == userAndSystem;
    };
    // A file made the usual way, in a folder everyone may read.
    WriteTasks(kA + kB);
    std::set<std::string> tempReaders;
    File().SetFaultHook([&](RewriteStep step) {
        if (step == RewriteStep::Rename) {
            tempReaders = ReadersOf(File().TempPath());
        }
        return false;
    });
    EXPECT_EQ(DeleteFirstTask(), kDone);
    File().SetFaultHook(nullptr);
    EXPECT_TRUE(isTheUsersAlone(tempReaders));
    EXPECT_TRUE(isTheUsersAlone(ReadersOf(Path())));
    EXPECT_EQ(ReadTasks(), kB);
}

TEST_F(TaskFileWindows, AWriterWaitsForAnotherWritersLockAndGoesOnOnceItIsLetGo) {
    WriteTasks(kA + kB);
    {
        const CWriteLock other(File().LockPath());
        ASSERT_EQ(other.Result(), CWriteLock::Outcome::Held);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(DeleteFirstTask(), kBusy);
        EXPECT_GE(std::chrono::steady_clock::now() - start, CWriteLock::kWait);
        EXPECT_EQ(ReadTasks(), kA + kB);
    }
    EXPECT_EQ(DeleteFirstTask(), kDone);
    EXPECT_EQ(ReadTasks(), kB);
}

}  // namespace
