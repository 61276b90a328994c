#include "reminder/poll.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calendar/timezone.h"
#include "pollfixture.h"
#include "reminder/taskpoller.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

using Lines = std::vector<std::string>;

class PollTest : public ::testing::Test {
protected:
    PollTest() : m_zone("UTC") { m_host.m_now = CTime::FromLocal(2024, 6, 14, 10, 25, 13); }

    int Poll() { return PollOnce(File(), m_host); }
    const CTaskFile& File() const { return m_file->File(); }
    void WriteTasks(const Lines& lines) const { m_file->WriteTasks(lines); }
    std::string Content() const { return m_file->Content(); }
    Lines FileLines() const { return m_file->Lines(); }

    ScopedTimeZone m_zone;
    std::unique_ptr<TaskFileScope> m_file = std::make_unique<TaskFileScope>();
    ScriptedHost m_host;
};

// Both overdue; the task between them is not due yet.
const std::string kDentist = "#6/12/2024{+}0{+}0{+}0{+}Dentist{+}(none){+}14";
const std::string kLater = "#7/1/2024{+}0{+}0{+}0{+}Later{+}(none){+}9";
const std::string kBills = "#6/13/2024{+}0{+}0{+}0{+}Bills{+}Pay the gas{+}8";

TEST_F(PollTest, RemindsOverdueTasksInFileOrderAndMovesThemToTheEndInAnswerOrder) {
    WriteTasks({kDentist, kLater, kBills});
    m_host.m_answers = {ReminderAnswer::Okay, ReminderAnswer::Okay};

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Bills"}));
    ASSERT_EQ(m_host.m_asked.size(), 2U);
    EXPECT_EQ(m_host.m_asked[0].nRecord, 1);
    EXPECT_EQ(m_host.m_asked[1].nRecord, 2);  // Dentist has moved to the end meanwhile
    EXPECT_EQ(m_host.m_asked[1], (ReminderRequest{.nRecord = 2,
                                                  .title = "Bills",
                                                  .year = 2024,
                                                  .month = 6,
                                                  .day = 13,
                                                  .advanceDays = 0,
                                                  .hour = 8,
                                                  .status = 0,
                                                  .caption = Str::MissedAppointments}));
    EXPECT_EQ(FileLines(), (Lines{kLater, "#6/12/2024{+}0{+}1{+}0{+}Dentist{+}(none){+}14",
                                  "#6/13/2024{+}0{+}1{+}0{+}Bills{+}Pay the gas{+}8"}));

    // Once the answers are in, the list shows the file as they left it: the answered tasks at
    // its end, complete, each row naming its task where it now stands.
    EXPECT_EQ(m_host.m_rowCounts, (std::vector<std::size_t>{3}));
    ASSERT_EQ(m_host.m_rows.size(), 3U);
    EXPECT_EQ(m_host.m_rows[0],
              (ShownRow{"07/01/2024 Later", "Future", 0, "None", {ParseTaskLine(kLater), 1}}));
    const ShownRow dentist{"06/12/2024 Dentist", "Complete", 1, "None",
                           TaskRef{ParseTaskLine(FileLines()[1]), 2}};
    EXPECT_EQ(m_host.m_rows[1], dentist);
    EXPECT_EQ(m_host.m_rows[2].text, "06/13/2024 Bills");
    EXPECT_EQ(m_host.m_rows[2].statusText, "Complete");
    for (const ShownRow& row : m_host.m_rows) {
        const int n = FindTask(File(), row.task);
        ASSERT_GE(n, 1) << row.text;
        EXPECT_EQ(ParseTaskLine(FileLines()[static_cast<size_t>(n) - 1]), row.task.record);
    }
    EXPECT_EQ(FindTask(File(), m_host.m_rows[2].task), 3);
}

