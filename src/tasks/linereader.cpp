#include "tasks/linereader.h"

#include <cstring>

namespace {
constexpr size_t kBlockSize = size_t{1} << 16;
}

CLineReader::CLineReader(std::FILE* file) : m_pFile(file), m_buffer(kBlockSize) {}

bool CLineReader::Next(std::string_view& line) {
    for (;;) {
        const char* begin = m_buffer.data() + m_nBegin;
        const size_t available = m_nEnd - m_nBegin;
        const void* feed = std::memchr(begin + m_nScanned, '\n', available - m_nScanned);
        if (feed != nullptr) {
            const size_t length = static_cast<size_t>(static_cast<const char*>(feed) - begin) + 1;
            line = std::string_view(begin, length);
            m_nBegin += length;
            m_nScanned = 0;
            return true;
        }
        m_nScanned = available;
        if (!m_bEof && Fill()) {
            continue;
        }
        if (m_bFailed || m_nEnd == m_nBegin) {
            return false;
        }
        // The last line of the file, without a line feed.
        line = std::string_view(m_buffer.data() + m_nBegin, m_nEnd - m_nBegin);
        m_nBegin = m_nEnd;
        m_nScanned = 0;
        return true;
    }
}

// Reads the next block behind the bytes not yet handed out, moving them to the front and
// growing the buffer when one line fills it. False when nothing more could be read.
bool CLineReader::Fill() {
    const size_t pending = m_nEnd - m_nBegin;
    if (m_nBegin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_nBegin, pending);
        m_nBegin = 0;
        m_nEnd = pending;
    }
    if (m_buffer.size() - m_nEnd < kBlockSize / 2) {
        m_buffer.resize(m_buffer.size() * 2);
    }
    const size_t read = std::fread(m_buffer.data() + m_nEnd, 1, m_buffer.size() - m_nEnd, m_pFile);
    m_nEnd += read;
    if (read == 0) {
        m_bEof = true;
        m_bFailed = std::ferror(m_pFile) != 0;
        return false;
    }
    return true;
}
