#pragma once

#include <cstdint>
#include <string>

#include "reminder/classify.h"
#include "tasks/filestamp.h"

// When a poll may leave everything as the last poll left it without reading the task file.
// What a poll shows and raises depends only on the file's content and the hour, so a poll
// may skip its work when the file is the same file with the same size and times as when the
// last poll read it, the hour is the same, and that poll raised no reminder and reported no
// error (a reminder's answer, or a dialog closed without one, must be looked at again).
//
// A file changed twice within one tick of the file system's clock can keep its times, so a
// stamp is trusted only when the file's last change was clearly before the poll that read it
// began (the "racily clean" case): otherwise the next poll reads the file again.
class CPollSkipRule {
public:
    // Changes this close to a poll's start may share their time stamp with a later change:
    // more than the coarsest file system clock in use (two seconds).
    static constexpr std::int64_t kRacyNs = std::int64_t{3} * 1'000'000'000;

    // Whether a poll that finds the file at path with this stamp, in this hour, may skip.
    bool MaySkip(const std::string& path, const FileStamp& stamp, const PollHour& hour) const;

    // A poll began at startNs, read the file with this stamp, classified against this hour and
    // raised no reminder and reported no error.
    void Remember(const std::string& path, const FileStamp& stamp, std::int64_t startNs,
                  const PollHour& hour);
    // Any other poll: the next one reads the file.
    void Forget() { m_bRemembered = false; }

private:
    bool m_bRemembered = false;
    std::string m_strPath;
    FileStamp m_stamp;
    PollHour m_hour;
};
