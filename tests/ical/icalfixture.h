#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "calendar/timezone.h"
#include "ical/icalexport.h"
#include "ical/taskimport.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"

// A task file of its own for every test, the calendar exchange over it, and the calendar
// files of data/. Tests that depend on the zone set it with ScopedTimeZone first.
class IcalTest : public ::testing::Test {
protected:
    std::string Export(CTime now) {
        CalendarExport calendar;
        EXPECT_EQ(ExportTaskFile(m_file.File(), now, calendar), kDone);
        return calendar.text;
    }

    ImportReport Import(std::string_view calendar, CTime now) {
        return ImportCalendar(m_file.File(), calendar, now);
    }

    static std::string CalendarFile(const std::string& name) {
        return TaskFileScope::ReadFile(std::string(MARMOSET_ICAL_DATA) + "/" + name);
    }

    // A calendar of these content lines, each ended with CR LF.
    static std::string Calendar(const std::vector<std::string>& lines) {
        std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
        for (const std::string& line : lines) {
            text += line + "\r\n";
        }
        return text + "END:VCALENDAR\r\n";
    }

    // One VEVENT of these properties, with a UID and a stamp.
    static std::string Event(const std::vector<std::string>& properties) {
        std::vector<std::string> lines{"BEGIN:VEVENT", "UID:test-event@example.com",
                                       "DTSTAMP:20270101T000000Z"};
        lines.insert(lines.end(), properties.begin(), properties.end());
        lines.emplace_back("END:VEVENT");
        return Calendar(lines);
    }

    TaskFileScope m_file;
};
