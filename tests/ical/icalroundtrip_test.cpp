// Export and import again give back the task file byte for byte, in any zone.

#include "ical/icalfixture.h"

namespace {

class IcalRoundTripTest : public IcalTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(IcalRoundTripTest, ExportThenImportGivesBackTheSameBytes) {
    const ScopedTimeZone zone(GetParam());
    // Every status (an unknown one too), every recurrence, hour 24 (across a month's and a
    // year's end), a leap day, non-ASCII text, notes with and without text, a lone "+".
    m_file.WriteTasks({
        "#2/27/2027{+}3{+}0{+}0{+}Dentist{+}bring the card{+}14",
        "#2/28/2027{+}0{+}1{+}0{+}Done already{+}(none){+}24",
        "#12/31/2026{+}0{+}2{+}0{+}Missed one{+}(none){+}24",
        "#3/3/2027{+}0{+}3{+}1{+}Marked{+}(none){+}9",
        "#3/4/2027{+}1{+}4{+}2{+}Unread{+}(none){+}1",
        "#3/4/2027{+}0{+}7{+}0{+}Odd status{+}(none){+}12",
        "#2/29/2028{+}30{+}0{+}2{+}Leap day{+}(none){+}6",
        "#3/7/2027{+}2{+}0{+}31{+}Sunday{+}(none){+}10",
        "#3/8/2027{+}0{+}0{+}32{+}Monday{+}(none){+}11",
        "#3/9/2027{+}0{+}0{+}33{+}Tuesday{+}(none){+}13",
        "#3/10/2027{+}0{+}0{+}34{+}Wednesday{+}(none){+}15",
        "#3/11/2027{+}0{+}0{+}35{+}Thursday{+}(none){+}17",
        "#3/12/2027{+}0{+}1{+}36{+}Friday{+}(none){+}23",
        "#3/13/2027{+}0{+}0{+}37{+}Saturday{+}(none){+}24",
        "#1/15/2027{+}5{+}0{+}1{+}Zahnärztin – Frühjahr ✓{+}Straße 5, 2. Stock; \"Ü\"{+}8",
        "#1/15/2027{+}5{+}0{+}1{+}Zahnärztin – Frühjahr ✓{+}Straße 5, 2. Stock; \"Ü\"{+}8",
        "#6/1/2027{+}0{+}0{+}0{+}A+B {curly} \\back{+}x{+}7",
    });
    const std::string before = m_file.Content();
    const CTime now = CTime::FromLocal(2027, 3, 1, 10);
    const std::string calendar = Export(now);

    m_file.WriteTasks({});
    ImportReport report = Import(calendar, now);
    EXPECT_TRUE(report.bImported) << report.problem;
    EXPECT_EQ(report.nAdded, 17);
    EXPECT_TRUE(report.changed.empty()) << report.changed.front();
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(m_file.Content(), before);

    // Imported once more, a day later: already there, every one of them.
    report = Import(calendar, CTime::FromLocal(2027, 3, 2, 10));
    EXPECT_EQ(report.nAdded, 0);
    EXPECT_EQ(report.nAlreadyThere, 17);
    EXPECT_EQ(m_file.Content(), before);
}

INSTANTIATE_TEST_SUITE_P(Zones, IcalRoundTripTest,
                         ::testing::Values("UTC", "America/New_York", "Pacific/Auckland"));

}  // namespace
