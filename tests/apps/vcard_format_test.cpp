// The vCard format and the address records' cards on their own: what the
// writer puts in a file, and what the reader takes from cards as phones,
// mail programs and web address books write them.
#include "apps/addresses/vcard_format.h"
#include "apps/addresses/vcard_contacts.h"
#include "tests/apps/vcard_shapes.h"

#include <gtest/gtest.h>

namespace {

QStringList MemoLines(const RecordFromCard& record) {
    return record.values.value("FREE10").toString().split("\r\n");
}

QList<QByteArray> Lines(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    EXPECT_TRUE(lines.takeLast().isEmpty()) << "the file ends with a line end";
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

AddressValues FilledPrivateRecord() {
    return {{"VORNAME", "Jürgen; \"Jo\""},
            {"NACHNAME", "Weiß, Söhne \\ Co"},
            {"STRASSE", "Ölweg 5"},
            {"PLZ", "12345"},
            {"ORT", "Köln"},
            {"TEL", "+49 221 1"},
            {"HANDY", "0170 2"},
            {"FAX", "0221 3"},
            {"EMAIL", "j@example.org"},
            {"FIRMA", "Müller & Co; KG"},
            {"TELFIRMA", "0221 4"},
            {"FAXFIRMA", "0221 5"},
            {"EMAILFIRMA", "jw@example.com"},
            {"GEBURTSTAG", QDate(1904, 2, 29)},
            {"LISTE", true},
            {"FREE01", "Jo: €uro"},
            {"FREE02", "Anna"},
            {"FREE03", "Ben, Carl"},
            {"FREE04", "Segeln"},
            {"FREE05", "https://example.org/a;b"},
            {"FREE06", true},
            {"FREE07", false},
            {"FREE08", true},
            {"FREE09", QDate(2001, 6, 30)},
            {"FREE10", "Zeile eins;\r\nZeile, zwei \\ Ende\r\n„ß“ – ok"}};
}

TEST(VCardWriting, LinesAreFoldedAt75OctetsAndValuesAndParametersEscaped) {
    VCardProperty note{.name = "NOTE", .components = {"a;b,c\\d\r\ne " + QString(40, u'ö')}};
    VCardProperty extra{.name = "X-KESP-FIELD",
                        .parameters = {{"X-NAME", {"Name: \"x\"; ^y"}}},
                        .components = {"v"}};
    const QList<QByteArray> lines = Lines(WriteVCards({{note, extra}}, VCardVersion::V40));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], "BEGIN:VCARD");
    EXPECT_EQ(lines[1], "VERSION:4.0");
    QByteArray unfolded;
    for (const QByteArray& line : lines) {
        EXPECT_LE(line.size(), 75) << line.toStdString();
        if (line.startsWith(' ')) {
            EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << "a split character";
            unfolded += line.mid(1);
        } else {
            unfolded += '\n' + line;
        }
    }
    EXPECT_TRUE(
        unfolded.contains(QString("\nNOTE:a\\;b\\,c\\\\d\\ne " + QString(40, u'ö')).toUtf8()));
    EXPECT_TRUE(unfolded.contains("\nX-KESP-FIELD;X-NAME=\"Name: ^'x^'; ^^y\":v"));
    const VCardReading back = ReadVCards(WriteVCards({{note, extra}}, VCardVersion::V30));
    ASSERT_EQ(back.cards.size(), 1);
    EXPECT_EQ(back.cards[0][0].text(), "a;b,c\\d\ne " + QString(40, u'ö'));
    EXPECT_EQ(back.cards[0][1].parameter("x-name"), QStringList{"Name: \"x\"; ^y"});
}