// The answers are shown as they were written even when a reminder waited into the next hour,
// and a task that falls due meanwhile is left for the next poll to raise.
TEST_F(PollTest, RowsAfterTheAnswersAreClassifiedWhenTheLastAnswerCame) {
    const std::string noon = "#6/14/2024{+}0{+}0{+}0{+}Noon{+}(none){+}12";
    WriteTasks({kDentist, noon});
    m_host.m_answers = {ReminderAnswer::Okay};
    m_host.m_onAsk = [&](const ReminderRequest&) {
        m_host.m_now = CTime::FromLocal(2024, 6, 14, 12, 10);
    };

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist"}));
    ASSERT_EQ(m_host.m_rows.size(), 2U);
    EXPECT_EQ(m_host.m_rows[0].text, "06/14/2024 Noon");
    EXPECT_EQ(m_host.m_rows[0].statusText, "Today/Unread");
    EXPECT_EQ(m_host.m_rows[1].statusText, "Complete");
    m_host.m_answers = {ReminderAnswer::Okay};
    m_host.m_onAsk = nullptr;
    EXPECT_EQ(Poll(), kPollDone);
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Noon"}));
}

TEST_F(PollTest, AnswerThatCannotBeSavedIsReportedAndLeavesTheFileAsItWas) {
    WriteTasks({kDentist, kLater});
    const std::string before = Content();
    // A folder where the rewrite wants its temporary file makes every write-back fail.
    std::filesystem::create_directories(std::filesystem::path(File().TempPath()) / "blocker");
    m_host.m_answers = {ReminderAnswer::Okay};

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_EQ(Content(), before);
    EXPECT_EQ(
        m_host.m_errors,
        (std::vector<std::pair<std::string, std::string>>{{Str::AnswerNotSaved, Str::Error}}));
    EXPECT_EQ(m_host.m_rows.size(), 2U);
}

TEST_F(PollTest, PuttingOffMissedTasksKeepsThemQuietUntilTomorrow) {
    WriteTasks({kDentist, kBills});
    m_host.m_answers = {ReminderAnswer::RemindTomorrow, ReminderAnswer::RemindTomorrow};

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Bills"}));
    EXPECT_EQ(m_host.m_rows.size(), 2U);
    EXPECT_EQ(FileLines(), (Lines{"#6/15/2024{+}0{+}0{+}0{+}Dentist{+}(none){+}14",
                                  "#6/15/2024{+}0{+}0{+}0{+}Bills{+}Pay the gas{+}8"}));

    // The next poll today reminds neither; tomorrow, once their hours have passed, both.
    EXPECT_EQ(Poll(), kPollDone);
    EXPECT_EQ(m_host.m_asked.size(), 2U);
    m_host.m_now = CTime::FromLocal(2024, 6, 15, 16, 5);
    m_host.m_answers = {ReminderAnswer::Okay, ReminderAnswer::Okay};
    EXPECT_EQ(Poll(), kPollDone);
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Bills", "Dentist", "Bills"}));
}

struct AnswerCase {
    const char* name;
    std::string task;
    ReminderAnswer answer;
    std::string written;  // empty: the file stays as it was
};

