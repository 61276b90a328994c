#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

// The bytes of a whole file in a buffer that is kept: reading a file again reuses the room
// the last read left, so a file of the same size costs no allocation and no fresh pages.
class CFileText {
public:
    // Reads the open file from where it stands to its end, replacing the text. expectedSize,
    // the file's size as far as known (0 when not known), says how much room to make at once;
    // a file that grew meanwhile is still read whole, and room far beyond a known size is given
    // back. False on a read error, with no text then.
    bool Read(std::FILE* file, std::uint64_t expectedSize);

    void Clear() { m_nSize = 0; }
    std::string_view View() const { return {m_pBuffer.get(), m_nSize}; }

private:
    // Makes new room for at least bytes, keeping the first `keep` bytes of the text.
    void MakeRoom(std::size_t bytes, std::size_t keep);

    // Room is left as it was allocated: pages never written cost no memory.
    std::unique_ptr<char[]> m_pBuffer;
    std::size_t m_nRoom = 0;
    std::size_t m_nSize = 0;
};