TEST(VCardContacts, EveryFieldOfBothBooksComesBackInBothVersions) {
    const AddressValues privateRecord = FilledPrivateRecord();
    AddressValues businessRecord = privateRecord;
    for (const char* field : {"FIRMA", "GEBURTSTAG", "LISTE"})
        businessRecord.remove(field);
    for (const VCardVersion version : {VCardVersion::V40, VCardVersion::V30}) {
        for (const auto& [shape, record] : {std::pair{PrivateShape(), privateRecord},
                                            std::pair{BusinessShape(), businessRecord}}) {
            const QByteArray file =
                WriteVCards({CardOfRecord(shape, record, "urn:uuid:1", version)}, version);
            const VCardReading reading = ReadVCards(file);
            ASSERT_TRUE(reading.problem == VCardProblem::None);
            ASSERT_EQ(reading.cards.size(), 1);
            const RecordFromCard back = RecordOfCard(shape, reading.cards[0]);
            EXPECT_EQ(back.uid, "urn:uuid:1");
            EXPECT_EQ(back.memoValues, 0) << back.values["FREE10"].toString().toStdString();
            for (const QString& field : AddressFieldsOf(shape.kind))
                EXPECT_EQ(back.values.value(field), record.value(field))
                    << field.toStdString() << " " << file.toStdString();
        }
    }
    // The birthday of 1904 with LISTE set goes out without a year; with
    // LISTE off it is a date of 1904 like any other.
    const QByteArray withoutYear = WriteVCards(
        {CardOfRecord(PrivateShape(), privateRecord, {}, VCardVersion::V40)}, VCardVersion::V40);
    EXPECT_TRUE(withoutYear.contains("\r\nBDAY:--0229\r\n"));
    AddressValues notListed = privateRecord;
    notListed["LISTE"] = false;
    EXPECT_TRUE(WriteVCards({CardOfRecord(PrivateShape(), notListed, {}, VCardVersion::V30)},
                            VCardVersion::V30)
                    .contains("\r\nBDAY:1904-02-29\r\n"));
}

TEST(VCardContacts, APhonesQuotedPrintableWindows1252CardOfVersion21) {
    const QByteArray file =
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;\r\n"
        "FN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:J=FCrgen M=FCller\r\n"
        "TEL;HOME;VOICE:+49 30 1234\r\n"
        "TEL;CELL:0170 5555\r\n"
        "TEL;CELL:0171 6666\r\n"
        "TEL;PAGER:0190 1\r\n"
        "ADR;HOME;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:;;Stra=DFe "
        "1;M=FCnchen;Bayern;8=\r\n"
        "0331;Deutschland\r\n"
        "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=WINDOWS-1252:Erste Zeile=0D=0A=80 zweite =\r\n"
        "Zeile\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n"
        " /9j/4AAQSkZJRgABAQ\r\n"
        "\r\n"
        "TITLE:Chef\r\n"
        "END:VCARD\r\n";
    const VCardReading reading = ReadVCards(file);
    ASSERT_TRUE(reading.problem == VCardProblem::None);
    const RecordFromCard record = RecordOfCard(PrivateShape(), reading.cards.value(0));
    EXPECT_EQ(record.values["VORNAME"], "Jürgen");
    EXPECT_EQ(record.values["NACHNAME"], "Müller");
    EXPECT_EQ(record.values["TEL"], "+49 30 1234");
    EXPECT_EQ(record.values["HANDY"], "0170 5555");
    EXPECT_EQ(record.values["STRASSE"], "Straße 1");
    EXPECT_EQ(record.values["ORT"], "München");
    EXPECT_EQ(record.values["PLZ"], "80331");
    EXPECT_EQ(MemoLines(record), (QStringList{"Erste Zeile", "€ zweite Zeile",
                                              "TEL (cell): 0171 6666", "TEL (pager): 0190 1",
                                              "ADR (home): Straße 1 München Bayern 80331 "
                                              "Deutschland",
                                              "TITLE: Chef"}));
    EXPECT_EQ(record.memoValues, 4);
    EXPECT_EQ(record.media, 1);
}

