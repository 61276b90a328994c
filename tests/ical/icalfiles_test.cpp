// Calendar files in the shapes other programs write, made from the published format: the
// examples of RFC 5545, a desktop mail program's export (a zone under a name of its own), a
// web calendar's export (all-day birthdays, a moved occurrence, empty values, two alarms), a
// desktop calendar's file (to-dos, alarms at a time and from the end, a journal) and rules a
// task cannot hold.

#include "ical/icalfixture.h"

namespace {

using Lines = std::vector<std::string>;

class IcalFilesTest : public IcalTest {
protected:
    // Imports the file of data/ in New York on Monday 1 March 2027 at 10:00 (winter time
    // until 14 March), and gives the task file's lines.
    Lines ImportedFrom(const std::string& name) {
        const ScopedTimeZone zone("America/New_York");
        m_report = Import(CalendarFile(name), CTime::FromLocal(2027, 3, 1, 10));
        EXPECT_TRUE(m_report.bImported) << m_report.problem;
        return m_file.Lines();
    }

    ImportReport m_report;
};

TEST_F(IcalFilesTest, TheExamplesOfTheStandard) {
    EXPECT_EQ(ImportedFrom("rfc5545-examples.ics"),
              (Lines{
                  // Over in 1996 (14:30 UTC is 10:30 summer time); a folded, escaped note.
                  "#9/18/1996{+}0{+}1{+}0{+}Networld+Interop Conference{+}Networld+Interop "
                  "Conference and Exhibit Atlanta World Congress Center Atlanta, Georgia{+}10",
                  // The file's own zone, whose first rule starts later in 1998: before it the
                  // offset it changes from (-0400) holds, so 08:30 there is 07:30 here.
                  "#3/12/1998{+}0{+}1{+}0{+}XYZ Project Review{+}Project XYZ Review Meeting{+}7",
                  // Due at midnight: hour 24 of the day before; an audio alarm at a time.
                  "#4/14/1998{+}11{+}1{+}0{+}Submit Income Taxes{+}(none){+}24",
              }));
    EXPECT_EQ(m_report.changed.size(), 3U);
    EXPECT_EQ(m_report.changed[2],
              "\"Submit Income Taxes\" (4/14/1998): its alarm 11 days 16 "
              "hours before is given 11 days before");
}

TEST_F(IcalFilesTest, ADesktopMailProgramsExport) {
    EXPECT_EQ(ImportedFrom("mail-program-export.ics"),
              (Lines{
                  // 16:30 in "W. Europe Standard Time" (the file's VTIMEZONE) is 11:30 in New
                  // York after its change to summer time.
                  "#3/15/2027{+}0{+}0{+}0{+}Zahnärztin{+}Bring the insurance card.  The practice "
                  "moved to the second floor.{+}11",
                  // Weekly on Tuesday at 18:00 there since September: next Tuesday, noon here.
                  "#3/2/2027{+}1{+}0{+}33{+}Choir practice{+}(none){+}12",
                  "#1/20/2027{+}0{+}1{+}0{+}Renew the parking permit{+}(none){+}6",
              }));
    EXPECT_EQ(m_report.changed,
              Lines{"\"Zahnärztin\" (3/15/2027): its alarm 15 minutes before is served by the "
                    "reminder at its own hour; it starts at 11:30 and falls due at the start of "
                    "that hour"});
}

TEST_F(IcalFilesTest, AWebCalendarsExport) {
    EXPECT_EQ(ImportedFrom("web-calendar-export.ics"),
              (Lines{
                  "#7/4/2027{+}0{+}0{+}2{+}Sam's birthday{+}(none){+}6",
                  // Mondays, Wednesdays and Fridays at 9 in Los Angeles: today at noon, once.
                  "#3/1/2027{+}0{+}0{+}0{+}Stand-up{+}Daily stand-up. Join from the usual "
                  "room.{+}12",
                  // The e-mail alarm two days before is the earliest.
                  "#3/5/2027{+}2{+}0{+}0{+}Film {} dinner{+}Seats {} snacks, row 12. Doors open "
                  "at 6.{+}18",
              }));
    EXPECT_EQ(m_report.changed.size(), 2U);
    ASSERT_EQ(m_report.refused.size(), 1U);
    EXPECT_EQ(m_report.refused[0].name, "Stand-up (moved)");
}

TEST_F(IcalFilesTest, ADesktopCalendarsFile) {
    EXPECT_EQ(ImportedFrom("desktop-calendar.ics"),
              (Lines{
                  "#3/10/2027{+}2{+}0{+}0{+}Return the library books{+}(none){+}6",
                  // Four days before the end of a three-day conference: a day before it.
                  "#3/22/2027{+}1{+}0{+}0{+}Conference{+}(none){+}6",
                  "#3/2/2027{+}0{+}0{+}0{+}Piano lesson{+}Scales first, then the Satie.{+}11",
                  // 8:00 in Berlin on 1 April is 2:00 here; the earlier of two alarms.
                  "#4/1/2027{+}3{+}0{+}1{+}Rent{+}(none){+}2",
              }));
    ASSERT_EQ(m_report.refused.size(), 1U);
    EXPECT_EQ(m_report.refused[0].name, "Someday: learn the cello");
    EXPECT_TRUE(ImportReportText(m_report, "desktop.ics")
                    .starts_with("desktop.ics: 4 tasks added, 0 already there, 2 changed to fit, "
                                 "1 refused.\n"));
}

TEST_F(IcalFilesTest, RulesATaskCannotHold) {
    EXPECT_EQ(ImportedFrom("recurrence-rules.ics"),
              (Lines{
                  "#9/11/2026{+}0{+}1{+}0{+}Daily for 10 occurrences{+}(none){+}9",
                  "#3/2/2027{+}0{+}0{+}0{+}Every other day{+}(none){+}9",
                  "#3/2/2027{+}0{+}0{+}0{+}Weekly until the end of June{+}(none){+}18",
                  "#3/5/2027{+}0{+}0{+}0{+}First Friday of the month{+}(none){+}12",
                  "#3/2/2027{+}0{+}0{+}0{+}Every weekday{+}(none){+}7",
                  "#7/10/2001{+}0{+}1{+}0{+}Yearly in June and July, 10 times{+}(none){+}10",
                  "#3/10/2027{+}0{+}0{+}0{+}Two extra sessions{+}(none){+}14",
                  "#3/3/2027{+}0{+}0{+}34{+}Weekly on Wednesday{+}(none){+}19",
              }));
    ASSERT_EQ(m_report.changed.size(), 8U);
    EXPECT_EQ(m_report.changed[0],
              "\"Daily for 10 occurrences\" (9/11/2026): it repeats in a way a task cannot "
              "(FREQ=DAILY;COUNT=10), so it comes in once, at its last occurrence");
    EXPECT_EQ(m_report.changed[6],
              "\"Two extra sessions\" (3/10/2027): it repeats in a way a task cannot (with extra "
              "dates), so it comes in once, at its next occurrence");
}

}  // namespace
