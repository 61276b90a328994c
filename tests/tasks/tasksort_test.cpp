// Sorting rewrites the task file in a new order: every task stays, whole, and nothing else does.

#include "tasks/tasksort.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

using Lines = std::vector<std::string>;

std::string Task(const std::string& date, int status, int recurrence, const std::string& title,
                 int hour = 6) {
    return "#" + date + "{+}0{+}" + std::to_string(status) + "{+}" + std::to_string(recurrence) +
           "{+}" + title + "{+}(none){+}" + std::to_string(hour);
}

class TaskSortTest : public ::testing::Test {
protected:
    TaskFileScope m_file;
};

TEST_F(TaskSortTest, DateSortsCompareDaysAndKeepEqualDaysInFileOrder) {
    const std::string may = Task("5/1/1999", 0, 0, "May");
    const std::string march = Task("3/2/1999", 0, 0, "March");
    const std::string april = Task("4/30/1999", 0, 0, "April");
    // April 31 counts as May 1; the hour plays no part; 2040 is an ordinary year.
    const std::string april31 = Task("4/31/1999", 0, 0, "April 31", 18);
    const std::string mayEarly = Task("05/01/1999", 0, 0, "May early", 7);
    const std::string later = Task("1/1/2040", 0, 0, "Later");
    m_file.WriteTasks({may, later, march, april31, april, mayEarly});

    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::DateAscending), kDone);
    const Lines ascending{march, april, may, april31, mayEarly, later};
    EXPECT_EQ(m_file.Lines(), ascending);
    // Sorting again changes nothing.
    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::DateAscending), kDone);
    EXPECT_EQ(m_file.Lines(), ascending);

    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::DateDescending), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{later, may, april31, mayEarly, april, march}));
}

TEST_F(TaskSortTest, StatusAndRecurrenceSortByTheirStoredCodes) {
    const std::string unread = Task("1/1/2030", 4, 32, "Unread Monday");
    const std::string odd = Task("1/1/2030", 9, 37, "Odd Saturday");
    const std::string marked = Task("1/1/2030", 3, 2, "Marked yearly");
    const std::string future = Task("1/1/2030", 0, 99, "Future, bad code");
    m_file.WriteTasks({unread, odd, marked, future});

    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::Status), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{future, marked, unread, odd}));
    // A code beyond 37 reads as none and sorts first.
    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::Recurrence), kDone);
    EXPECT_EQ(m_file.Lines(), (Lines{future, marked, unread, odd}));
}

TEST_F(TaskSortTest, LinesThatAreNotTasksGoAndAnUnendedLastLineIsEnded) {
    const std::string a = Task("2/1/2030", 0, 0, "A");
    const std::string b = Task("1/1/2030", 0, 0, "B");
    TaskFileScope::WriteFile(m_file.File().Path(), a + "\r\n; comment\r\n\r\n" + b);
    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::DateAscending), kDone);
    EXPECT_EQ(m_file.Content(), b + "\r\n" + a + "\r\n");
}

TEST_F(TaskSortTest, MissingTaskFileIsNotCreated) {
    EXPECT_EQ(SortTaskFile(m_file.File(), TaskSort::Status), kCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(m_file.File().Path()));
}

// Many tasks of every length, some far beyond what the program writes: each sort keeps every
// line byte for byte, orders them by its key and keeps the file order of equal keys.
TEST_F(TaskSortTest, FortyThousandTasksAreAllKeptInTheNewOrder) {
    constexpr int kCount = 40000;
    std::mt19937 random(7);
    Lines lines;
    for (int i = 0; i < kCount; ++i) {
        const int month = static_cast<int>(random() % 12) + 1;
        const int day = static_cast<int>(random() % 28) + 1;
        const int year = 1990 + static_cast<int>(random() % 80);
        const std::size_t titleLength = i % 997 == 0 ? 5000 : random() % 60 + 1;
        lines.push_back(Task(
            std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year),
            static_cast<int>(random() % 5),
            i % 3 == 0 ? 31 + i % 7 : static_cast<int>(random() % 3),
            std::string(titleLength, static_cast<char>('a' + i % 26)) + "#" + std::to_string(i),
            static_cast<int>(random() % 24) + 1));
    }
    m_file.WriteTasks(lines);

    struct Case {
        TaskSort sort;
        bool descending;
        long (*key)(const std::string& line);
    };
    const auto dateKey = [](const std::string& line) -> long {
        const TaskRecord task = ParseTaskLine(line);
        return task.dueYear * 10000L + task.dueMonth * 100L + task.dueDay;
    };
    const Case cases[] = {
        {TaskSort::Status, false,
         [](const std::string& l) -> long { return ParseTaskLine(l).status; }},
        {TaskSort::DateDescending, true, dateKey},
        {TaskSort::Recurrence, false,
         [](const std::string& l) -> long { return ParseTaskLine(l).recurrence; }},
        {TaskSort::DateAscending, false, dateKey},
    };
    for (const Case& c : cases) {
        // What the sort must give, worked out here from the file as it stands.
        std::vector<std::tuple<long, int, std::string>> expected;
        for (const std::string& line : m_file.Lines()) {
            const long key = c.key(line);
            expected.emplace_back(c.descending ? -key : key, static_cast<int>(expected.size()),
                                  line);
        }
        std::sort(expected.begin(), expected.end());

        ASSERT_EQ(SortTaskFile(m_file.File(), c.sort), kDone);
        const Lines sorted = m_file.Lines();
        ASSERT_EQ(sorted.size(), static_cast<std::size_t>(kCount));
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            ASSERT_EQ(sorted[i], std::get<2>(expected[i])) << "line " << i;
        }
    }
}

}  // namespace
