#include "reminder/pollskiprule.h"

#include <algorithm>

bool CPollSkipRule::MaySkip(const std::string& path, const FileStamp& stamp,
                            const PollHour& hour) const {
    return m_bRemembered && m_stamp == stamp && m_hour == hour && m_strPath == path;
}

void CPollSkipRule::Remember(const std::string& path, const FileStamp& stamp, std::int64_t startNs,
                             const PollHour& hour) {
    // The change time moves with every change of the content and cannot be set back as the
    // modification time can; the later of the two counts.
    const std::int64_t lastChange = std::max(stamp.modifiedNs, stamp.changedNs);
    m_bRemembered = lastChange <= startNs - kRacyNs;
    if (m_bRemembered) {
        m_strPath.assign(path);  // the same path again reuses the string's room
        m_stamp = stamp;
        m_hour = hour;
    }
}
