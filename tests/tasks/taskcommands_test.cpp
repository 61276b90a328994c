// The maintenance commands act on the task a row names, found again by its values, and change
// the file in one rewrite or not at all.

#include "tasks/taskcommands.h"

#include <filesystem>
#include <string>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kDentist = "#07/04/2030{+}2{+}1{+}0{+}Dentist{+}bring card{+}14";
const std::string kBills = "#6/13/2030{+}0{+}2{+}1{+}Bills{+}(none){+}8";
const std::string kTrash = "#6/1/2030{+}0{+}3{+}0{+}Trash{+}(none){+}6";

class TaskCommands : public ::testing::Test {
protected:
    // The row of task n as the poll makes it: the task's values and its number.
    static TaskRef Row(const std::string& line, int n) { return {ParseTaskLine(line), n}; }

    TaskFileScope m_file;
};

TEST_F(TaskCommands, StatusChangesMoveTheTaskToTheEndOrWriteNothing) {
    m_file.WriteTasks({kDentist, "; a comment", kBills, kTrash});
    const std::string before = m_file.Content();

    // Already in that status: the file stays byte for byte, the task in its place.
    EXPECT_EQ(SetTaskStatus(m_file.File(), Row(kTrash, 3), ToInt(TaskStatus::ToDelete)),
              kUnchanged);
    EXPECT_EQ(m_file.Content(), before);

    // Keep As New resets a missed task, every other field as stored (the date respelled).
    EXPECT_EQ(SetTaskStatus(m_file.File(), Row(kBills, 2), ToInt(TaskStatus::Future)), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{kDentist, "; a comment", kTrash,
                                     "#6/13/2030{+}0{+}0{+}1{+}Bills{+}(none){+}8"}));

    EXPECT_EQ(SetTaskStatus(m_file.File(), Row(kDentist, 1), ToInt(TaskStatus::ToDelete)), kDone);
    EXPECT_EQ(m_file.Lines().back(), "#7/4/2030{+}2{+}3{+}0{+}Dentist{+}bring card{+}14");
    EXPECT_EQ(m_file.Lines().size(), 4U);
}

TEST_F(TaskCommands, RowWhoseTaskChangedOrWentWritesNothing) {
    m_file.WriteTasks({kDentist, kBills});
    const TaskRef dentist = Row(kDentist, 1);
    const TaskRef gone = Row(kTrash, 2);
    // Another writer changed the dentist's note after the list was made.
    m_file.WriteTasks({"#07/04/2030{+}2{+}1{+}0{+}Dentist{+}new card{+}14", kBills});
    const std::string before = m_file.Content();

    for (const TaskRef& ref : {dentist, gone}) {
        EXPECT_EQ(DeleteTask(m_file.File(), ref), kTaskGone);
        EXPECT_EQ(SetTaskStatus(m_file.File(), ref, ToInt(TaskStatus::Future)), kTaskGone);
        EXPECT_EQ(SetTaskStatus(m_file.File(), ref, ref.record.status), kTaskGone);
        EXPECT_EQ(DuplicateTask(m_file.File(), ref), kTaskGone);
        EXPECT_EQ(ReplaceTask(m_file.File(), ref, kTrash), kTaskGone);
        EXPECT_EQ(FindTask(m_file.File(), ref), 0);
        EXPECT_EQ(m_file.Content(), before);
    }
    EXPECT_FALSE(std::filesystem::exists(m_file.File().TempPath()));
}

TEST_F(TaskCommands, TaskIsFoundWhereverItMovedAndIdenticalTasksByTheirPlace) {
    m_file.WriteTasks({kBills, "; a note", kDentist, kBills, kTrash});
    // Moved up by one since the row was made: found all the same.
    EXPECT_EQ(FindTask(m_file.File(), Row(kTrash, 5)), 4);
    // Two identical tasks: the row's own one, when it is still in its place.
    EXPECT_EQ(FindTask(m_file.File(), Row(kBills, 3)), 3);
    EXPECT_EQ(DeleteTask(m_file.File(), Row(kBills, 3)), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{kBills, "; a note", kDentist, kTrash}));
    // Otherwise the first one that reads the same. Lines that are no tasks stay.
    EXPECT_EQ(DeleteTask(m_file.File(), Row(kBills, 2)), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{"; a note", kDentist, kTrash}));
}

TEST_F(TaskCommands, DuplicateKeepsEveryFieldAndMarksShortTitles) {
    m_file.WriteTasks({kDentist, kBills});
    EXPECT_EQ(DuplicateTask(m_file.File(), Row(kDentist, 1)), kDone);
    const std::string copy = "#07/04/2030{+}2{+}1{+}0{+}Dentist *{+}bring card{+}14";
    EXPECT_EQ(m_file.Lines(), (Lines{kDentist, kBills, copy}));
    EXPECT_EQ(DuplicateTask(m_file.File(), Row(copy, 3)), kDone);
    EXPECT_EQ(m_file.Lines().back(), "#07/04/2030{+}2{+}1{+}0{+}Dentist * *{+}bring card{+}14");

    // The mark is added below 79 characters only, and characters are counted, not bytes.
    const std::string e = "\xC3\xA9";  // é
    std::string accented;
    for (int i = 0; i < 78; ++i) {
        accented += e;
    }
    EXPECT_EQ(DuplicateTitle(accented), accented + " *");
    EXPECT_EQ(DuplicateTitle(accented + e), accented + e);
    EXPECT_EQ(DuplicateTitle(std::string(78, 'x')), std::string(78, 'x') + " *");
    EXPECT_EQ(DuplicateTitle(std::string(79, 'x')), std::string(79, 'x'));
    EXPECT_EQ(DuplicateTitle(std::string(80, 'x')), std::string(80, 'x'));
    // Bytes that are not UTF-8 count one each.
    EXPECT_EQ(DuplicateTitle(std::string(79, '\xE9')), std::string(79, '\xE9'));
}

TEST_F(TaskCommands, AnUnendedLastLineIsEndedBeforeAnythingFollowsIt) {
    TaskFileScope::WriteFile(m_file.File().Path(), kDentist + "\r\n" + kBills);
    EXPECT_EQ(SetTaskStatus(m_file.File(), Row(kDentist, 1), ToInt(TaskStatus::ToDelete)), kDone);
    EXPECT_EQ(m_file.Content(),
              kBills + "\r\n#7/4/2030{+}2{+}3{+}0{+}Dentist{+}bring card{+}14\r\n");
}

// (A rewrite that fails is covered for every command in taskfile_fault_test.cpp.)
TEST_F(TaskCommands, MissingTaskFileIsNotCreated) {
    EXPECT_EQ(DeleteTask(m_file.File(), Row(kBills, 2)), kCannotOpen);
    EXPECT_EQ(DuplicateTask(m_file.File(), Row(kBills, 2)), kCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(m_file.File().Path()));
}

}  // namespace