TEST(VCardContacts, AMailProgramsGroupedCardOfVersion30) {
    const QByteArray file =
        "BEGIN:VCARD\n"
        "VERSION:3.0\n"
        "PRODID:-//Apple Inc.//Mac OS X 10.15//EN\n"
        "N:Lima;Ana;;;\n"
        "FN:Ana Lima\n"
        "ORG:Exemplo Ltda;Vendas\n"
        "item1.EMAIL;type=INTERNET;type=pref:ana@exemplo.com.br\n"
        "item1.X-ABLabel:_$!<Other>!$_\n"
        "item2.TEL;type=WORK:+55 11 3333-4444\n"
        "EMAIL;type=INTERNET;type=WORK:ana.lima@trabalho.com.br\n"
        "BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-15\n"
        "NOTE:Sobrenome com acento: Conceição\\, ok\n"
        "UID:ABCD-1234\n"
        "END:VCARD\n";
    const VCardReading reading = ReadVCards(file);
    ASSERT_TRUE(reading.problem == VCardProblem::None);
    ASSERT_EQ(reading.cards.size(), 1);
    EXPECT_EQ(reading.cards[0][4].group, "item1");
    const RecordFromCard record = RecordOfCard(PrivateShape(), reading.cards[0]);
    EXPECT_EQ(record.values["VORNAME"], "Ana");
    EXPECT_EQ(record.values["NACHNAME"], "Lima");
    EXPECT_EQ(record.values["FIRMA"], "Exemplo Ltda");
    EXPECT_EQ(record.values["EMAIL"], "ana@exemplo.com.br");
    EXPECT_EQ(record.values["EMAILFIRMA"], "ana.lima@trabalho.com.br");
    EXPECT_EQ(record.values["TELFIRMA"], "+55 11 3333-4444");
    EXPECT_EQ(record.values["GEBURTSTAG"], QDate(1904, 4, 15));
    EXPECT_EQ(record.values["LISTE"], true);
    EXPECT_EQ(record.uid, "ABCD-1234");
    EXPECT_EQ(MemoLines(record),
              (QStringList{"Sobrenome com acento: Conceição, ok", "ORG: Exemplo Ltda, Vendas",
                           "X-ABLABEL: _$!<Other>!$_"}));
}

TEST(VCardContacts, AWebAddressBooksCardOfVersion40WithoutYearAndTooMuchForTheFields) {
    const QByteArray file =
        "BEGIN:VCARD\r\nVERSION:4.0\r\n"
        "FN:Zoë Ørsted 😀\r\n"
        "N:Ørsted;Zoë 😀;;Dr.;\r\n"
        "BDAY:--0415\r\n"
        "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+45-1111\r\n"
        "TEL;TYPE=cell:+45-2222\r\n"
        "TEL;TYPE=work:+45-3333\r\n"
        "TEL;TYPE=home:+45-4444\r\n"
        "TEL;TYPE=fax:+45 12345678901234567890\r\n"
        "NICKNAME:Zo\r\n"
        "X-KESP-FIELD;X-NAME=Freund:TRUE\r\n"
        "X-KESP-FIELD;X-NAME=Hobbys:" +
        QByteArray(60, 'x') +
        "\r\n"
        "KEY;MEDIATYPE=application/pgp-keys:https://example.org/key.asc\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nPRODID:x\r\nEND:VCARD\r\n";
    const VCardReading reading = ReadVCards(file);
    ASSERT_TRUE(reading.problem == VCardProblem::None);
    ASSERT_EQ(reading.cards.size(), 2);
    const RecordFromCard record = RecordOfCard(PrivateShape(), reading.cards[0]);
    EXPECT_EQ(record.values["VORNAME"], "Zoë");
    EXPECT_EQ(record.values["NACHNAME"], "Ørsted");
    EXPECT_EQ(record.values["GEBURTSTAG"], QDate(1904, 4, 15));
    EXPECT_EQ(record.values["LISTE"], true);
    EXPECT_EQ(record.values["TEL"], "+45-1111");
    EXPECT_EQ(record.values["HANDY"], "+45-2222");
    EXPECT_EQ(record.values["TELFIRMA"], "+45-3333");
    EXPECT_EQ(record.values["FAX"], "");
    EXPECT_EQ(record.values["FREE08"], true);
    EXPECT_EQ(record.values["FREE04"], "");
    EXPECT_EQ(
        MemoLines(record),
        (QStringList{"N: Zoë <U+1F600>", "N: Dr. Zoë <U+1F600> Ørsted", "TEL (home): +45-4444",
                     "TEL (fax): +45 12345678901234567890", "NICKNAME: Zo",
                     "Hobbys: " + QString(60, 'x'), "FN: Zoë Ørsted <U+1F600>"}));
    EXPECT_EQ(record.media, 1);
    EXPECT_TRUE(RecordOfCard(PrivateShape(), reading.cards[1]).empty);
}