TEST_F(PollTest, WritesWhatEachAnswerAsksFor) {
    const std::string weekly = "#6/13/2024{+}2{+}0{+}35{+}Gym{+}Bring shoes{+}24";
    const std::vector<AnswerCase> cases = {
        {"okay completes a one-time task", kBills, ReminderAnswer::Okay,
         "#6/13/2024{+}0{+}1{+}0{+}Bills{+}Pay the gas{+}8"},
        {"okay moves a monthly task", "#5/31/2024{+}0{+}0{+}1{+}Rent{+}(none){+}9",
         ReminderAnswer::Okay, "#7/1/2024{+}0{+}0{+}1{+}Rent{+}(none){+}9"},
        {"okay moves a yearly task", "#2/29/2024{+}3{+}4{+}2{+}Leap{+}(none){+}6",
         ReminderAnswer::Okay, "#3/1/2025{+}3{+}0{+}2{+}Leap{+}(none){+}6"},
        {"okay moves a weekly task by a week", weekly, ReminderAnswer::Okay,
         "#6/20/2024{+}2{+}0{+}35{+}Gym{+}Bring shoes{+}24"},
        {"details acts as okay", weekly, ReminderAnswer::Details,
         "#6/20/2024{+}2{+}0{+}35{+}Gym{+}Bring shoes{+}24"},
        {"tomorrow puts a task at hour 24 off to the start of tomorrow", weekly,
         ReminderAnswer::RemindTomorrow, "#6/14/2024{+}2{+}0{+}35{+}Gym{+}Bring shoes{+}24"},
        {"okay moves a weekly task missed for weeks past now",
         "#5/9/2024{+}0{+}2{+}36{+}Swim{+}(none){+}9", ReminderAnswer::Okay,
         "#6/20/2024{+}0{+}0{+}36{+}Swim{+}(none){+}9"},
        {"a missed status is reminded and completed", "#6/1/2024{+}0{+}2{+}0{+}Old{+}(none){+}6",
         ReminderAnswer::Okay, "#6/1/2024{+}0{+}1{+}0{+}Old{+}(none){+}6"},
        {"a code naming no repeat completes", "#6/1/2024{+}0{+}0{+}17{+}Odd{+}(none){+}6",
         ReminderAnswer::Okay, "#6/1/2024{+}0{+}1{+}17{+}Odd{+}(none){+}6"},
        {"before 1970", "#7/4/1960{+}0{+}0{+}0{+}Old{+}(none){+}6", ReminderAnswer::Okay,
         "#7/4/1960{+}0{+}1{+}0{+}Old{+}(none){+}6"},
        {"a dialog closed otherwise writes nothing", kBills, ReminderAnswer::None, ""},
    };
    for (const AnswerCase& c : cases) {
        m_file.reset();
        m_file = std::make_unique<TaskFileScope>();
        WriteTasks({c.task, kLater});
        m_host = ScriptedHost();
        m_host.m_now = CTime::FromLocal(2024, 6, 14, 10, 25, 13);
        m_host.m_answers = {c.answer};

        EXPECT_EQ(Poll(), kPollDone) << c.name;

        EXPECT_EQ(m_host.m_asked.size(), 1U) << c.name;
        EXPECT_EQ(m_host.m_details,
                  c.answer == ReminderAnswer::Details ? std::vector<int>{1} : std::vector<int>{})
            << c.name;
        const Lines expected = c.written.empty() ? Lines{c.task, kLater} : Lines{kLater, c.written};
        EXPECT_EQ(FileLines(), expected) << c.name;
        EXPECT_EQ(m_host.m_rows.size(), 2U) << c.name;
    }
}

TEST_F(PollTest, TasksMarkedForDeletionAreNeverReminded) {
    m_host.m_now = CTime::FromLocal(2024, 6, 14, 8, 30);
    WriteTasks({"#6/13/2024{+}0{+}3{+}0{+}Gone{+}(none){+}8",
                "#6/14/2024{+}0{+}3{+}1{+}Now{+}(none){+}8",
                "#6/16/2024{+}2{+}3{+}0{+}Notice{+}(none){+}8"});
    const std::string before = Content();

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_TRUE(m_host.m_asked.empty());
    EXPECT_EQ(Content(), before);
    ASSERT_EQ(m_host.m_rows.size(), 3U);
    for (const ShownRow& row : m_host.m_rows) {
        EXPECT_EQ(row.statusText, "To Delete");
        EXPECT_EQ(row.image, 3);
    }
}

TEST_F(PollTest, MissingFileGivesTheMessageAndNoRows) {
    EXPECT_EQ(Poll(), kPollNoFile);
    EXPECT_EQ(m_host.m_errors, (std::vector<std::pair<std::string, std::string>>{
                                   {"Task file not found.\n\n" + File().Path(), "Error!"}}));
    EXPECT_TRUE(m_host.m_rows.empty());
    EXPECT_TRUE(m_host.m_asked.empty());
    EXPECT_FALSE(std::filesystem::exists(File().Path()));
}

TEST_F(PollTest, EmptyFileGivesAnEmptyListWithoutMessage) {
    WriteTasks({"not a task", ""});
    EXPECT_EQ(Poll(), kPollDone);
    EXPECT_EQ(m_host.m_rowCounts, (std::vector<std::size_t>{0}));
    m_host.m_rowCounts.clear();
    EXPECT_TRUE(m_host.Untouched());
}

