// Cards as phones, mail programs and web address books write them, each read
// into both books: which field gets which value. Typed in after the way each
// program writes its cards (version, types, PREF, grouped properties).
#include "apps/addresses/vcard_contacts.h"
#include "apps/addresses/vcard_format.h"
#include "tests/apps/vcard_shapes.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

// A field's value as the failure message shows it.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using Fields = std::map<QString, QString>;

struct CorpusCard {
    const char* writer;
    QByteArray card;
    Fields personal;  // what the private book takes
    Fields business;  // what the business book takes
};

// The fields a record holds, dates as yyyy-MM-dd and yes/no as "x" when set,
// the memo left out.
Fields Filled(const RecordFromCard& record) {
    Fields filled;
    for (auto it = record.values.cbegin(); it != record.values.cend(); ++it) {
        if (it.key() == "FREE10") continue;
        const QVariant& value = it.value();
        if (value.typeId() == QMetaType::QDate) {
            if (value.toDate().isValid()) filled[it.key()] = value.toDate().toString("yyyy-MM-dd");
        } else if (value.typeId() == QMetaType::Bool) {
            if (value.toBool()) filled[it.key()] = "x";
        } else if (!value.toString().isEmpty()) {
            filled[it.key()] = value.toString();
        }
    }
    return filled;
}

