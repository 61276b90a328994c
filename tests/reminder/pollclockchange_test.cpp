#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "calendar/ctime.h"
#include "calendar/timezone.h"
#include "pollfixture.h"
#include "reminder/poll.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

struct ChangeNight {
    const char* zone;
    int year, month, day;
    int changeHour;          // the local hour that is skipped or repeated
    int nextMonth, nextDay;  // a week later
};

std::string LineOf(const ChangeNight& n, int hour, int recurrence, const std::string& title) {
    return "#" + std::to_string(n.month) + "/" + std::to_string(n.day) + "/" +
           std::to_string(n.year) + "{+}0{+}0{+}" + std::to_string(recurrence) + "{+}" + title +
           "{+}(none){+}" + std::to_string(hour);
}

// Polls every quarter of an hour through the nights of the clock changes, answering "Okay":
// tasks due in the skipped or repeated hour, and in the hour after it, are each reminded once,
// as due, and a weekly one moves to the same local hour a week later.
TEST(PollClockChangeTest, TasksInTheChangeHourAreRemindedOnce) {
    const std::vector<ChangeNight> nights = {
        {"America/New_York", 2021, 3, 14, 2, 3, 21},
        {"America/New_York", 2021, 11, 7, 1, 11, 14},
        {"Europe/Berlin", 2021, 3, 28, 2, 4, 4},
        {"Europe/Berlin", 2021, 10, 31, 2, 11, 7},
    };
    for (const ChangeNight& night : nights) {
        SCOPED_TRACE(std::string(night.zone) + " " + std::to_string(night.month));
        const ScopedTimeZone zone(night.zone);
        const TaskFileScope file;
        file.WriteTasks({LineOf(night, night.changeHour, 0, "Once"),
                         LineOf(night, night.changeHour, 31, "Weekly"),
                         LineOf(night, night.changeHour + 1, 0, "After")});

        ScriptedHost host;
        const std::int64_t start =
            CTime::FromLocal(night.year, night.month, night.day - 1, 22).GetTime();
        std::map<std::string, int> reminded;
        for (std::int64_t t = start; t < start + std::int64_t{8} * 3600; t += 900) {
            host.m_now = CTime(t);
            host.m_asked.clear();
            host.m_rows.clear();
            host.m_answers = {ReminderAnswer::Okay, ReminderAnswer::Okay, ReminderAnswer::Okay};
            ASSERT_EQ(PollOnce(file.File(), host), kPollDone);
            EXPECT_EQ(host.m_rows.size(), 3U);
            for (const ReminderRequest& r : host.m_asked) {
                ++reminded[r.title];
                EXPECT_EQ(r.caption, Str::NowDue) << r.title;
            }
        }
        EXPECT_EQ(reminded, (std::map<std::string, int>{{"After", 1}, {"Once", 1}, {"Weekly", 1}}));

        const std::vector<std::string> lines = file.Lines();
        ASSERT_EQ(lines.size(), 3U);
        for (const std::string& line : lines) {
            const TaskRecord task = ParseTaskLine(line);
            if (task.title != "Weekly") {
                EXPECT_EQ(task.status, 1) << task.title;
                continue;
            }
            EXPECT_EQ(task.dueMonth, night.nextMonth);
            EXPECT_EQ(task.dueDay, night.nextDay);
            EXPECT_EQ(task.hour, night.changeHour);
            const CTime next =
                CTime::FromLocal(task.dueYear, task.dueMonth, task.dueDay, task.hour);
            EXPECT_EQ(next.GetLocalTm().hour, night.changeHour);
        }
    }
}

}  // namespace
