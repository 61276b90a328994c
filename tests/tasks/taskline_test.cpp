#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tasks/taskline.h"

namespace {

const char* const kPlants = "#7/4/1999{+}2{+}0{+}0{+}Water the plants{+}(none){+}6\r\n";
const char* const kLunch = "#12/24/1999{+}0{+}4{+}36{+}Team lunch{+}Bring the list{+}12\r\n";

TEST(TaskLineFormat, WorkedExamplesByteForByte) {
    EXPECT_EQ(FormatTaskLine(1999, 7, 4, 2, 0, 0, "Water the plants", "(none)", 6), kPlants);
    EXPECT_EQ(FormatTaskLine(1999, 12, 24, 0, 4, 36, "Team lunch", "Bring the list", 12), kLunch);
    EXPECT_EQ(FormatTaskLineWithDateText("7/4/1999", 2, 0, 0, "Water the plants", "(none)", 6),
              kPlants);
    EXPECT_EQ(FormatTaskLine(ParseTaskLine(kLunch)), kLunch);
    // Numbers go out as plain decimals, minus sign included, never padded.
    EXPECT_EQ(FormatTaskLine(-5, 0, 3, -1, 9, 7, " a ", "b", 24),
              "#0/3/-5{+}-1{+}9{+}7{+} a {+}b{+}24\r\n");
    // A date text from an existing line is copied as it stands.
    EXPECT_EQ(FormatTaskLineWithDateText("07/04/1999", 0, 0, 0, "t", "n", 6),
              "#07/04/1999{+}0{+}0{+}0{+}t{+}n{+}6\r\n");
}

struct ReadCase {
    const char* line;
    TaskRecord expected;
};

// A view's values as a record, and whether its texts lie within the line it was read from.
TaskRecord Copied(const TaskView& view) {
    return {view.dueMonth,
            view.dueDay,
            view.dueYear,
            view.advanceDays,
            view.status,
            view.recurrence,
            std::string(view.title),
            std::string(view.note),
            view.hour};
}

bool Within(std::string_view part, std::string_view whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

TEST(TaskLineRead, AllFieldsOfUsualAndOddLines) {
    const std::vector<ReadCase> cases = {
        {kPlants, {7, 4, 1999, 2, 0, 0, "Water the plants", "(none)", 6}},
        {kLunch, {12, 24, 1999, 0, 4, 36, "Team lunch", "Bring the list", 12}},
        // Leading zeros, a "+" in the title and no line end.
        {"#07/04/1999{+}2{+}0{+}0{+}A+B{+}x{+}6", {7, 4, 1999, 2, 0, 0, "A+B", "x", 6}},
        // Lone separator characters and blanks are text.
        {"#1/2/2000{+}0{+}0{+}0{+} {a} + {+ {+} +}\t{+}5\n",
         {1, 2, 2000, 0, 0, 0, " {a} + {+ ", " +}\t", 5}},
        {"#1/2/2000{+}0{+}0{+}0{+}{{+}}{+}{+}+}{+}5", {1, 2, 2000, 0, 0, 0, "{", "}", 0}},
        // Stored codes are read as they stand, except recurrence outside 0..37.
        {"#1/1/2000{+}0{+}9{+}38{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, 9, 0, "t", "n", 6}},
        {"#1/1/2000{+}0{+}-3{+}-1{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, -3, 0, "t", "n", 6}},
        {"#1/1/2000{+}0{+}0{+}5{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, 0, 5, "t", "n", 6}},
        // Numbers as atoi reads them, in any field: blanks, signs, text after the digits.
        {"# 1/+2/-3x{+} 4 {+}\t5{+}-0{+}t{+}n{+} 24 \r\n", {1, 2, -3, 4, 5, 0, "t", "n", 24}},
        {"#1/2/3/4{+}5x{+}{+}31{+}t{+}n{+}6", {1, 2, 3, 5, 0, 31, "t", "n", 6}},
        // Missing date parts, missing fields: 0 or "", and a short line's text keeps no line end.
        {"#7{+}1", {7, 0, 0, 1, 0, 0, "", "", 0}},
        {"#7/4{+}1", {7, 4, 0, 1, 0, 0, "", "", 0}},
        {"#/4/{+}1", {0, 4, 0, 1, 0, 0, "", "", 0}},
        {"#7/4/1999{+}2\r\n", {7, 4, 1999, 2, 0, 0, "", "", 0}},
        {"#7/4/1999{+}2{+}1{+}0{+}Only title\r\n", {7, 4, 1999, 2, 1, 0, "Only title", "", 0}},
        {"#", {}},
        {"#\r\n", {}},
        {"#x{+}y{+}{+}{+}{+}{+}z\r\n", {0, 0, 0, 0, 0, 0, "", "", 0}},
        // Fields past the seventh are ignored.
        {"#1/2/3{+}4{+}0{+}1{+}t{+}n{+}6{+}extra\r\n", {1, 2, 3, 4, 0, 1, "t", "n", 6}},
        // A line end of only CR or only LF is no part of any field.
        {"#1/2/3{+}4{+}0{+}1{+}t{+}n\r", {1, 2, 3, 4, 0, 1, "t", "n", 0}},
    };
    // Read over what earlier lines left, as the poll and the commands reuse their records.
    TaskRecord record{.title = "left from before", .note = "left from before"};
    TaskView view{.title = "stale", .note = "stale"};
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ParseTaskLine(c.line), c.expected);
        ParseTaskLine(c.line, record);
        EXPECT_EQ(record, c.expected);
        ParseTaskLine(c.line, view);
        EXPECT_EQ(Copied(view), c.expected);
        EXPECT_TRUE(Within(view.title, c.line) && Within(view.note, c.line));
    }
    EXPECT_EQ(TaskLineDateText(kLunch), "12/24/1999");
    EXPECT_EQ(TaskLineDateText("#07/04/1999{+}2"), "07/04/1999");
    EXPECT_EQ(TaskLineDateText("# 7/4 x\r\n"), " 7/4 x");
    EXPECT_EQ(TaskLineDateText("#"), "");
}

// Numbers of every length up to ten digits, leading zeros included, so that the fields end
// anywhere in the first words of the line, and in lines of every length.
TEST(TaskLineRead, NumbersOfAnyLengthInLinesOfAnyLength) {
    std::mt19937 random(12);
    std::vector<int> values;
    const auto number = [&] {
        std::string digits(1 + random() % 10, '0');
        for (char& digit : digits) {
            digit = static_cast<char>('0' + random() % 10);
        }
        values.push_back(static_cast<int>(std::min<long long>(std::stoll(digits), INT_MAX)));
        return digits;
    };
    for (int i = 0; i < 20000; ++i) {
        values.clear();
        // One number after the other: the order of the draws is the order of the fields.
        std::string line = "#" + number();
        line += "/" + number();
        line += "/" + number();
        for (int k = 0; k < 3; ++k) {
            line += "{+}" + number();
        }
        const std::string title(random() % 40, 't');
        const std::string note(random() % 3, 'n');
        for (const std::string& text : {title, note}) {
            line += "{+}";
            line += text;
        }
        line += "{+}" + number();
        line += i % 4 == 0 ? "" : "\r\n";
        const int recurrence = values[5] <= kWeeklyLast ? values[5] : 0;
        const TaskRecord expected{values[0],  values[1], values[2], values[3], values[4],
                                  recurrence, title,     note,      values[6]};
        ASSERT_EQ(ParseTaskLine(line), expected) << line;
    }
}

TEST(TaskLineRead, NumbersReadLikeAtoiButClamped) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"- 5", 0},
        {"0012", 12},
        {"  \t\r\n\v\f12x", 12},
        {"+7", 7},
        {"-7}", -7},
        {"6\r\n", 6},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999999999", INT_MIN},
        {"000000000000000000000000000000042", 42},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseInt(text), value) << '"' << text << '"';
    }
}

