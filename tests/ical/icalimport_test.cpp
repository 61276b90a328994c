// Calendar entries into tasks: times to the local hour, alarms to days of notice, rules to
// recurrences or the next occurrence, and nothing that floods the user with missed reminders.

#include <filesystem>

#include "ical/icalfixture.h"

namespace {

using Lines = std::vector<std::string>;

class IcalImportTest : public IcalTest {
protected:
    // Monday 1 March 2027, 10:00 local time.
    static CTime Now() { return CTime::FromLocal(2027, 3, 1, 10); }

    // Imports into an empty task file and gives its lines.
    Lines Imported(const std::string& calendar) {
        m_file.WriteTasks({});
        m_report = Import(calendar, Now());
        EXPECT_TRUE(m_report.bImported) << m_report.problem;
        return m_file.Lines();
    }

    ImportReport m_report;
};

TEST_F(IcalImportTest, TimesBecomeTheLocalHourInNewYork) {
    const ScopedTimeZone zone("America/New_York");
    // UTC (New York keeps winter time until 14 March), cut to the hour with a word in the
    // report.
    EXPECT_EQ(Imported(Event({"SUMMARY:Call", "DTSTART:20270310T193000Z"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Call{+}(none){+}14"});
    ASSERT_EQ(m_report.changed.size(), 1U);
    EXPECT_EQ(m_report.changed[0],
              "\"Call\" (3/10/2027): it starts at 14:30 and falls due at the start of that hour");
    // Another zone, known by name; a floating time is local already; midnight is hour 24 of
    // the day before; an all-day entry is due at 6 AM.
    EXPECT_EQ(Imported(Event({"SUMMARY:Berlin", "DTSTART;TZID=Europe/Berlin:20270310T090000"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Berlin{+}(none){+}3"});
    EXPECT_TRUE(m_report.changed.empty());
    EXPECT_EQ(Imported(Event({"SUMMARY:Floating", "DTSTART:20270310T090000"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Floating{+}(none){+}9"});
    EXPECT_EQ(Imported(Event({"SUMMARY:Midnight", "DTSTART:20270311T050000Z"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Midnight{+}(none){+}24"});
    EXPECT_EQ(Imported(Event({"SUMMARY:All day", "DTSTART;VALUE=DATE:20270310"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}All day{+}(none){+}6"});
    // After the change to summer time New York is four hours behind.
    EXPECT_EQ(Imported(Event({"SUMMARY:Summer", "DTSTART:20270615T120000Z"})),
              Lines{"#6/15/2027{+}0{+}0{+}0{+}Summer{+}(none){+}8"});
}

TEST_F(IcalImportTest, TimesBecomeTheLocalHourInUtc) {
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Imported(Event({"SUMMARY:Call", "DTSTART:20270310T193000Z"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Call{+}(none){+}19"});
    EXPECT_EQ(Imported(Event({"SUMMARY:NY", "DTSTART;TZID=America/New_York:20270310T200000"})),
              Lines{"#3/11/2027{+}0{+}0{+}0{+}NY{+}(none){+}1"});
    EXPECT_EQ(Imported(Event({"SUMMARY:Late", "DTSTART;TZID=America/New_York:20270310T190000"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Late{+}(none){+}24"});
    // A zone neither the file nor libical knows: the time is taken as local time, and said so.
    EXPECT_EQ(Imported(Event({"SUMMARY:Odd", "DTSTART;TZID=Nowhere/Special:20270310T090000"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Odd{+}(none){+}9"});
    ASSERT_EQ(m_report.changed.size(), 1U);
    EXPECT_NE(m_report.changed[0].find("time zone is not known"), std::string::npos);
}

TEST_F(IcalImportTest, TheEarliestAlarmBeforeTheEntryGivesWholeDaysOfNotice) {
    const ScopedTimeZone zone("America/New_York");
    const auto alarm = [](const std::string& trigger) {
        return Lines{"BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:x", trigger, "END:VALARM"};
    };
    const auto event = [&](const std::vector<Lines>& alarms) {
        Lines properties{"SUMMARY:Trip", "DTSTART:20270320T140000Z", "DTEND:20270322T140000Z"};
        for (const Lines& one : alarms) {
            properties.insert(properties.end(), one.begin(), one.end());
        }
        return Event(properties);
    };
    // Two alarms: the earlier one counts.
    EXPECT_EQ(Imported(event({alarm("TRIGGER:-PT15M"), alarm("TRIGGER:-P2D")})),
              Lines{"#3/20/2027{+}2{+}0{+}0{+}Trip{+}(none){+}10"});
    EXPECT_TRUE(m_report.changed.empty());
    // Less than a day before: the reminder at the entry's own hour serves it.
    EXPECT_EQ(Imported(event({alarm("TRIGGER:-PT15M")}))[0],
              "#3/20/2027{+}0{+}0{+}0{+}Trip{+}(none){+}10");
    EXPECT_EQ(m_report.changed, Lines{"\"Trip\" (3/20/2027): its alarm 15 minutes before is "
                                      "served by the reminder at its own hour"});
    // Rounded down, and said so.
    EXPECT_EQ(Imported(event({alarm("TRIGGER:-P1DT6H")}))[0],
              "#3/20/2027{+}1{+}0{+}0{+}Trip{+}(none){+}10");
    EXPECT_EQ(m_report.changed,
              Lines{"\"Trip\" (3/20/2027): its alarm 1 day 6 hours before is given 1 day before"});
    // From the end: three days before the end of a two-day trip is a day before it starts.
    EXPECT_EQ(Imported(event({alarm("TRIGGER;RELATED=END:-P3D")}))[0],
              "#3/20/2027{+}1{+}0{+}0{+}Trip{+}(none){+}10");
    // At a time of its own, two days and some hours before.
    EXPECT_EQ(Imported(event({alarm("TRIGGER;VALUE=DATE-TIME:20270318T080000Z")}))[0],
              "#3/20/2027{+}2{+}0{+}0{+}Trip{+}(none){+}10");
    // After the start, or at it: no notice.
    EXPECT_EQ(Imported(event({alarm("TRIGGER:PT5M")}))[0],
              "#3/20/2027{+}0{+}0{+}0{+}Trip{+}(none){+}10");
    // More than a task holds.
    EXPECT_EQ(Imported(event({alarm("TRIGGER:-P6W")}))[0],
              "#3/20/2027{+}30{+}0{+}0{+}Trip{+}(none){+}10");
    EXPECT_EQ(m_report.changed.size(), 1U);
}

TEST_F(IcalImportTest, EntriesThatAreOverComeInCompleteAndAreNeverReminded) {
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Imported(Event(
                  {"SUMMARY:Last week", "DTSTART:20270222T090000Z", "DTEND:20270222T100000Z"})),
              Lines{"#2/22/2027{+}0{+}1{+}0{+}Last week{+}(none){+}9"});
    // Started, not yet ended: still to come.
    EXPECT_EQ(Imported(Event(
                  {"SUMMARY:Course", "DTSTART;VALUE=DATE:20270226", "DTEND;VALUE=DATE:20270305"})),
              Lines{"#2/26/2027{+}0{+}0{+}0{+}Course{+}(none){+}6"});
    // Yesterday all day has ended.
    EXPECT_EQ(Imported(Event({"SUMMARY:Yesterday", "DTSTART;VALUE=DATE:20270228"})),
              Lines{"#2/28/2027{+}0{+}1{+}0{+}Yesterday{+}(none){+}6"});
    // A completed to-do, due in the future, by its DUE.
    EXPECT_EQ(
        Imported(Calendar({"BEGIN:VTODO", "UID:t1", "DTSTAMP:20270101T000000Z", "SUMMARY:Taxes",
                           "DTSTART:20270301T090000Z", "DUE:20270415T170000Z", "STATUS:COMPLETED",
                           "END:VTODO", "BEGIN:VTODO", "UID:t2", "DTSTAMP:20270101T000000Z",
                           "SUMMARY:Open", "DUE;VALUE=DATE:20270416", "END:VTODO"})),
        (Lines{"#4/15/2027{+}0{+}1{+}0{+}Taxes{+}(none){+}17",
               "#4/16/2027{+}0{+}0{+}0{+}Open{+}(none){+}6"}));
    // A series whose last occurrence has passed: at that occurrence, complete.
    EXPECT_EQ(Imported(Event(
                  {"SUMMARY:Course", "DTSTART:20270104T180000Z", "RRULE:FREQ=WEEKLY;COUNT=4"})),
              Lines{"#1/25/2027{+}0{+}1{+}0{+}Course{+}(none){+}18"});
    EXPECT_NE(m_report.changed.at(0).find("its last occurrence"), std::string::npos);
}

TEST_F(IcalImportTest, RulesATaskHoldsAreKeptAtTheNextOccurrence) {
    const ScopedTimeZone zone("America/New_York");
    // Weekly on Wednesday since January: next Wednesday, weekly code 34.
    EXPECT_EQ(Imported(Event({"SUMMARY:Choir", "DTSTART;TZID=America/New_York:20270106T193000",
                              "RRULE:FREQ=WEEKLY;BYDAY=WE"})),
              Lines{"#3/3/2027{+}0{+}0{+}34{+}Choir{+}(none){+}19"});
    // Weekly without BYDAY, on the start's day; monthly; yearly from long ago.
    EXPECT_EQ(Imported(Event({"SUMMARY:Run", "DTSTART;TZID=America/New_York:20270101T070000",
                              "RRULE:FREQ=WEEKLY;INTERVAL=1"})),
              Lines{"#3/5/2027{+}0{+}0{+}36{+}Run{+}(none){+}7"});
    // Today's 8 AM has passed at 10 AM: the next is in April.
    EXPECT_EQ(Imported(Event({"SUMMARY:Rent", "DTSTART;TZID=America/New_York:20260801T080000",
                              "RRULE:FREQ=MONTHLY;BYMONTHDAY=1"})),
              Lines{"#4/1/2027{+}0{+}0{+}1{+}Rent{+}(none){+}8"});
    EXPECT_EQ(
        Imported(Event({"SUMMARY:Birthday", "DTSTART;VALUE=DATE:19800704", "RRULE:FREQ=YEARLY"})),
        Lines{"#7/4/2027{+}0{+}0{+}2{+}Birthday{+}(none){+}6"});
    EXPECT_TRUE(m_report.changed.empty());
    // Where the conversion moves the day, the weekday follows the local date.
    {
        const ScopedTimeZone utc("UTC");
        EXPECT_EQ(Imported(Event({"SUMMARY:Late", "DTSTART;TZID=America/New_York:20270106T213000",
                                  "RRULE:FREQ=WEEKLY;BYDAY=WE"})),
                  Lines{"#3/4/2027{+}0{+}0{+}35{+}Late{+}(none){+}2"});
    }
}

TEST_F(IcalImportTest, OtherRulesComeInOnceAtTheirNextOccurrenceWithAWord) {
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Imported(Event({"SUMMARY:Pills", "DTSTART:20270101T080000Z", "RRULE:FREQ=DAILY"})),
              Lines{"#3/2/2027{+}0{+}0{+}0{+}Pills{+}(none){+}8"});
    EXPECT_EQ(m_report.changed,
              Lines{"\"Pills\" (3/2/2027): it repeats in a way a task cannot (FREQ=DAILY), so "
                    "it comes in once, at its next occurrence"});
    for (const char* rule :
         {"RRULE:FREQ=WEEKLY;BYDAY=MO,WE", "RRULE:FREQ=WEEKLY;INTERVAL=2",
          "RRULE:FREQ=WEEKLY;UNTIL=20271231T000000Z", "RRULE:FREQ=MONTHLY;BYDAY=1FR"}) {
        const Lines lines = Imported(Event({"SUMMARY:Rule", "DTSTART:20270301T120000Z", rule}));
        ASSERT_EQ(lines.size(), 1U) << rule;
        EXPECT_TRUE(lines[0].ends_with("{+}0{+}0{+}Rule{+}(none){+}12")) << rule << lines[0];
        EXPECT_EQ(m_report.changed.size(), 1U) << rule;
    }
    // Left-out dates cannot be held either: the next one that is not left out.
    EXPECT_EQ(Imported(Event({"SUMMARY:Gym", "DTSTART:20270101T180000Z", "RRULE:FREQ=WEEKLY",
                              "EXDATE:20270305T180000Z"})),
              Lines{"#3/12/2027{+}0{+}0{+}0{+}Gym{+}(none){+}18"});
}

TEST_F(IcalImportTest, TextsKeepTheirWordsButNeverSplitATask) {
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Imported(Event({"SUMMARY:Film {+} dinner", "DTSTART:20270310T190000Z",
                              "DESCRIPTION:Row 12\\nSeat 4\\, aisle; bring {+} snacks"})),
              Lines{"#3/10/2027{+}0{+}0{+}0{+}Film {} dinner{+}Row 12 Seat 4, aisle; bring {} "
                    "snacks{+}19"});
    ASSERT_EQ(m_report.changed.size(), 1U);
    EXPECT_EQ(m_report.changed[0],
              "\"Film {} dinner\" (3/10/2027): its title's \"{+}\" became \"{}\", as \"{+}\" "
              "separates a task's fields; its note's \"{+}\" became \"{}\", as \"{+}\" separates "
              "a task's fields");
}

TEST_F(IcalImportTest, EntriesThatCannotBeTasksAreRefusedWithTheReason) {
    const ScopedTimeZone zone("UTC");
    const Lines lines = Imported(Calendar({
        "BEGIN:VEVENT",
        "UID:no-title",
        "DTSTAMP:20270101T000000Z",
        "DTSTART:20270310T090000Z",
        "END:VEVENT",  //
        "BEGIN:VTODO",
        "UID:no-date",
        "DTSTAMP:20270101T000000Z",
        "SUMMARY:Someday",
        "END:VTODO",  //
        "BEGIN:VEVENT",
        "UID:gone",
        "DTSTAMP:20270101T000000Z",
        "SUMMARY:Called off",
        "DTSTART:20270310T090000Z",
        "STATUS:CANCELLED",
        "END:VEVENT",  //
        "BEGIN:VEVENT",
        "UID:old",
        "DTSTAMP:20270101T000000Z",
        "SUMMARY:Moon landing",
        "DTSTART:19690720T201700Z",
        "END:VEVENT",  //
        "BEGIN:VEVENT",
        "UID:kept",
        "DTSTAMP:20270101T000000Z",
        "SUMMARY:Kept",
        "DTSTART:20270310T090000Z",
        "END:VEVENT",
    }));
    EXPECT_EQ(lines, Lines{"#3/10/2027{+}0{+}0{+}0{+}Kept{+}(none){+}9"});
    ASSERT_EQ(m_report.refused.size(), 4U);
    EXPECT_EQ(m_report.refused[0].name, "UID no-title");
    EXPECT_EQ(m_report.refused[0].reason, "it has no title (SUMMARY)");
    EXPECT_EQ(m_report.refused[1].reason, "it has no date (DTSTART, or DUE for a to-do)");
    EXPECT_EQ(m_report.refused[2].reason, "it is cancelled");
    EXPECT_EQ(m_report.refused[3].name, "Moon landing");
    EXPECT_EQ(m_report.refused[3].reason, "its date lies outside the years 1970 to 9999");
    EXPECT_EQ(ImportReportText(m_report, "cal.ics"),
              "cal.ics: 1 task added, 0 already there, 0 changed to fit, 4 refused.\n"
              "Refused:\n"
              "  \"UID no-title\": it has no title (SUMMARY)\n"
              "  \"Someday\": it has no date (DTSTART, or DUE for a to-do)\n"
              "  \"Called off\": it is cancelled\n"
              "  \"Moon landing\": its date lies outside the years 1970 to 9999\n");
}

TEST_F(IcalImportTest, TasksAlreadyThereAreNotAddedTwiceAndTheRestGoAtTheEnd) {
    const ScopedTimeZone zone("UTC");
    // The file's date written with leading zeros and another note is still the same task.
    m_file.WriteTasks({"; my tasks", "#03/10/2027{+}2{+}0{+}0{+}Call{+}mine{+}9"});
    const std::string calendar =
        Calendar({"BEGIN:VEVENT", "UID:a", "DTSTAMP:20270101T000000Z", "SUMMARY:Call",
                  "DTSTART:20270310T090000Z", "END:VEVENT",  //
                  "BEGIN:VEVENT", "UID:b", "DTSTAMP:20270101T000000Z", "SUMMARY:Call",
                  "DTSTART:20270310T090000Z", "END:VEVENT",  //
                  "BEGIN:VEVENT", "UID:c", "DTSTAMP:20270101T000000Z", "SUMMARY:Call",
                  "DTSTART:20270310T100000Z", "END:VEVENT"});
    ImportReport report = Import(calendar, Now());
    EXPECT_EQ(report.nAdded, 2);
    EXPECT_EQ(report.nAlreadyThere, 1);
    EXPECT_EQ(m_file.Lines(), (Lines{"; my tasks", "#03/10/2027{+}2{+}0{+}0{+}Call{+}mine{+}9",
                                     "#3/10/2027{+}0{+}0{+}0{+}Call{+}(none){+}9",
                                     "#3/10/2027{+}0{+}0{+}0{+}Call{+}(none){+}10"}));
    const std::string after = m_file.Content();
    const auto stamp = std::filesystem::last_write_time(m_file.Path());
    report = Import(calendar, Now());
    EXPECT_EQ(report.nAdded, 0);
    EXPECT_EQ(report.nAlreadyThere, 3);
    EXPECT_EQ(m_file.Content(), after);
    // Nothing to add: the file is not even rewritten.
    EXPECT_EQ(std::filesystem::last_write_time(m_file.Path()), stamp);
}

TEST_F(IcalImportTest, AFileThatCannotBeReadLeavesTheTaskFileUntouched) {
    const ScopedTimeZone zone("UTC");
    m_file.WriteTasks({"#3/10/2027{+}0{+}0{+}0{+}Mine{+}(none){+}9"});
    const std::string before = m_file.Content();
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\nSUMMARY:A\r\n"
         "DTSTART:20270310T090000Z\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:2\r\nSUMMARY:B\r\n"
         "DTSTART:hello\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         "line 11 cannot be read: DTSTART:hello"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\nDTSTART:20270310T090000Z\r\n"
         "this is no property\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         "line 5 cannot be read: this is no property"},
        {"Subject: minutes\r\n\r\nBEGIN:VCALENDAR\r\n",
         "line 1 is not the start of a calendar "
         "(BEGIN:VCALENDAR): Subject: minutes"},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\nDTSTART:20270310T090000Z\r\n",
         "the file ends inside BEGIN:VEVENT (END:VEVENT is missing)"},
        {"", "the file is empty"},
        {Calendar({"BEGIN:VJOURNAL", "UID:j", "DTSTAMP:20270101T000000Z", "SUMMARY:Notes",
                   "END:VJOURNAL"}),
         "it holds no event or to-do (VEVENT or VTODO)"},
    };
    for (const auto& bad : cases) {
        const ImportReport report = Import(bad.text, Now());
        EXPECT_FALSE(report.bImported) << bad.problem;
        EXPECT_EQ(report.problem, bad.problem);
        EXPECT_EQ(report.nAdded, 0);
        EXPECT_EQ(m_file.Content(), before);
        EXPECT_FALSE(std::filesystem::exists(m_file.File().TempPath()));
    }
    EXPECT_EQ(ImportReportText(Import(cases[0].text, Now()), "bad.ics"),
              "bad.ics: nothing was imported: line 11 cannot be read: DTSTART:hello\n");
}

TEST_F(IcalImportTest, AFailedRewriteAddsNothingAtAll) {
    const ScopedTimeZone zone("UTC");
    m_file.WriteTasks({"#3/10/2027{+}0{+}0{+}0{+}Mine{+}(none){+}9"});
    const std::string before = m_file.Content();
    m_file.File().SetFaultHook([](RewriteStep step) { return step == RewriteStep::Rename; });
    const ImportReport report =
        Import(Calendar({"BEGIN:VEVENT", "UID:a", "DTSTAMP:20270101T000000Z", "SUMMARY:A",
                         "DTSTART:20270310T090000Z", "END:VEVENT", "BEGIN:VEVENT", "UID:b",
                         "DTSTAMP:20270101T000000Z", "SUMMARY:B", "DTSTART:20270311T090000Z",
                         "END:VEVENT"}),
               Now());
    EXPECT_FALSE(report.bImported);
    EXPECT_EQ(report.nAdded, 0);
    EXPECT_EQ(report.problem, "The task file could not be replaced.");
    EXPECT_EQ(m_file.Content(), before);
}

}  // namespace