const QList<CorpusCard>& Corpus() {
    static const QList<CorpusCard> corpus{
        {"a phone's address book (2.1, no UID)",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Weber;Greta;;;\r\nFN:Greta Weber\r\n"
         "TEL;CELL:+49 170 1111\r\nTEL;WORK:+49 221 3333\r\nTEL;HOME:+49 221 2222\r\n"
         "EMAIL;HOME:greta@example.org\r\nADR;HOME:;;Ringstr. 1;Köln;;50667;\r\n"
         "BDAY:1980-05-17\r\nEND:VCARD\r\n",
         {{"VORNAME", "Greta"},
          {"NACHNAME", "Weber"},
          {"HANDY", "+49 170 1111"},
          {"TEL", "+49 221 2222"},
          {"TELFIRMA", "+49 221 3333"},
          {"EMAIL", "greta@example.org"},
          {"STRASSE", "Ringstr. 1"},
          {"ORT", "Köln"},
          {"PLZ", "50667"},
          {"GEBURTSTAG", "1980-05-17"},
          {"LISTE", "x"}},
         {{"VORNAME", "Greta Weber"},
          {"NACHNAME", "Greta Weber"},
          {"HANDY", "+49 170 1111"},
          {"TEL", "+49 221 3333"},
          {"EMAIL", "greta@example.org"},
          {"STRASSE", "Ringstr. 1"},
          {"ORT", "Köln"},
          {"PLZ", "50667"}}},
        {"a desktop address book (3.0, grouped, a street of two lines)",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lind;Jonas;;;\r\nFN:Jonas Lind\r\n"
         "ORG:Lind & Söhne;\r\nEMAIL;type=INTERNET;type=WORK;type=pref:jonas@lind.example\r\n"
         "EMAIL;type=INTERNET;type=HOME:jl@mail.example\r\n"
         "TEL;type=WORK;type=VOICE;type=pref:0228 100\r\nTEL;type=HOME;type=VOICE:0228 200\r\n"
         "TEL;type=WORK;type=FAX:0228 101\r\n"
         "item1.ADR;type=WORK;type=pref:;;Markt 3;Bonn;;53111;\r\n"
         "item2.ADR;type=HOME:;;Lindenweg 2\\nHinterhaus;Bonn;;53113;\r\n"
         "END:VCARD\r\n",
         {{"VORNAME", "Jonas"},
          {"NACHNAME", "Lind"},
          {"FIRMA", "Lind & Söhne"},
          {"EMAIL", "jl@mail.example"},
          {"EMAILFIRMA", "jonas@lind.example"},
          {"TEL", "0228 200"},
          {"TELFIRMA", "0228 100"},
          {"FAXFIRMA", "0228 101"},
          {"STRASSE", "Lindenweg 2, Hinterhaus"},
          {"ORT", "Bonn"},
          {"PLZ", "53113"}},
         {{"VORNAME", "Lind & Söhne"},
          {"NACHNAME", "Jonas Lind"},
          {"EMAIL", "jonas@lind.example"},
          {"TEL", "0228 100"},
          {"FAX", "0228 101"},
          {"STRASSE", "Markt 3"},
          {"ORT", "Bonn"},
          {"PLZ", "53111"}}},
        {"an office mail program (2.1, its WORK address marked PREF)",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;LANGUAGE=de:Brandt;Karl\r\nFN:Karl Brandt\r\n"
         "ORG:Brandt KG\r\nTEL;WORK;VOICE:030 555\r\nTEL;HOME;VOICE:030 666\r\n"
         "TEL;CELL;VOICE:0171 7\r\nTEL;WORK;FAX:030 556\r\n"
         "TEL;TYPE=x-assistant:030 557\r\n"
         "ADR;WORK;PREF:;;Hauptstr. 5;Berlin;;10115;Deutschland\r\n"
         "ADR;HOME:;;Gartenweg 9;Potsdam;;14467;Deutschland\r\n"
         "EMAIL;PREF;INTERNET:karl@brandt.example\r\nEND:VCARD\r\n",
         {{"VORNAME", "Karl"},
          {"NACHNAME", "Brandt"},
          {"FIRMA", "Brandt KG"},
          {"TEL", "030 666"},
          {"TELFIRMA", "030 555"},
          {"HANDY", "0171 7"},
          {"FAXFIRMA", "030 556"},
          {"EMAIL", "karl@brandt.example"},
          {"STRASSE", "Gartenweg 9"},
          {"ORT", "Potsdam"},
          {"PLZ", "14467"}},
         {{"VORNAME", "Brandt KG"},
          {"NACHNAME", "Karl Brandt"},
          {"TEL", "030 555"},
          {"HANDY", "0171 7"},
          {"FAX", "030 556"},
          {"EMAIL", "karl@brandt.example"},
          {"STRASSE", "Hauptstr. 5"},
          {"ORT", "Berlin"},
          {"PLZ", "10115"}}},
        {"a web mail service (3.0, an untyped address before a HOME one)",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Mia Roth\r\nN:Roth;Mia;;;\r\n"
         "EMAIL;TYPE=INTERNET:mia.other@example.com\r\n"
         "EMAIL;TYPE=INTERNET;TYPE=HOME:mia@example.com\r\n"
         "TEL;TYPE=CELL:0160 5\r\nBDAY:--0308\r\nEND:VCARD\r\n",
         {{"VORNAME", "Mia"},
          {"NACHNAME", "Roth"},
          {"EMAIL", "mia@example.com"},
          {"HANDY", "0160 5"},
          {"GEBURTSTAG", "1904-03-08"},
          {"LISTE", "x"}},
         {{"VORNAME", "Mia Roth"},
          {"NACHNAME", "Mia Roth"},
          {"EMAIL", "mia.other@example.com"},
          {"HANDY", "0160 5"}}},
        {"the example of RFC 2426 (no N)",
         "BEGIN:vCard\r\nVERSION:3.0\r\nFN:Frank Dawson\r\nORG:Lotus Development Corporation\r\n"
         "ADR;TYPE=WORK,POSTAL,PARCEL:;;6544 Battleford Drive;Raleigh;NC;27613-3502;U.S.A.\r\n"
         "TEL;TYPE=VOICE,MSG,WORK:+1-919-676-9515\r\nTEL;TYPE=FAX,WORK:+1-919-676-9564\r\n"
         "EMAIL;TYPE=INTERNET,PREF:Frank_Dawson@Lotus.com\r\n"
         "EMAIL;TYPE=INTERNET:fdawson@earthlink.net\r\n"
         "URL:http://home.earthlink.net/~fdawson\r\nEND:vCard\r\n",
         {{"VORNAME", "Frank"},
          {"NACHNAME", "Dawson"},
          {"FIRMA", "Lotus Development Corporation"},
          {"TELFIRMA", "+1-919-676-9515"},
          {"FAXFIRMA", "+1-919-676-9564"},
          {"EMAIL", "Frank_Dawson@Lotus.com"}},
         {{"VORNAME", "Lotus Development Corporation"},
          {"NACHNAME", "Frank Dawson"},
          {"TEL", "+1-919-676-9515"},
          {"FAX", "+1-919-676-9564"},
          {"EMAIL", "Frank_Dawson@Lotus.com"},
          {"EMAILFIRMA", "http://home.earthlink.net/~fdawson"},
          {"STRASSE", "6544 Battleford Drive"},
          {"ORT", "Raleigh"},
          {"PLZ", "27613-3502"}}},
        {"the example of RFC 6350 (4.0, tel: URIs, PREF=1, a quoted type list)",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Simon Perreault\r\nN:Perreault;Simon;;;ing. jr,M.Sc.\r\n"
         "BDAY:--0203\r\nGENDER:M\r\nLANG;PREF=1:fr\r\nORG;TYPE=work:Viagenie\r\n"
         "ADR;TYPE=work:;Suite D2-630;2875 Laurier;Quebec;QC;G1V 2M2;Canada\r\n"
         "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n"
         "TEL;VALUE=uri;TYPE=\"work,cell,voice,video,text\":tel:+1-418-262-6501\r\n"
         "EMAIL;TYPE=work:simon.perreault@viagenie.ca\r\n"
         "URL;TYPE=home:http://nomis80.org\r\nEND:VCARD\r\n",
         // The work number with its extension is longer than the field: in the notes.
         {{"VORNAME", "Simon"},
          {"NACHNAME", "Perreault"},
          {"FIRMA", "Viagenie"},
          {"EMAILFIRMA", "simon.perreault@viagenie.ca"},
          {"HANDY", "+1-418-262-6501"},
          {"GEBURTSTAG", "1904-02-03"},
          {"LISTE", "x"}},
         {{"VORNAME", "Viagenie"},
          {"NACHNAME", "Simon Perreault ing. jr,M.Sc."},
          {"EMAIL", "simon.perreault@viagenie.ca"},
          {"EMAILFIRMA", "http://nomis80.org"},
          {"HANDY", "+1-418-262-6501"},
          {"STRASSE", "2875 Laurier"},
          {"ORT", "Quebec"},
          {"PLZ", "G1V 2M2"}}},
        {"a desktop mail program (4.0, VALUE=TEXT, PREF=1 on the second address)",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Kurz;Lena;;;\r\nFN:Lena Kurz\r\n"
         "EMAIL;PREF=1:lena@kurz.example\r\nEMAIL:lena.privat@example.net\r\n"
         "TEL;TYPE=work;VALUE=TEXT:089 123456\r\nTEL;TYPE=home;VALUE=TEXT:089 654321\r\n"
         "TEL;TYPE=cell;VALUE=TEXT:0151 111\r\n"
         "ADR;TYPE=home:;;Isarweg 1;München;;80331;Deutschland\r\n"
         "UID:2c6b1a3e-aaaa-4b7c-9c3d-1234567890ab\r\nEND:VCARD\r\n",
         {{"VORNAME", "Lena"},
          {"NACHNAME", "Kurz"},
          {"EMAIL", "lena@kurz.example"},
          {"TEL", "089 654321"},
          {"TELFIRMA", "089 123456"},
          {"HANDY", "0151 111"},
          {"STRASSE", "Isarweg 1"},
          {"ORT", "München"},
          {"PLZ", "80331"}},
         {{"VORNAME", "Lena Kurz"},
          {"NACHNAME", "Lena Kurz"},
          {"EMAIL", "lena@kurz.example"},
          {"TEL", "089 123456"},
          {"HANDY", "0151 111"},
          {"STRASSE", "Isarweg 1"},
          {"ORT", "München"},
          {"PLZ", "80331"}}},
        {"a groupware mail program (3.0, comma type lists, its own X- fields)",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hahn;Otto;;;\r\nFN:Otto Hahn\r\nORG:Hahn AG;\r\n"
         "TEL;TYPE=WORK,VOICE:0711 1\r\nTEL;TYPE=HOME,VOICE:0711 2\r\n"
         "TEL;TYPE=WORK,FAX:0711 3\r\nEMAIL;TYPE=WORK:otto@hahn.example\r\n"
         "EMAIL;TYPE=HOME:otto@privat.example\r\nX-EVOLUTION-FILE-AS:Hahn\\, Otto\r\n"
         "END:VCARD\r\n",
         {{"VORNAME", "Otto"},
          {"NACHNAME", "Hahn"},
          {"FIRMA", "Hahn AG"},
          {"EMAIL", "otto@privat.example"},
          {"EMAILFIRMA", "otto@hahn.example"},
          {"TEL", "0711 2"},
          {"TELFIRMA", "0711 1"},
          {"FAXFIRMA", "0711 3"}},
         {{"VORNAME", "Hahn AG"},
          {"NACHNAME", "Otto Hahn"},
          {"EMAIL", "otto@hahn.example"},
          {"TEL", "0711 1"},
          {"FAX", "0711 3"}}},
        {"a phone's other address book (3.0, labelled items, the mobile marked iPhone)",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg;Clara;;;\r\nFN:Clara Berg\r\n"
         "item1.TEL;type=IPHONE;type=CELL;type=VOICE;type=pref:+49 172 1234567\r\n"
         "TEL;type=HOME;type=VOICE:+49 40 7654321\r\n"
         "item2.EMAIL;type=INTERNET:clara@berg.example\r\nitem2.X-ABLabel:_$!<Other>!$_\r\n"
         "BDAY;X-APPLE-OMIT-YEAR=1604:1604-09-12\r\nEND:VCARD\r\n",
         {{"VORNAME", "Clara"},
          {"NACHNAME", "Berg"},
          {"HANDY", "+49 172 1234567"},
          {"TEL", "+49 40 7654321"},
          {"EMAIL", "clara@berg.example"},
          {"GEBURTSTAG", "1904-09-12"},
          {"LISTE", "x"}},
         {{"VORNAME", "Clara Berg"},
          {"NACHNAME", "Clara Berg"},
          {"HANDY", "+49 172 1234567"},
          {"TEL", "+49 40 7654321"},
          {"EMAIL", "clara@berg.example"}}},
    };
    return corpus;
}