TEST(TaskCalendar, DaysInMonth) {
    const std::vector<std::array<int, 3>> cases = {
        {1, 1999, 31},  {2, 1999, 28}, {2, 2000, 29}, {2, 1996, 29}, {2, 1900, 29},
        {3, 1999, 31},  {4, 1999, 30}, {6, 1999, 30}, {9, 1999, 30}, {11, 1999, 30},
        {12, 1999, 31}, {0, 1999, 0},  {13, 1999, 0}, {-1, 1999, 0},
    };
    for (const auto& [month, year, days] : cases) {
        EXPECT_EQ(DaysInMonth(month, year), days) << month << '/' << year;
    }
}

TEST(TaskNames, StatusAndRecurrenceNames) {
    const std::vector<std::pair<int, std::string>> statuses = {
        {0, "Future"},       {1, "Complete"}, {2, "Missed"}, {3, "To Delete"},
        {4, "Today/Unread"}, {5, ""},         {-1, ""},
    };
    for (const auto& [code, name] : statuses) {
        EXPECT_EQ(StatusName(code), name) << code;
    }
    const std::vector<std::pair<int, std::string>> recurrences = {
        {0, "None"},    {1, "Monthly"}, {2, "Yearly"},  {3, "None"},  {30, "None"},
        {31, "Weekly"}, {36, "Weekly"}, {37, "Weekly"}, {38, "None"}, {-1, "None"},
    };
    for (const auto& [code, name] : recurrences) {
        EXPECT_EQ(RecurrenceName(code), name) << code;
    }
    EXPECT_EQ(FormatListText(7, 4, 1999, "Water the plants"), "07/04/1999 Water the plants");
    EXPECT_EQ(FormatListText(12, 24, 999, "x"), "12/24/0999 x");
    // Odd stored numbers come out as the C format would put them.
    for (const int value : {0, 5, -5, 123, -1234, 20001, INT_MIN, INT_MAX}) {
        std::array<char, 80> expected{};
        (void)std::snprintf(expected.data(), expected.size(), "%02d/%02d/%04d t", value, value,
                            value);
        EXPECT_EQ(FormatListText(value, value, value, "t"), expected.data()) << value;
    }
}

