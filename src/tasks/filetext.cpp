#include "tasks/filetext.h"

#include <algorithm>
#include <limits>

namespace {

// Room for a file a little larger than the one at hand, so a file that grows by a few tasks
// between reads does not need a new buffer each time.
constexpr std::size_t kSlackDivisor = 8;
constexpr std::size_t kLeastRoom = std::size_t{1} << 12;
// Room kept for a file that has become much smaller is given back.
constexpr std::size_t kShrinkFactor = 4;
constexpr std::size_t kLeastRoomGivenBack = std::size_t{1} << 20;
constexpr std::size_t kMostRoom = std::numeric_limits<std::size_t>::max() / 4;

}  // namespace

void CFileText::MakeRoom(std::size_t bytes, std::size_t keep) {
    const std::size_t capped = std::min(bytes, kMostRoom);
    const std::size_t room = std::max({bytes, capped + capped / kSlackDivisor, kLeastRoom});
    std::unique_ptr<char[]> fresh = std::make_unique_for_overwrite<char[]>(room);
    std::copy_n(m_pBuffer.get(), keep, fresh.get());
    m_pBuffer = std::move(fresh);
    m_nRoom = room;
}

bool CFileText::Read(std::FILE* file, std::uint64_t expectedSize) {
    m_nSize = 0;
    // One byte more than expected, so that reaching the end of the file needs no more room.
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(expectedSize, kMostRoom)) + 1;
    const bool bFarTooLarge =
        expectedSize > 0 && m_nRoom > kLeastRoomGivenBack && m_nRoom / kShrinkFactor > wanted;
    if (m_nRoom < wanted || bFarTooLarge) {
        MakeRoom(wanted, 0);
    }
    for (;;) {
        m_nSize += std::fread(m_pBuffer.get() + m_nSize, 1, m_nRoom - m_nSize, file);
        if (std::ferror(file) != 0) {
            m_nSize = 0;
            return false;
        }
        if (std::feof(file) != 0) {
            return true;
        }
        if (m_nSize == m_nRoom) {
            // Larger than expected: keep what was read and read on.
            MakeRoom(m_nRoom < kMostRoom ? m_nRoom * 2 : m_nRoom + kLeastRoom, m_nSize);
        }
    }
}
