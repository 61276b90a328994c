#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

// The line of text that starts at `at`, its line feed included; the last line of a text may lack
// one. Every reader of the task file cuts its text into lines here.
inline std::string_view LineAt(std::string_view text, std::size_t at) {
    const char* const start = text.data() + at;
    const std::size_t rest = text.size() - at;
    const void* feed = std::memchr(start, '\n', rest);
    return {start, feed == nullptr
                       ? rest
                       : static_cast<std::size_t>(static_cast<const char*>(feed) - start) + 1};
}

// The bytes of a whole file in a buffer that is kept: the one way the task file is read. Reading
// the file again reuses the room the last read left, so a file of the same size costs no allocation
// and no fresh pages, and a file read again unchanged is only compared with what is already there.
class CFileText {
public:
    enum class Outcome { Failed, Same, Changed };

    // Reads the open file from where it stands to its end, replacing the text, and says
    // whether the text is what it was. expectedSize, the file's size as far as known (0 when
    // not known), says how much room to make at once; a file that grew meanwhile is still
    // read whole, and room far beyond a known size is given back. On a read error (Failed)
    // there is no text.
    Outcome Read(std::FILE* file, std::uint64_t expectedSize);

    void Clear() { m_nSize = 0; }
    std::string_view View() const { return {m_pBuffer.get(), m_nSize}; }

private:
    // Makes new room for at least bytes, keeping the first `keep` bytes of the text.
    void MakeRoom(std::size_t bytes, std::size_t keep);
    // Reads blocks into the side buffer as long as they match the text from offset on.
    // Returns how much matched; differs tells whether a block that does not match was read
    // (it is then in the text after what matched).
    std::size_t ReadWhileSame(std::FILE* file, std::size_t oldSize, bool& differs);

    // Room is left as it was allocated: pages never written cost no memory.
    std::unique_ptr<char[]> m_pBuffer;
    std::size_t m_nRoom = 0;
    std::size_t m_nSize = 0;
    std::unique_ptr<char[]> m_pBlock;  // one block of the file, to compare before copying
};