TEST(TaskLineCleaning, UnstorableTextIsCleanedOneWay) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Water the plants", "Water the plants"},
        {"a{+}b", "a{}b"},
        {"{+}{+}", "{}{}"},
        {"{{+}}", "{{}}"},
        {"{+}+}", "{}+}"},
        {"{++}", "{++}"},
        {"line\r\nbreak\n", "line  break "},
        {"{+\n}", "{+ }"},
        {"", ""},
    };
    for (const auto& [text, clean] : cases) {
        EXPECT_EQ(CleanFieldText(text), clean) << text;
    }
}

TEST(TaskLineCleaning, EveryWrittenLineReadsBackAsWritten) {
    const std::vector<std::string> texts = {
        "plain",      "a{+}b", "{+}",   "ends with {", "ends with {+", "+} starts",
        "{",          "}",     "+",     "x{+}{+}y",    "cr\rlf\nend",  "\r\n",
        "  blanks  ", "",      "{+}\n", "{{+}+}",      "#not a task",
    };
    for (const std::string& title : texts) {
        for (const std::string& note : texts) {
            SCOPED_TRACE(testing::Message() << title << '|' << note);
            const std::string line = FormatTaskLine(2001, 2, 3, 4, 1, 31, title, note, 7);
            // One line, seven fields.
            EXPECT_EQ(line.find('\n'), line.size() - 1);
            EXPECT_EQ(line.find('\r'), line.size() - 2);
            const TaskRecord expected{
                2, 3, 2001, 4, 1, 31, CleanFieldText(title), CleanFieldText(note), 7};
            EXPECT_EQ(ParseTaskLine(line), expected);
            EXPECT_EQ(FormatTaskLine(ParseTaskLine(line)), line);
            // A date text passed through is cleaned the same way.
            const std::string copy = FormatTaskLineWithDateText(title, 4, 1, 31, title, note, 7);
            EXPECT_EQ(TaskLineDateText(copy), CleanFieldText(title));
            const TaskRecord copied = ParseTaskLine(copy);
            EXPECT_EQ(copied.title, expected.title);
            EXPECT_EQ(copied.note, expected.note);
            EXPECT_EQ(copied.hour, 7);
        }
    }
}

}  // namespace
