// Likely duplicates and what a merge keeps, without tables or windows.
#include "apps/addresses/duplicate_groups.h"

#include <gtest/gtest.h>

namespace {

TEST(DuplicateKeys, NamesFoldCaseAccentsAndSharpSInAnyOrderAndPhonesTheirPrefix) {
    EXPECT_EQ(FoldedName("Jürgen", "Weiß"), "jurgen|weiss");
    EXPECT_EQ(FoldedName("WEISS", "  jurgen "), "jurgen|weiss");
    EXPECT_EQ(FoldedName("José Maria", "Conceição"), FoldedName("Conceicao", "JOSE maria"));
    EXPECT_EQ(FoldedName("", " "), "");
    EXPECT_EQ(PhoneKey("+49 30 1234-5"), "3012345");
    EXPECT_EQ(PhoneKey("0049 (30) 12345"), "3012345");
    EXPECT_EQ(PhoneKey("030/12345"), "3012345");
    EXPECT_EQ(PhoneKey("+43 1 234567"), "431234567");
    EXPECT_EQ(PhoneKey("01234567"), "1234567");
    EXPECT_EQ(PhoneKey("112"), "") << "too short to tell a person";
}

TEST(DuplicateKeys, GroupsJoinThroughAnyMemberAndNothingMatchesOnEmptyValues) {
    const QList<ContactKeys> contacts = {
        {"Jürgen", "Weiß", {"jw@example.org"}, {}},  // 0
        {"weiss", "JURGEN", {}, {"0170 111111"}},    // 1 by name
        {"Anna", "Alt", {}, {"+49 30 12345"}},       // 2
        {"Bernd", "Bau", {""}, {"030-12345"}},       // 3 by telephone
        {"Carla", "Cross", {"JW@Example.org"}, {}},  // 4 by e-mail with 0
        {"Dora", "", {""}, {""}},                    // 5 alone
        {"", "", {}, {"112"}},                       // 6 alone
        {"", "", {}, {"110"}},                       // 7 alone
        {"Eva", "Ende", {}, {"0170/111 111"}},       // 8 by telephone with 1
    };
    EXPECT_EQ(DuplicateGroups(contacts), (QList<QList<int>>{{0, 1, 4, 8}, {2, 3}}));
}

TEST(DuplicateMerge, ChosenValuesWinNonEmptyFillsAndMemosAreJoinedOnce) {
    const QStringList fields{"VORNAME", "TEL", "EMAIL", "LISTE", "GEBURTSTAG", "FREE10"};
    const QList<AddressValues> members = {
        {{"VORNAME", "Anna"},
         {"TEL", "030 1"},
         {"EMAIL", ""},
         {"LISTE", false},
         {"GEBURTSTAG", QDate()},
         {"FREE10", "eins"}},
        {{"VORNAME", "Anna"},
         {"TEL", "030 2"},
         {"EMAIL", "a@x.de"},
         {"LISTE", true},
         {"GEBURTSTAG", QDate(1980, 1, 2)},
         {"FREE10", "zwei"}},
        {{"VORNAME", "Anna"},
         {"TEL", ""},
         {"EMAIL", ""},
         {"LISTE", false},
         {"GEBURTSTAG", QDate()},
         {"FREE10", "eins"}},
    };
    const QList<MergeChoice> choices = MergeChoices(members, fields);
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices[0].field, "TEL");
    EXPECT_EQ(choices[0].values, (QStringList{"030 1", "030 2"}));
    const AddressValues merged =
        MergedRecord(members, 2, fields, {{"TEL", "030 2"}}, {"Abteilung: Verkauf"});
    EXPECT_EQ(merged["TEL"], "030 2");
    EXPECT_EQ(merged["EMAIL"], "a@x.de");
    EXPECT_EQ(merged["LISTE"], true);
    EXPECT_EQ(merged["GEBURTSTAG"], QDate(1980, 1, 2));
    EXPECT_EQ(merged["FREE10"], "eins\r\nzwei\r\nAbteilung: Verkauf");
    EXPECT_EQ(MergedRecord(members, 0, fields, {}, {})["TEL"], "030 1")
        << "without a choice the kept record's own value";
}

}  // namespace