TEST(VCardReading, DamagedCardsArePassedOverAndOnlyAFileWithNothingReadableIsRefused) {
    const QByteArray a = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n";
    const QByteArray c = "BEGIN:VCARD\r\nFN:C\r\nEND:VCARD\r\n";
    const struct {
        QByteArray bytes;
        QStringList read;  // the FN of each card read
        QList<std::pair<int, VCardProblem>> skipped;
    } files[] = {
        // The last card not ended; one not ended before another begins.
        {a + "BEGIN:VCARD\r\nFN:B\r\n", {"A"}, {{5, VCardProblem::CardNotEnded}}},
        {a + "BEGIN:VCARD\r\nFN:B\r\n" + c, {"A", "C"}, {{5, VCardProblem::CardNotEnded}}},
        // A line without a colon spoils its own card alone, named by its line.
        {a + "BEGIN:VCARD\r\nFN:B\r\nthis is no property\r\nEND:VCARD\r\n" + c,
         {"A", "C"},
         {{7, VCardProblem::NoProperty}}},
        {"hello\r\n" + a + "END:VCARD\r\n",
         {"A"},
         {{1, VCardProblem::NoProperty}, {6, VCardProblem::EndWithoutBegin}}},
        // 2.1's AGENT brings a card of its own inside the card: passed over, not damage.
        {"BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Agent\r\n"
         "END:VCARD\r\nEND:VCARD\r\n" +
             c,
         {"A", "C"},
         {}},
    };
    for (const auto& file : files) {
        const VCardReading reading = ReadVCards(file.bytes);
        EXPECT_TRUE(reading.problem == VCardProblem::None) << file.bytes.toStdString();
        QStringList read;
        for (const VCard& card : reading.cards)
            for (const VCardProperty& property : card)
                if (property.name == "FN") read.append(property.text());
        EXPECT_EQ(read, file.read) << file.bytes.toStdString();
        QList<std::pair<int, VCardProblem>> skipped;
        for (const VCardDamage& damage : reading.skipped)
            skipped.append({damage.line, damage.why});
        EXPECT_EQ(skipped, file.skipped) << file.bytes.toStdString();
    }

    const struct {
        QByteArray bytes;
        VCardProblem problem;
        int line;
    } refused[] = {
        {"BEGIN:VCARD\r\nFN:A\r\nthis is no property\r\nEND:VCARD\r\n", VCardProblem::NoProperty,
         3},
        {"BEGIN:VCARD\r\nFN:B\r\n", VCardProblem::CardNotEnded, 1},
        {"FN:A\r\n", VCardProblem::OutsideACard, 1},
        {"", VCardProblem::NoCard, 0},
        {QByteArray("BEGIN:VCARD\r\nFN:A\0B\r\nEND:VCARD\r\n", 30), VCardProblem::Binary, 0},
    };
    for (const auto& file : refused) {
        const VCardReading reading = ReadVCards(file.bytes);
        EXPECT_EQ(reading.problem, file.problem) << file.bytes.toStdString();
        EXPECT_EQ(reading.problemLine, file.line) << file.bytes.toStdString();
        EXPECT_TRUE(reading.cards.isEmpty());
    }
}

}  // namespace
