#include "memorytaskfile.h"

#include <sys/mman.h>
#include <unistd.h>

#include "fuzzinput.h"

CMemoryTaskFile::CMemoryTaskFile() : m_nFd(memfd_create("nkdat", MFD_CLOEXEC)) {
    FUZZ_CHECK(m_nFd >= 0, "no memory file");
    m_strPath = "/proc/self/fd/" + std::to_string(m_nFd);
}

CMemoryTaskFile::~CMemoryTaskFile() {
    (void)close(m_nFd);
}

void CMemoryTaskFile::Write(std::string_view content) {
    FUZZ_CHECK(ftruncate(m_nFd, 0) == 0, "cannot empty the memory file");
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t now = pwrite(m_nFd, content.data() + written, content.size() - written,
                                   static_cast<off_t>(written));
        FUZZ_CHECK(now > 0, "cannot write the memory file");
        written += static_cast<std::size_t>(now);
    }
}