TEST(VCardCorpus, EachValueLandsInTheFieldItsTypeNamesInBothBooks) {
    for (const CorpusCard& entry : Corpus()) {
        SCOPED_TRACE(entry.writer);
        const VCardReading reading = ReadVCards(entry.card);
        ASSERT_EQ(reading.cards.size(), 1);
        EXPECT_EQ(Filled(RecordOfCard(PrivateShape(), reading.cards[0])), entry.personal);
        EXPECT_EQ(Filled(RecordOfCard(BusinessShape(), reading.cards[0])), entry.business);
    }
}

TEST(VCardCorpus, WhatNoFieldTakesGoesToTheNotesAndAPhonesBirthdayIsRemembered) {
    const VCardReading reading = ReadVCards(Corpus()[2].card);
    const RecordFromCard personal = RecordOfCard(PrivateShape(), reading.cards[0]);
    const QString memo = personal.values["FREE10"].toString();
    // The work address, the assistant's phone: in the notes, none lost.
    EXPECT_TRUE(memo.contains("ADR (work): Hauptstr. 5 Berlin 10115 Deutschland"))
        << memo.toStdString();
    EXPECT_TRUE(memo.contains("TEL (x-assistant): 030 557")) << memo.toStdString();
    EXPECT_FALSE(personal.birthdayRemembered);

    // A phone's birthday shows in the days ahead; our own card says either way.
    EXPECT_TRUE(
        RecordOfCard(PrivateShape(), ReadVCards(Corpus()[0].card).cards[0]).birthdayRemembered);
    AddressValues record{{"VORNAME", "Ute"}, {"GEBURTSTAG", QDate(1970, 1, 2)}, {"LISTE", false}};
    const VCard ours = CardOfRecord(PrivateShape(), record, {}, VCardVersion::V40);
    const RecordFromCard back = RecordOfCard(PrivateShape(), ours);
    EXPECT_FALSE(back.values["LISTE"].toBool());
    EXPECT_FALSE(back.birthdayRemembered);
}