// A poll started from inside a running poll's reminder or details view does nothing at all,
// and the poller says when its poll starts and ends.
TEST_F(PollTest, NestedPollReturnsAtOnceWithoutTouchingAnything) {
    WriteTasks({kDentist, kBills});
    CTaskPoller poller(File());
    std::vector<bool> running;
    poller.SetRunningObserver([&](bool bRunning) { running.push_back(bRunning); });
    ScriptedHost nested;
    nested.m_now = m_host.m_now;
    std::vector<int> nestedResults;
    m_host.m_onAsk = [&](const ReminderRequest&) {
        const std::string before = Content();
        EXPECT_TRUE(poller.IsRunning());
        nestedResults.push_back(poller.Poll(nested));
        EXPECT_EQ(Content(), before);
    };
    m_host.m_onDetails = [&](const TaskRef&) { nestedResults.push_back(poller.Poll(nested)); };
    m_host.m_answers = {ReminderAnswer::Details, ReminderAnswer::Okay};

    EXPECT_EQ(poller.Poll(m_host), kPollDone);

    EXPECT_EQ(nestedResults, (std::vector<int>{kPollBusy, kPollBusy, kPollBusy}));
    EXPECT_TRUE(nested.Untouched());
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Bills"}));
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
    EXPECT_FALSE(poller.IsRunning());

    // Once the poll is over the next one runs normally.
    EXPECT_EQ(poller.Poll(nested), kPollDone);
    EXPECT_EQ(nested.m_rows.size(), 2U);
    EXPECT_TRUE(nested.m_asked.empty());
    EXPECT_EQ(running, (std::vector<bool>{true, false, true, false}));
}

// Reading ahead raises and shows nothing; the poll after it shows the file as it then stands
// and raises what is due, whatever changed in between.
TEST_F(PollTest, PollAfterReadingAheadIsThePollItWouldHaveBeen) {
    WriteTasks({kLater, kDentist});
    CTaskPoller poller(File());
    poller.ReadAhead(m_host.m_now);
    EXPECT_TRUE(m_host.Untouched());
    EXPECT_EQ(Content(), kLater + "\r\n" + kDentist + "\r\n");

    m_host.m_answers = {ReminderAnswer::Okay};
    EXPECT_EQ(poller.Poll(m_host), kPollDone);
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist"}));
    ASSERT_EQ(m_host.m_rows.size(), 2U);
    EXPECT_EQ(m_host.m_rows[1].statusText, "Complete");

    // Changed after the reading ahead: the poll reads the file again.
    CTaskPoller other(File());
    other.ReadAhead(m_host.m_now);
    WriteTasks({kLater, kBills});
    m_host.m_rows.clear();
    m_host.m_answers = {ReminderAnswer::RemindTomorrow};
    EXPECT_EQ(other.Poll(m_host), kPollDone);
    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Dentist", "Bills"}));
    ASSERT_EQ(m_host.m_rows.size(), 2U);
    EXPECT_EQ(m_host.m_rows[1].text, "06/15/2024 Bills");
}

// A date move that cannot be represented writes nothing and the poll goes on.
TEST_F(PollTest, UnrepresentableMoveLeavesTheTaskAndGoesOn) {
    const std::string odd = "#0/1/-2147483648{+}0{+}0{+}0{+}Odd{+}(none){+}6";
    WriteTasks({odd, kLater, kBills});
    m_host.m_answers = {ReminderAnswer::RemindTomorrow, ReminderAnswer::Okay};

    EXPECT_EQ(Poll(), kPollDone);

    EXPECT_EQ(m_host.AskedTitles(), (Lines{"Odd", "Bills"}));
    EXPECT_EQ(m_host.m_asked[1].nRecord, 3);
    EXPECT_EQ(FileLines(),
              (Lines{odd, kLater, "#6/13/2024{+}0{+}1{+}0{+}Bills{+}Pay the gas{+}8"}));
    EXPECT_EQ(m_host.m_rows.size(), 3U);
}

}  // namespace
