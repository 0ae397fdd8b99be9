// A person changed on both sides comes together field by field, and a
// phone's card changed here keeps everything the record cannot hold.
#include "apps/addresses/card_merge.h"
#include "kernel/public_variables.h"
#include "tests/apps/vcard_shapes.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QByteArray kPhoneCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Weiss;Anna;;;\r\nFN:Anna Weiss\r\n"
    "item1.TEL;TYPE=CELL:+49 170 1111\r\nitem1.X-ABLabel:Dienst\r\n"
    "TEL;TYPE=HOME:030 2222\r\nTEL;TYPE=HOME:030 3333\r\nTEL;TYPE=HOME:030 4444\r\n"
    "EMAIL;TYPE=HOME:anna@example.org\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg==\r\n"
    "IMPP:xmpp:anna@example.org\r\nBDAY:--0315\r\nNOTE:Kennt Bernd\r\n"
    "UID:phone-1\r\nEND:VCARD\r\n";

VCard PhoneCard() {
    return ReadVCards(kPhoneCard).cards.first();
}

QStringList Lines(const VCard& card) {
    return QString::fromUtf8(WriteVCards({card}, VCardVersion::V30)).split("\r\n");
}

TEST(CardMerge, EachSideKeepsWhatOnlyItChangedAndTheLocalValueWinsAConflict) {
    THE_LANG = "AM";
    const QStringList fields{"VORNAME", "NACHNAME", "STRASSE", "ORT", "LISTE", "FREE10"};
    const AddressValues base{{"VORNAME", "Anna"}, {"NACHNAME", "Weiss"}, {"STRASSE", "Alt 1"},
                             {"ORT", "Berlin"},   {"LISTE", false},      {"FREE10", "Kennt Bernd"}};
    AddressValues local = base, other = base;
    local["STRASSE"] = "Neu 2   ";  // blank-padded as the table gives it
    other["ORT"] = "Hamburg";
    other["LISTE"] = true;
    MergedRecord merged = MergedFieldByField(base, local, other, fields, {});
    EXPECT_TRUE(merged.conflicts.isEmpty());
    EXPECT_EQ(merged.values["STRASSE"].toString().trimmed(), "Neu 2");
    EXPECT_EQ(merged.values["ORT"].toString(), "Hamburg");
    EXPECT_TRUE(merged.values["LISTE"].toBool());
    EXPECT_EQ(merged.values["FREE10"].toString(), "Kennt Bernd");

    // Both changed the street, and the same change on both sides is none.
    other["STRASSE"] = "Andere 3";
    other["ORT"] = "Hamburg";
    local["ORT"] = "Hamburg";
    merged = MergedFieldByField(base, local, other, fields, {{"STRASSE", "Street"}});
    EXPECT_EQ(merged.conflicts, QStringList{"STRASSE"});
    EXPECT_EQ(merged.values["STRASSE"].toString().trimmed(), "Neu 2");
    EXPECT_EQ(merged.values["FREE10"].toString(), "Kennt Bernd\r\nOn the server: Street: Andere 3");
}

TEST(CardMerge, APatchedCardChangesOnlyThePropertiesWhoseValuesChanged) {
    const AddressBookShape shape = PrivateShape();
    const VCard card = PhoneCard();
    const RecordFromCard before = RecordOfCard(shape, card);
    ASSERT_TRUE(before.values["FREE10"].toString().startsWith("Kennt Bernd\r\n"));

    // Nothing changed: the card stays as it came.
    EXPECT_EQ(Lines(PatchedCard(card, shape, before.values, before.values, VCardVersion::V30)),
              Lines(card));

    AddressValues after = before.values;
    after["NACHNAME"] = "Weiß";
    after["HANDY"] = "+49 170 9999";
    after["FREE10"] = before.values["FREE10"].toString() + "\r\nneue Zeile";
    const QStringList patched =
        Lines(PatchedCard(card, shape, before.values, after, VCardVersion::V30));
    EXPECT_TRUE(patched.contains("N:Weiß;Anna;;;"));
    EXPECT_TRUE(patched.contains("FN:Anna Weiß"));
    // The new number takes the old one's place, group and label.
    EXPECT_TRUE(patched.contains("item1.TEL;TYPE=CELL:+49 170 9999"));
    EXPECT_TRUE(patched.contains("item1.X-ABLABEL:Dienst"));
    for (const char* kept :
         {"TEL;TYPE=HOME:030 2222", "TEL;TYPE=HOME:030 3333", "TEL;TYPE=HOME:030 4444",
          "IMPP:xmpp:anna@example.org",
          "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg==", "BDAY:--0315", "UID:phone-1"})
        EXPECT_TRUE(patched.contains(kept)) << kept;
    // The note gets the new line, not the values the record keeps in its memo.
    EXPECT_TRUE(patched.contains("NOTE:Kennt Bernd\\nneue Zeile"));
    EXPECT_FALSE(patched.filter("NOTE").join("").contains("IMPP"));
    EXPECT_EQ(patched.filter(QRegularExpression("^(item1\\.)?TEL")).size(), 4);
}

}  // namespace