TEST(VCardCorpus, AStreetTooLongToJoinKeepsItsFirstLineAndGoesWholeToTheNotes) {
    const QByteArray card =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ost;Ida;;;\r\n"
        "ADR;TYPE=HOME:;;Am langen Weg 123\\nAufgang B\\, 3. Stock links;Ulm;;89073;\r\n"
        "END:VCARD\r\n";
    const RecordFromCard record = RecordOfCard(PrivateShape(), ReadVCards(card).cards[0]);
    EXPECT_EQ(record.values["STRASSE"], "Am langen Weg 123");
    EXPECT_TRUE(record.values["FREE10"].toString().contains(
        "ADR (home): Am langen Weg 123, Aufgang B, 3. Stock links"))
        << record.values["FREE10"].toString().toStdString();
}

TEST(VCardCorpus, NamesOutsideTheCodePageAreStoredWithTheNearestLettersAndKeptWhole) {
    const QByteArray card =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ćwiek;Łucja;;;\r\nFN:Łucja Ćwiek\r\n"
        "ADR;TYPE=HOME:;;ul. Żółwia 3;Łódź;;90-001;\r\nEND:VCARD\r\n";
    const RecordFromCard record = RecordOfCard(PrivateShape(), ReadVCards(card).cards[0]);
    EXPECT_EQ(record.values["VORNAME"], "Lucja");
    EXPECT_EQ(record.values["NACHNAME"], "Cwiek");
    EXPECT_EQ(record.values["STRASSE"], "ul. Zólwia 3");
    EXPECT_EQ(record.values["ORT"], "Lódz");  // found by "Lodz", as accents fold
    EXPECT_EQ(record.lettersReplaced, 4);
    EXPECT_EQ(record.memoValues, 0) << "told as replaced letters, not as values without a field";
    // The originals in the notes, spelled out where the table cannot hold them.
    const QString memo = record.values["FREE10"].toString();
    EXPECT_TRUE(memo.contains("ADR (home): <U+0141>ód<U+017A>")) << memo.toStdString();
}

TEST(VCardCorpus, AStrayByteOfAnotherCodePageSpoilsNotTheRestOfItsValue) {
    // A mail program's quoted-printable: UTF-8, with one byte of Windows-1252.
    const QByteArray card =
        "BEGIN:VCARD\r\nVERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=E9r=C3=B4me\r\n"
        "END:VCARD\r\n";
    const RecordFromCard record = RecordOfCard(PrivateShape(), ReadVCards(card).cards[0]);
    EXPECT_EQ(record.values["NACHNAME"], "Müller");
    EXPECT_EQ(record.values["VORNAME"], "Jérôme");
}

}  // namespace
