#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/timezone.h"
#include "pollfixture.h"
#include "reminder/poll.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kFeb = "#2/31/2024{+}0{+}0{+}0{+}Feb{+}(none){+}6";
const std::string kFebFixed = "#2/29/2024{+}0{+}0{+}0{+}Feb{+}(none){+}6";
const std::string kFebFixedDone = "#2/29/2024{+}0{+}1{+}0{+}Feb{+}(none){+}6";
const std::string kFebDone = "#2/31/2024{+}0{+}1{+}0{+}Feb{+}(none){+}6";
const std::string kBills = "#6/13/2024{+}0{+}0{+}0{+}Bills{+}Pay the gas{+}8";
const std::string kBillsDone = "#6/13/2024{+}0{+}1{+}0{+}Bills{+}Pay the gas{+}8";
const std::string kLater = "#7/1/2024{+}0{+}0{+}0{+}Later{+}(none){+}9";
const std::string kNew = "#7/2/2024{+}0{+}0{+}0{+}New{+}(none){+}9";

struct DetailsCase {
    const char* name;
    // What the details view does to the task it shows.
    void (*view)(const CTaskFile& file, const TaskRef& task);
    Lines after;
};

// The details view may rewrite the task it shows before the poll writes its own answer back.
// The poll's answer goes only over the very task it reminded, still reading as it did, or over
// the one task the view put in its place (a day its month lacks corrected); it never lands on
// another task.
TEST(PollDetailsTest, AnswerNeverOverwritesAnotherTaskWhateverTheDetailsViewDid) {
    const std::vector<DetailsCase> cases = {
        {"only shows it", [](const CTaskFile&, const TaskRef&) {}, {kLater, kFebDone, kBillsDone}},
        {"writes it back unchanged, to the end",
         [](const CTaskFile& file, const TaskRef& task) {
             ASSERT_EQ(ReplaceTask(file, task, kFeb + "\r\n"), kDone);
         },
         {kLater, kFebDone, kBillsDone}},
        {"writes it back in another spelling of the same values",
         [](const CTaskFile& file, const TaskRef& task) {
             ASSERT_EQ(ReplaceTask(file, task, "#02/31/2024{+}0{+}0{+}0{+}Feb{+}(none){+}06\r\n"),
                       kDone);
         },
         {kLater, kFebDone, kBillsDone}},
        {"corrects its day",
         [](const CTaskFile& file, const TaskRef& task) {
             ASSERT_EQ(ReplaceTask(file, task, kFebFixed + "\r\n"), kDone);
         },
         {kLater, kFebFixedDone, kBillsDone}},
        {"corrects its day while another program adds a task",
         [](const CTaskFile& file, const TaskRef& task) {
             ASSERT_EQ(ReplaceTask(file, task, kFebFixed + "\r\n"), kDone);
             ASSERT_EQ(AppendTaskLine(file, kNew + "\r\n"), kDone);
         },
         {kLater, kFebFixed, kNew, kBillsDone}},
        {"removes it",
         [](const CTaskFile& file, const TaskRef& task) {
             ASSERT_EQ(DeleteTask(file, task), kDone);
         },
         {kLater, kBillsDone}},
    };
    for (const char* zoneName : {"UTC", "America/New_York"}) {
        const ScopedTimeZone zone(zoneName);
        for (const DetailsCase& c : cases) {
            SCOPED_TRACE(std::string(zoneName) + ": " + c.name);
            TaskFileScope scope;
            scope.WriteTasks({kFeb, kBills, kLater});
            ScriptedHost host;
            host.m_now = CTime::FromLocal(2024, 6, 14, 10);
            host.m_answers = {ReminderAnswer::Details, ReminderAnswer::Okay};
            host.m_onDetails = [&](const TaskRef& task) { c.view(scope.File(), task); };

            EXPECT_EQ(PollOnce(scope.File(), host), kPollDone);

            EXPECT_EQ(host.m_details, (std::vector<int>{1}));
            ASSERT_EQ(host.m_asked.size(), 2U);
            // Wherever the first task went, the second is handed over with its place at the time.
            EXPECT_EQ(host.m_asked[1].title, "Bills");
            EXPECT_EQ(host.m_asked[1].nRecord, 1);
            EXPECT_EQ(scope.Lines(), c.after);
            // The list shows the file as the view and the answers left it.
            EXPECT_EQ(host.m_rows.size(), c.after.size());
        }
    }
}

// The file changes under the poll while a reminder is open: a task that no longer reads as it
// did is neither reminded from its old values nor written back.
TEST(PollDetailsTest, TaskChangedDuringThePollIsLeftAsItNowStands) {
    const ScopedTimeZone zone("UTC");
    TaskFileScope scope;
    scope.WriteTasks({kFeb, kLater, kBills});
    const std::string renamed = "#6/13/2024{+}0{+}0{+}0{+}Gas bill{+}Pay the gas{+}8";
    ScriptedHost host;
    host.m_now = CTime::FromLocal(2024, 6, 14, 10);
    host.m_answers = {ReminderAnswer::Okay};
    host.m_onAsk = [&](const ReminderRequest&) { scope.WriteTasks({kFeb, kLater, renamed}); };

    EXPECT_EQ(PollOnce(scope.File(), host), kPollDone);

    EXPECT_EQ(host.AskedTitles(), (Lines{"Feb"}));
    EXPECT_EQ(scope.Lines(), (Lines{kLater, renamed, kFebDone}));
    EXPECT_EQ(host.m_rows.size(), 3U);
}

// Two identical lines (a duplicated task) are each reminded and written once.
TEST(PollDetailsTest, DuplicatedTasksAreEachAnsweredOnce) {
    const ScopedTimeZone zone("UTC");
    TaskFileScope scope;
    scope.WriteTasks({kBills, kLater, kBills});
    ScriptedHost host;
    host.m_now = CTime::FromLocal(2024, 6, 14, 10);
    host.m_answers = {ReminderAnswer::Okay, ReminderAnswer::RemindTomorrow};

    EXPECT_EQ(PollOnce(scope.File(), host), kPollDone);

    ASSERT_EQ(host.m_asked.size(), 2U);
    EXPECT_EQ(host.m_asked[0].nRecord, 1);
    EXPECT_EQ(host.m_asked[1].nRecord, 2);
    EXPECT_EQ(scope.Lines(),
              (Lines{kLater, kBillsDone, "#6/15/2024{+}0{+}0{+}0{+}Bills{+}Pay the gas{+}8"}));
}

}  // namespace
