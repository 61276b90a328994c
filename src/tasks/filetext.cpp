#include "tasks/filetext.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Room for a file a little larger than the one at hand, so a file that grows by a few tasks
// between reads does not need a new buffer each time.
constexpr std::size_t kSlackDivisor = 8;
constexpr std::size_t kLeastRoom = std::size_t{1} << 12;
constexpr std::size_t kMostRoom = std::numeric_limits<std::size_t>::max() / 4;
// Room kept for a file that has become much smaller is given back.
constexpr std::size_t kShrinkFactor = 4;
constexpr std::size_t kLeastRoomGivenBack = std::size_t{1} << 20;
// Blocks compared with the text before anything of it is replaced.
constexpr std::size_t kBlock = std::size_t{1} << 16;

}  // namespace

void CFileText::MakeRoom(std::size_t bytes, std::size_t keep) {
    const std::size_t capped = std::min(bytes, kMostRoom);
    const std::size_t room = std::max({bytes, capped + capped / kSlackDivisor, kLeastRoom});
    std::unique_ptr<char[]> fresh = std::make_unique_for_overwrite<char[]>(room);
    std::copy_n(m_pBuffer.get(), keep, fresh.get());
    m_pBuffer = std::move(fresh);
    m_nRoom = room;
}

std::size_t CFileText::ReadWhileSame(std::FILE* file, std::size_t oldSize, bool& differs) {
    if (!m_pBlock) {
        m_pBlock = std::make_unique_for_overwrite<char[]>(kBlock);
    }
    std::size_t same = 0;
    differs = false;
    for (;;) {
        const std::size_t read = std::fread(m_pBlock.get(), 1, kBlock, file);
        if (read == 0) {
            return same;
        }
        if (same + read <= oldSize &&
            std::memcmp(m_pBuffer.get() + same, m_pBlock.get(), read) == 0) {
            same += read;
            continue;
        }
        // From here on the text is replaced: the block goes in after what matched.
        if (same + read > m_nRoom) {
            MakeRoom(same + read, same);
        }
        std::memcpy(m_pBuffer.get() + same, m_pBlock.get(), read);
        differs = true;
        return same + read;
    }
}

CFileText::Outcome CFileText::Read(std::FILE* file, std::uint64_t expectedSize) {
    const std::size_t oldSize = m_nSize;
    m_nSize = 0;
    // One byte more than expected, so that reaching the end of the file needs no more room.
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(expectedSize, kMostRoom)) + 1;
    const bool bFarTooLarge =
        expectedSize > 0 && m_nRoom > kLeastRoomGivenBack && m_nRoom / kShrinkFactor > wanted;
    bool bDiffers = true;
    if (m_nRoom < wanted || bFarTooLarge) {
        MakeRoom(wanted, 0);  // new room: nothing to compare with
    } else {
        // A file read again unchanged is only compared; once it differs, the rest is read
        // straight into the text.
        m_nSize = ReadWhileSame(file, oldSize, bDiffers);
    }
    for (;;) {
        if (m_nSize == m_nRoom) {
            // Larger than expected: keep what was read and read on.
            MakeRoom(m_nRoom < kMostRoom ? m_nRoom * 2 : m_nRoom + kLeastRoom, m_nSize);
        }
        m_nSize += std::fread(m_pBuffer.get() + m_nSize, 1, m_nRoom - m_nSize, file);
        if (std::ferror(file) != 0) {
            m_nSize = 0;
            return Outcome::Failed;
        }
        if (std::feof(file) != 0) {
            break;
        }
    }
    return bDiffers || m_nSize != oldSize ? Outcome::Changed : Outcome::Same;
}
