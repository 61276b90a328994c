// Tasks into a calendar: each task an event at its local hour with its zone, title, note,
// alarm, rule, UID and status.

#include <libical/ical.h>

#include "ical/calendarread.h"
#include "ical/icalfixture.h"

namespace {

bool Has(const std::string& text, const std::string& line) {
    return text.find(line + "\r\n") != std::string::npos;
}

// The content lines of the first VEVENT of the text that holds the SUMMARY.
std::string EventOf(const std::string& text, const std::string& title) {
    const std::size_t summary = text.find("SUMMARY:" + title + "\r\n");
    if (summary == std::string::npos) {
        return {};
    }
    const std::size_t begin = text.rfind("BEGIN:VEVENT", summary);
    const std::size_t end = text.find("END:VEVENT", summary);
    return text.substr(begin, end - begin);
}

class IcalExportTest : public IcalTest {
protected:
    void WriteSample() {
        m_file.WriteTasks({
            "#2/27/2027{+}3{+}0{+}0{+}Dentist{+}bring the card{+}14",
            // Hour 24 is the midnight that ends the day; 36 is weekly on Friday.
            "#2/26/2027{+}0{+}1{+}36{+}Choir{+}(none){+}24",
            "#7/1/2027{+}1{+}0{+}1{+}Rent{+}(none){+}8",
            "#2/29/2028{+}30{+}3{+}2{+}Leap day{+}(none){+}6",
            "; not a task",
        });
    }
};

TEST_F(IcalExportTest, EventsFallAtTheLocalHourWithTheZoneTheirTimeBelongsTo) {
    const ScopedTimeZone zone("America/New_York");
    WriteSample();
    const std::string text = Export(CTime::FromLocal(2027, 3, 1, 10));

    // The zone's own rules go with the calendar, under the name the events use.
    EXPECT_TRUE(Has(text, "BEGIN:VTIMEZONE"));
    EXPECT_TRUE(Has(text, "TZID:America/New_York"));
    const std::string dentist = EventOf(text, "Dentist");
    EXPECT_TRUE(Has(dentist, "DTSTART;TZID=America/New_York:20270227T140000")) << dentist;
    EXPECT_TRUE(Has(dentist, "DESCRIPTION:bring the card"));
    EXPECT_TRUE(Has(dentist, "TRIGGER:-P3D"));
    EXPECT_TRUE(Has(dentist, "ACTION:DISPLAY"));
    EXPECT_TRUE(Has(dentist, "X-MARMOSET-TASK-STATUS:0"));
    EXPECT_EQ(dentist.find("RRULE"), std::string::npos);

    const std::string choir = EventOf(text, "Choir");
    EXPECT_TRUE(Has(choir, "DTSTART;TZID=America/New_York:20270227T000000")) << choir;
    EXPECT_TRUE(Has(choir, "RRULE:FREQ=WEEKLY;BYDAY=FR"));
    // No advance notice: the alarm rings at the due time. "(none)" is no note.
    EXPECT_TRUE(Has(choir, "TRIGGER:PT0S"));
    EXPECT_EQ(choir.find("DESCRIPTION:(none)"), std::string::npos);
    EXPECT_TRUE(Has(choir, "X-MARMOSET-TASK-STATUS:1"));

    EXPECT_TRUE(Has(EventOf(text, "Rent"), "RRULE:FREQ=MONTHLY"));
    const std::string leap = EventOf(text, "Leap day");
    EXPECT_TRUE(Has(leap, "RRULE:FREQ=YEARLY"));
    EXPECT_TRUE(Has(leap, "DTSTART;TZID=America/New_York:20280229T060000"));
    EXPECT_TRUE(Has(leap, "TRIGGER:-P30D"));

    // What libical reads back: four events and nothing it finds wrong.
    const CalendarRead read = ReadCalendar(text);
    ASSERT_TRUE(read.problem.empty()) << read.problem;
    EXPECT_EQ(icalcomponent_count_components(read.root.get(), ICAL_VEVENT_COMPONENT), 4);
    icalcomponent* event =
        icalcomponent_get_first_component(read.root.get(), ICAL_VEVENT_COMPONENT);
    const icaltimetype start = icalcomponent_get_dtstart(event);
    // 14:00 in New York in February is 19:00 UTC.
    EXPECT_EQ(icaltime_as_timet_with_zone(start, start.zone), 1803754800);
}

TEST_F(IcalExportTest, WithoutANamedZoneTimesAreWrittenInUtc) {
    {
        const ScopedTimeZone zone("UTC");
        WriteSample();
        const std::string text = Export(CTime::FromLocal(2027, 3, 1, 10));
        EXPECT_FALSE(Has(text, "BEGIN:VTIMEZONE"));
        EXPECT_TRUE(Has(EventOf(text, "Dentist"), "DTSTART:20270227T140000Z"));
        EXPECT_TRUE(Has(EventOf(text, "Choir"), "DTSTART:20270227T000000Z"));
    }
    {
        // A rule libical has no name for: the instant is kept, in UTC.
        const ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
        const std::string text = Export(CTime::FromLocal(2027, 3, 1, 10));
        EXPECT_TRUE(Has(EventOf(text, "Dentist"), "DTSTART:20270227T190000Z"));
        EXPECT_TRUE(Has(EventOf(text, "Leap day"), "DTSTART:20280229T110000Z"));
    }
}

TEST_F(IcalExportTest, UidsAreStableAndTellIdenticalTasksApart) {
    const ScopedTimeZone zone("UTC");
    const std::string task = "#5/5/2027{+}0{+}0{+}0{+}Twice{+}(none){+}9";
    m_file.WriteTasks({task, task, "#5/5/2027{+}0{+}0{+}0{+}Once{+}(none){+}9"});
    const auto uids = [](const std::string& text) {
        std::vector<std::string> found;
        for (std::size_t at = text.find("\nUID:"); at != std::string::npos;
             at = text.find("\nUID:", at + 1)) {
            found.push_back(text.substr(at + 5, text.find('\r', at) - at - 5));
        }
        return found;
    };
    const std::vector<std::string> first = uids(Export(CTime::FromLocal(2027, 3, 1, 10)));
    ASSERT_EQ(first.size(), 3U);
    EXPECT_NE(first[0], first[1]);
    EXPECT_NE(first[1], first[2]);
    EXPECT_TRUE(first[0].ends_with("@marmoset-task"));
    // Another day, the same tasks: the same UIDs, so a calendar updates rather than doubles.
    EXPECT_EQ(uids(Export(CTime::FromLocal(2027, 6, 1, 10))), first);
}

TEST_F(IcalExportTest, AMissingTaskFileIsAFailureNotAnEmptyCalendar) {
    CalendarExport calendar;
    EXPECT_EQ(ExportTaskFile(m_file.File(), CTime::FromLocal(2027, 3, 1, 10), calendar),
              kCannotOpen);
    EXPECT_TRUE(calendar.text.empty());
}

}  // namespace
