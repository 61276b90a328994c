#include "tasks/displaytext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DisplayTextTest, ShortTextsAreShownWhole) {
    EXPECT_EQ(DisplayText(""), "");
    EXPECT_EQ(DisplayText("Dentist"), "Dentist");
    const std::string full(kDisplayTextLimit, 'x');
    EXPECT_EQ(DisplayText(full), full);
    EXPECT_EQ(DisplayText("Z\xc3\xa4hne", 6), "Z\xc3\xa4hne");
}

TEST(DisplayTextTest, LongTextsAreCutBetweenCharacters) {
    EXPECT_EQ(DisplayText("Renew the passport", 9), "Renew the...");
    // A two-, three- and four-byte character that the limit falls into is left out whole.
    EXPECT_EQ(DisplayText("ab\xc3\xa4z", 3), "ab...");
    EXPECT_EQ(DisplayText("ab\xe2\x82\xac", 4), "ab...");
    EXPECT_EQ(DisplayText("ab\xe2\x82\xacz", 5), "ab\xe2\x82\xac...");
    EXPECT_EQ(DisplayText("a\xf0\x9f\x90\x92z", 4), "a...");
    EXPECT_EQ(DisplayText("a\xf0\x9f\x90\x92z", 5), "a\xf0\x9f\x90\x92...");
    // Bytes that are not UTF-8 at all are each a character of their own.
    EXPECT_EQ(DisplayText("ab\x80\x80\x80\x80\x80", 5), "ab\x80\x80\x80...");
}

}  // namespace
