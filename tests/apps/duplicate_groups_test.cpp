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

TEST(DuplicateKeys, GroupsNeverChainAndNothingMatchesOnEmptyValues) {
    const QList<ContactKeys> contacts = {
        {"Jürgen", "Weiß", {"jw@example.org"}, {}},  // 0
        {"weiss", "JURGEN", {}, {"0170 111111"}},    // 1 by name
        {"Anna", "Alt", {}, {"+49 30 12345"}},       // 2
        {"Bernd", "Bau", {""}, {"030-12345"}},       // 3 only the number of 2
        {"Carla", "Cross", {"JW@Example.org"}, {}},  // 4 only the e-mail of 0
        {"Dora", "", {""}, {""}},                    // 5 alone
        {"", "", {}, {"112"}},                       // 6 alone
        {"", "", {}, {"110"}},                       // 7 alone
        {"Eva", "Ende", {}, {"0170/111 111"}},       // 8 only the number of 1
    };
    EXPECT_EQ(DuplicateGroups(contacts), (QList<QList<int>>{{0, 1}}));
}

TEST(SamePerson, NamesAgreeFoldedInAnyOrderAndByInitialsWithAContactInCommon) {
    const auto same = [](ContactKeys a, ContactKeys b) { return SamePerson(a, b); };
    EXPECT_TRUE(same({"Jürgen", "Weiß", {}, {"0171 5550001"}},
                     {"Juergen", "Weiss", {}, {"+49 171 5550001"}}));
    EXPECT_TRUE(same({"Jürgen", "Müller"}, {"Jurgen", "MULLER"}));
    EXPECT_TRUE(same({"Hans-Peter", "Öz"}, {"Hans Peter", "Oez"}));
    EXPECT_TRUE(same({"John", "Smith"}, {"", "Smith, John"}));
    EXPECT_TRUE(same({"J.", "Smith", {"js@example.org"}}, {"John", "Smith", {"JS@example.org"}}));
    EXPECT_FALSE(same({"J.", "Smith"}, {"John", "Smith"})) << "an initial alone proves little";
    EXPECT_FALSE(same({"Michael", "Berg"}, {"Michal", "Berg"}));
    EXPECT_FALSE(same({"John", "Smith"}, {"John", "Smith Jones"}));
    EXPECT_FALSE(same({"Anna", "Berg", {"x@example.org"}, {"0221 1780"}},
                      {"Bernd", "Berg", {"x@example.org"}, {"0221 1780"}}));
    EXPECT_FALSE(same({"", "", {"x@example.org"}}, {"", "", {"x@example.org"}}));
}

TEST(SamePerson, ADifferentBirthdayContradictsAndOneWithoutYearAgreesOnTheDay) {
    EXPECT_TRUE(BirthdaysAgree(QDate(1980, 3, 7), QDate()));
    EXPECT_TRUE(BirthdaysAgree(QDate(1904, 3, 7), QDate(1980, 3, 7)));
    EXPECT_FALSE(BirthdaysAgree(QDate(1904, 3, 8), QDate(1980, 3, 7)));
    EXPECT_FALSE(BirthdaysAgree(QDate(1981, 3, 7), QDate(1980, 3, 7)));
    EXPECT_FALSE(SamePerson({"Greg", "Hall", {}, {}, QDate(1970, 1, 1)},
                            {"Greg", "Hall", {}, {}, QDate(1971, 1, 1)}));
    EXPECT_TRUE(SamePerson({"Greg", "Hall", {}, {}, QDate(1904, 1, 1)},
                           {"Greg", "Hall", {}, {}, QDate(1971, 1, 1)}));
}

TEST(DuplicateGroups, SharedNumbersJoinNobody) {
    // Three colleagues at the switchboard, a couple at home.
    const QList<ContactKeys> switchboard = {
        {"Clara", "Kunz", {}, {"0221 178-0"}},
        {"Dieter", "Roth", {}, {"0221 1780"}},
        {"Emil", "Sand", {}, {"+49 221 178-0"}},
        {"Anna", "Becker", {"becker@example.org"}, {"030 445566"}},
        {"Bernd", "Becker", {"becker@example.org"}, {"030 445566"}},
    };
    EXPECT_TRUE(DuplicateGroups(switchboard).isEmpty());

    // Three people, each typed twice, all given the test number: only the
    // pairs, and Greg's stays Greg's.
    const QList<ContactKeys> tested = {
        {"Greg", "Hall", {"greg@example.org"}, {"0123 456789"}, QDate(1970, 1, 1)},  // 0
        {"Ina", "Roe", {}, {"0123 456789"}},                                         // 1
        {"Greg", "Hall", {}, {"0123 456789"}},                                       // 2
        {"Olaf", "Ude", {}, {"0123 456789", "0170 9988776"}},                        // 3
        {"Roe", "Ina", {}, {"0123 456789"}},                                         // 4
        {"Olaf", "Ude", {}, {"0123 456789"}},                                        // 5
    };
    EXPECT_EQ(DuplicateGroups(tested), (QList<QList<int>>{{0, 2}, {1, 4}, {3, 5}}));

    // A like B by name, B like C by number only.
    const QList<ContactKeys> chain = {
        {"Lena", "Vogt", {}, {}},
        {"Vogt", "Lena", {}, {"0711 1234567"}},
        {"Max", "Vogt", {}, {"0711 1234567"}},
    };
    EXPECT_EQ(DuplicateGroups(chain), (QList<QList<int>>{{0, 1}}));
}

TEST(DuplicateGroups, EveryTwoMembersAgreeAndTheNamelessJoinOnlyTheOneOwnerOfTheirAddress) {
    const QList<ContactKeys> contacts = {
        {"J.", "Smith", {"smith@example.org"}, {}},     // 0
        {"John", "Smith", {"smith@example.org"}, {}},   // 1 with 0
        {"Jane", "Smith", {"smith@example.org"}, {}},   // 2 agrees with 0, never with 1
        {"", "", {"SMITH@example.org"}, {}},            // 3 the address of two people
        {"Tom", "Berg", {"tom@example.org"}, {}},       // 4
        {"", "", {"tom@example.org"}, {"0170 12345"}},  // 5 with 4
        {"", "", {}, {"0170 12345"}},                   // 6 a number only
        {"Berg", "Tom", {}, {}},                        // 7 with 4
    };
    EXPECT_EQ(DuplicateGroups(contacts), (QList<QList<int>>{{0, 1}, {4, 5, 7}}));
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
