#include <gtest/gtest.h>

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

TEST(TaskLineRead, AllFieldsOfUsualAndOddLines) {
    const std::vector<ReadCase> cases = {
        {kPlants, {7, 4, 1999, 2, 0, 0, "Water the plants", "(none)", 6}},
        {kLunch, {12, 24, 1999, 0, 4, 36, "Team lunch", "Bring the list", 12}},
        // Leading zeros, a "+" in the title and no line end.
        {"#07/04/1999{+}2{+}0{+}0{+}A+B{+}x{+}6", {7, 4, 1999, 2, 0, 0, "A+B", "x", 6}},
        // Lone separator characters and blanks are text.
        {"#1/2/2000{+}0{+}0{+}0{+} {a} + {+ {+} +}\t{+}5\n",
         {1, 2, 2000, 0, 0, 0, " {a} + {+ ", " +}\t", 5}},
        // Stored codes are read as they stand, except recurrence outside 0..37.
        {"#1/1/2000{+}0{+}9{+}38{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, 9, 0, "t", "n", 6}},
        {"#1/1/2000{+}0{+}-3{+}-1{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, -3, 0, "t", "n", 6}},
        {"#1/1/2000{+}0{+}0{+}5{+}t{+}n{+}6\r\n", {1, 1, 2000, 0, 0, 5, "t", "n", 6}},
        // Missing fields read as 0 or "", and a short line's text keeps no line end.
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
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.line);
        const TaskRecord& e = c.expected;
        EXPECT_EQ(ParseTaskLine(c.line), e);
        // The single-field readers agree with the one-pass parse.
        EXPECT_EQ(DateTextMonth(GetLineDateText(c.line)), e.dueMonth);
        EXPECT_EQ(DateTextDay(GetLineDateText(c.line)), e.dueDay);
        EXPECT_EQ(DateTextYear(GetLineDateText(c.line)), e.dueYear);
        EXPECT_EQ(GetLineAdvanceDays(c.line), e.advanceDays);
        EXPECT_EQ(GetLineStatus(c.line), e.status);
        EXPECT_EQ(GetLineRecurrence(c.line), e.recurrence);
        EXPECT_EQ(GetLineTitle(c.line), e.title);
        EXPECT_EQ(GetLineNote(c.line), e.note);
        EXPECT_EQ(GetLineHour(c.line), e.hour);
    }
    EXPECT_EQ(GetLineDateText(kLunch), "12/24/1999");
    EXPECT_EQ(GetLineDateText("#07/04/1999{+}2"), "07/04/1999");
}

// A line's fields read one by one with the single-field readers.
TaskRecord ReadFieldByField(const std::string& line) {
    const std::string date = GetLineDateText(line);
    return TaskRecord{DateTextMonth(date),      DateTextDay(date),   DateTextYear(date),
                      GetLineAdvanceDays(line), GetLineStatus(line), GetLineRecurrence(line),
                      GetLineTitle(line),       GetLineNote(line),   GetLineHour(line)};
}

TEST(TaskLineRead, WrittenAndOddLinesReadTheSameWay) {
    // Lines made of pieces that are easy to get wrong: the one-pass parse must agree with
    // the single-field readers on every one of them.
    const std::vector<std::string> pieces = {
        "{+}", "{+}", "{+}", "/", "7", "12",         "0",          "1999", "-",
        "+",   " ",   "{",   "}", "x", "2147483648", "0000000001", "\r",   "\n",
    };
    std::mt19937 random(2024);
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        if (i % 2 == 0) {
            // A line as the program writes it, with one piece slipped in somewhere.
            const auto number = [&] { return static_cast<int>(random() % 2000) - 2; };
            line = FormatTaskLine(number(), number(), number(), number(), number(), number(),
                                  pieces[random() % pieces.size()], "n", number());
            line.insert(random() % (line.size() + 1), pieces[random() % pieces.size()]);
        } else {
            line = "#";
            const int count = static_cast<int>(random() % 24);
            for (int k = 0; k < count; ++k) {
                line += pieces[random() % pieces.size()];
            }
            line += i % 3 == 0 ? "" : "\r\n";
        }
        ASSERT_EQ(ParseTaskLine(line), ReadFieldByField(line)) << line;
    }
}

// Numbers of every length up to ten digits, leading zeros included, so that the fields end
// anywhere in the first words of the line, and in lines of every length.
TEST(TaskLineRead, NumbersOfAnyLengthReadTheSameWayAnywhereInTheLine) {
    std::mt19937 random(12);
    const auto number = [&] {
        std::string digits(1 + random() % 10, '0');
        for (char& digit : digits) {
            digit = static_cast<char>('0' + random() % 10);
        }
        return digits;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string line = "#" + number() + "/" + number() + "/" + number();
        for (int k = 0; k < 3; ++k) {
            line += "{+}" + number();
        }
        line += "{+}" + std::string(random() % 40, 't') + "{+}" + std::string(random() % 3, 'n') +
                "{+}" + number() + (i % 4 == 0 ? "" : "\r\n");
        TaskLineFields fields;
        ParseTaskLine(line, fields);
        const TaskRecord expected = ReadFieldByField(line);
        ASSERT_EQ(ToTaskRecord(fields), expected) << line;
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

TEST(TaskLineRead, DateTextParts) {
    EXPECT_EQ(DateTextMonth("07/04/1999"), 7);
    EXPECT_EQ(DateTextDay("07/04/1999"), 4);
    EXPECT_EQ(DateTextYear("07/04/1999"), 1999);
    EXPECT_EQ(DateTextDay("7"), 0);
    EXPECT_EQ(DateTextYear("7/4"), 0);
    EXPECT_EQ(DateTextMonth(""), 0);
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
            EXPECT_EQ(GetLineDateText(copy), CleanFieldText(title));
            EXPECT_EQ(GetLineTitle(copy), expected.title);
            EXPECT_EQ(GetLineNote(copy), expected.note);
            EXPECT_EQ(GetLineHour(copy), 7);
        }
    }
}

}  // namespace
