#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "calendar/timezone.h"
#include "pollfixture.h"
#include "reminder/pollskiprule.h"
#include "reminder/taskpoller.h"
#include "res/strings.h"
#include "tasks/filestamp.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr std::int64_t kSecond = 1'000'000'000;

class CSetFileClock final : public IFileClock {
public:
    std::int64_t now = 0;
    std::int64_t NowNs() const override { return now; }
};

const std::string kLater = "#7/1/2024{+}0{+}0{+}0{+}Later{+}(none){+}9";
const std::string kNoon = "#6/14/2024{+}0{+}0{+}0{+}Noon{+}(none){+}12";

// Polls over a real task file with a poller that keeps what it found, as the main window's
// does, and a file clock the tests set relative to the file's own times.
class PollSkipTest : public ::testing::Test {
protected:
    PollSkipTest() : m_zone("UTC") { m_host.m_now = CTime::FromLocal(2024, 6, 14, 10, 25); }

    // The latest of the task file's modification and change times.
    std::int64_t LastChange() const {
        std::FILE* file = std::fopen(File().Path().c_str(), "rb");
        FileStamp stamp;
        EXPECT_TRUE(file != nullptr && ReadFileStamp(file, stamp));
        if (file != nullptr) {
            (void)std::fclose(file);
        }
        return std::max(stamp.modifiedNs, stamp.changedNs);
    }

    // Polls and says whether the poll read the file and showed its rows.
    bool PollRead() {
        const std::size_t shown = m_host.m_rowCounts.size();
        EXPECT_EQ(m_poller.Poll(m_host), kPollDone);
        const bool bRead = m_host.m_rowCounts.size() > shown;
        EXPECT_EQ(bRead, !m_poller.LastPollSkipped());
        return bRead;
    }

    // The rows of the last table shown.
    std::vector<ShownRow> LastRows() const {
        const std::size_t count = m_host.m_rowCounts.empty() ? 0 : m_host.m_rowCounts.back();
        return {m_host.m_rows.end() - static_cast<std::ptrdiff_t>(count), m_host.m_rows.end()};
    }

    ScopedTimeZone m_zone;
    TaskFileScope m_file;
    ScriptedHost m_host;
    CSetFileClock m_clock;
    CTaskPoller m_poller{m_file.File(), m_clock};

    const CTaskFile& File() const { return m_file.File(); }
};

TEST_F(PollSkipTest, UnchangedFileIsNotReadAgainWithinTheHour) {
    m_file.WriteTasks({kLater, kNoon});
    m_clock.now = LastChange() + 10 * kSecond;

    EXPECT_TRUE(PollRead());
    const std::vector<ShownRow> first = LastRows();
    ASSERT_EQ(first.size(), 2U);
    m_host.m_now = CTime::FromLocal(2024, 6, 14, 10, 59, 59);
    m_clock.now += 3600 * kSecond;
    EXPECT_FALSE(PollRead());
    EXPECT_FALSE(PollRead());
    EXPECT_EQ(m_host.m_rowCounts.size(), 1U);
    EXPECT_TRUE(m_host.m_asked.empty());

    // A new hour can change what every task shows: Noon falls due now.
    m_host.m_now = CTime::FromLocal(2024, 6, 14, 12, 0, 1);
    m_host.m_answers = {ReminderAnswer::Okay};
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Noon"}));
    EXPECT_EQ(LastRows()[1].statusText, "Complete");
    // After a reminder the file is read once more, then left alone.
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(LastRows()[1].statusText, "Complete");
    EXPECT_FALSE(PollRead());
}

