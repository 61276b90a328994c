#include "tasks/fileplatform.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <vector>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#ifdef _WIN32

namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), wide);
    return result;
}

// A file's security that lets the user who runs the program, and nobody else, open it.
class CPrivateSecurity {
public:
    CPrivateSecurity() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            return;
        }
        DWORD size = 0;
        (void)GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        m_user.resize(size);
        const bool bUser =
            size > 0 && GetTokenInformation(token, TokenUser, m_user.data(), size, &size);
        CloseHandle(token);
        if (!bUser) {
            return;
        }
        EXPLICIT_ACCESSW access{};
        access.grfAccessPermissions = GENERIC_ALL;
        access.grfAccessMode = SET_ACCESS;
        access.grfInheritance = NO_INHERITANCE;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_USER;
        access.Trustee.ptstrName =
            static_cast<LPWSTR>(reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid);
        if (SetEntriesInAclW(1, &access, nullptr, &m_pAcl) != ERROR_SUCCESS) {
            m_pAcl = nullptr;
            return;
        }
        // Protected: nothing is inherited from the folder.
        m_bReady =
            InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorDacl(&m_descriptor, TRUE, m_pAcl, FALSE) &&
            SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }
    ~CPrivateSecurity() { LocalFree(m_pAcl); }
    CPrivateSecurity(const CPrivateSecurity&) = delete;
    CPrivateSecurity& operator=(const CPrivateSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() {
        m_attributes = {sizeof(m_attributes), &m_descriptor, FALSE};
        return m_bReady ? &m_attributes : nullptr;
    }

private:
    std::vector<char> m_user;
    PACL m_pAcl = nullptr;
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{};
    bool m_bReady = false;
};

// What another program's open handle on the file makes a replace fail with.
bool IsHeldOpen(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

constexpr auto kReplaceRetryFor = std::chrono::seconds(2);
constexpr DWORD kReplaceRetryStepMs = 50;

}  // namespace

std::filesystem::path NativePath(const std::string& path) {
    return {Widen(path)};
}

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::FILE* CreatePrivateFile(const std::string& path) {
    CPrivateSecurity security;
    SECURITY_ATTRIBUTES* attributes = security.Attributes();
    if (attributes == nullptr) {
        return nullptr;  // better no rewrite than a copy of the tasks others may read
    }
    HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, attributes, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        // Nothing made is left behind.
        _close(fd);
        DeleteFileW(Widen(path).c_str());
    }
    return file;
}

bool TakeAccessOf(std::FILE*, const std::string&) {
    // The new file keeps the access list CreatePrivateFile gave it: the user's alone.
    return true;
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (DeleteFileW(wide.c_str())) {
        return true;
    }
    // Windows keeps a file with the read-only flag (which a temporary file takes over from a
    // read-only task file) from being deleted; a file's own rights never stop that on Linux.
    return GetLastError() == ERROR_ACCESS_DENIED &&
           SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(wide.c_str());
}

bool RenameOver(const std::string& from, const std::string& to) {
    const std::wstring source = Widen(from);
    const std::wstring target = Widen(to);
    // The user keeps a read-only file from changes, and Windows refuses to replace it however
    // long it is asked (Wine would replace it).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kReplaceRetryFor;
    for (;;) {
        // One rename on the volume, unlike ReplaceFileW, which takes several steps and can
        // fail between them with no file under the name at all.
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (!IsHeldOpen(GetLastError()) || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        Sleep(kReplaceRetryStepMs);
    }
}

#else

std::filesystem::path NativePath(const std::string& path) {
    return {path};
}

std::string PathText(const std::filesystem::path& path) {
    return path.string();
}

std::FILE* CreatePrivateFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        // Nothing made is left behind.
        (void)close(fd);
        (void)unlink(path.c_str());
    }
    return file;
}

bool TakeAccessOf(std::FILE* file, const std::string& modelPath) {
    struct stat model {};
    if (stat(modelPath.c_str(), &model) != 0) {
        return errno == ENOENT;
    }
    const int fd = fileno(file);
    // Asked even when the owner is already the same, so that a group the user may not hand
    // out is found here and not after the file took the task file's place.
    return fchown(fd, model.st_uid, model.st_gid) == 0 && fchmod(fd, model.st_mode & 07777) == 0;
}

bool RemoveFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

#endif