// A reminder closed without an answer leaves the file as it was, and must come again at the
// next poll; a missing file is reported at every poll until it is back.
TEST_F(PollSkipTest, ReminderOrErrorAtTheLastPollForcesAFullPoll) {
    m_host.m_now = CTime::FromLocal(2024, 6, 14, 12, 30);
    m_file.WriteTasks({kLater, kNoon});
    m_clock.now = LastChange() + 10 * kSecond;
    m_host.m_answers = {ReminderAnswer::None, ReminderAnswer::None};

    EXPECT_TRUE(PollRead());
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Noon", "Noon"}));

    const fs::path away = m_file.Dir() / "away";
    fs::rename(File().Path(), away);
    EXPECT_EQ(m_poller.Poll(m_host), kPollNoFile);
    EXPECT_EQ(m_poller.Poll(m_host), kPollNoFile);
    EXPECT_EQ(m_host.m_errors.size(), 2U);
    EXPECT_TRUE(LastRows().empty());
    fs::rename(away, File().Path());
    m_host.m_answers = {ReminderAnswer::None};
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(LastRows().size(), 2U);
    EXPECT_EQ(m_host.m_asked.size(), 3U);
}

// A file changed within the same tick of the file system's clock as the stamp the poll took
// can look unchanged; a stamp that is not clearly older than the poll is never trusted.
TEST_F(PollSkipTest, RacilyCleanFileIsReadAgain) {
    m_file.WriteTasks({kLater, kNoon});
    const fs::file_time_type written = fs::last_write_time(File().Path());
    m_clock.now = LastChange() + kSecond / 2;

    EXPECT_TRUE(PollRead());
    EXPECT_TRUE(PollRead());

    // Another program changes a title in place, within the same second, and the file keeps
    // its size and modification time, as on a file system that keeps whole seconds.
    m_file.WriteTasks({kLater, "#6/14/2024{+}0{+}0{+}0{+}Nuun{+}(none){+}12"});
    fs::last_write_time(File().Path(), written);
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(LastRows()[1].text, "06/14/2024 Nuun");

    // Once the change lies clearly behind, one more read, and the stamp is trusted.
    m_clock.now = LastChange() + CPollSkipRule::kRacyNs + 1;
    EXPECT_TRUE(PollRead());
    EXPECT_FALSE(PollRead());
}

TEST_F(PollSkipTest, FileReplacedByRenameOrChangedByTheProgramIsReadAgain) {
    m_file.WriteTasks({kLater, kNoon});
    m_clock.now = LastChange() + 3600 * kSecond;
    EXPECT_TRUE(PollRead());

    // Another file of the same size and modification time moved into its place.
    const fs::path other = m_file.Dir() / "other";
    {
        std::ofstream out(other, std::ios::binary);
        out << kLater << "\r\n#6/14/2024{+}0{+}0{+}0{+}Noun{+}(none){+}12\r\n";
    }
    fs::last_write_time(other, fs::last_write_time(File().Path()));
    fs::rename(other, File().Path());
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(LastRows()[1].text, "06/14/2024 Noun");
    EXPECT_FALSE(PollRead());

    // The program's own change, as the commands make it.
    ASSERT_EQ(SetTaskStatus(File(), LastRows()[0].task, ToInt(TaskStatus::ToDelete)), kDone);
    EXPECT_TRUE(PollRead());
    EXPECT_EQ(LastRows()[1].statusText, "To Delete");
    EXPECT_EQ(LastRows()[1].text, "07/01/2024 Later");
}

// The racy case on its own, with stamps that cannot come from a real file system.
TEST(PollSkipRuleTest, TrustsOnlyAStampClearlyOlderThanThePoll) {
    const ScopedTimeZone zone("UTC");
    const PollHour hour = CurrentHour(CTime::FromLocal(2024, 6, 14, 10, 25));
    const std::int64_t start = std::int64_t{1'718'360'000} * kSecond;
    FileStamp stamp{.device = 8, .inode = 42, .size = 100};
    const auto remembered = [&](std::int64_t modified, std::int64_t changed) {
        stamp.modifiedNs = modified;
        stamp.changedNs = changed;
        CPollSkipRule rule;
        rule.Remember("a", stamp, start, hour);
        return rule.MaySkip("a", stamp, hour);
    };
    EXPECT_TRUE(remembered(start - kSecond * 60, start - CPollSkipRule::kRacyNs));
    EXPECT_FALSE(remembered(start - kSecond * 60, start - CPollSkipRule::kRacyNs + 1));
    EXPECT_FALSE(remembered(start + kSecond, start - kSecond * 60));  // set into the future
}

}  // namespace
