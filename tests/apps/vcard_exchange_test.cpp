// The vCard files of the address books over their tables: a filled book
// exported and imported into an empty one, equal field by field in both
// versions; our file as python3-vobject reads it; UIDs that stay with their
// records; a card of the other book or without a UID finding its own
// record; files that are refused without a record written.
#include "apps/common/import_file.h"
#include "tests/apps/vcard_exchange_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

TEST_F(VCardExchange, AFilledBookComesBackFieldByFieldInBothVersions) {
    for (const VCardBook* book : {&PrivateVCardBook(), &BusinessVCardBook()}) {
        for (const VCardVersion version : {VCardVersion::V40, VCardVersion::V30}) {
            SCOPED_TRACE(book->table.toStdString() +
                         (version == VCardVersion::V30 ? " 3.0" : " 4.0"));
            InstallTable(book->table);
            const QList<AddressValues> records = FilledRecords(book->kind);
            Fill(*book, records);
            const QString path = Export(*book, version, "all.vcf");
            InstallTable(book->table);  // empty again; the UIDs stay beside it
            QFile::remove(dataPath() + book->uidTable);
            const VCardImport import = Import(*book, path);
            EXPECT_TRUE(import.read) << import.problem.toStdString();
            EXPECT_EQ(import.added, 3);
            EXPECT_EQ(import.memoValues, 0);
            const QList<AddressValues> back = Stored(*book);
            ASSERT_EQ(back.size(), records.size());
            for (int i = 0; i < records.size(); ++i)
                for (const QString& field : AddressFieldsOf(book->kind))
                    EXPECT_EQ(back[i].value(field), records[i].value(field)) << field.toStdString();
        }
    }
}

// What python3-vobject takes from our file, as JSON: per card FN, N, the
// first of the TEL, EMAIL and ADR values, ORG, BDAY, NOTE and the extra fields.
QJsonArray ReadWithVobject(const QString& path) {
    const char* script = R"(
import sys, json, vobject
cards = []
with open(sys.argv[1], encoding='utf-8', newline='') as f:
    for card in vobject.readComponents(f.read()):
        c = card.contents
        def first(name):
            return c[name][0].value if name in c else None
        out = {'fn': first('fn'), 'note': first('note'), 'uid': first('uid'),
               'bday': first('bday'),
               'org': [str(v) for v in first('org')] if 'org' in c else None,
               'tel': [[','.join(t.params.get('TYPE', [])).lower(), t.value] for t in c.get('tel', [])],
               'email': [e.value for e in c.get('email', [])],
               'extras': {x.params['X-NAME'][0]: x.value for x in c.get('x-kesp-field', [])}}
        n = first('n')
        out['n'] = [n.family, n.given] if n is not None and not isinstance(n, str) else n
        a = first('adr')
        out['adr'] = [a.street, a.city, a.code] if a is not None and not isinstance(a, str) else a
        cards.append(out)
print(json.dumps(cards))
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << python.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

TEST_F(VCardExchange, Python3VobjectReadsEveryValueOfOurFile) {
    const QList<AddressValues> records = FilledRecords(AddressBookKind::Private);
    Fill(PrivateVCardBook(), records);
    for (const VCardVersion version : {VCardVersion::V40, VCardVersion::V30}) {
        const bool v4 = version == VCardVersion::V40;
        const QString path = Export(PrivateVCardBook(), version, "Kontakte.vcf");
        const QJsonArray cards = ReadWithVobject(path);
        ASSERT_EQ(cards.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const AddressValues& r = records[i];
            const QJsonObject card = cards[i].toObject();
            SCOPED_TRACE(QJsonDocument(card).toJson().toStdString());
            EXPECT_EQ(card["fn"].toString(),
                      r["VORNAME"].toString() + " " + r["NACHNAME"].toString());
            EXPECT_EQ(card["n"].toArray(),
                      (QJsonArray{r["NACHNAME"].toString(), r["VORNAME"].toString()}));
            EXPECT_EQ(card["adr"].toArray(), (QJsonArray{"Ölweg 5", "Köln", "12345"}));
            EXPECT_EQ(card["org"].toArray(), QJsonArray{"Müller & Co; KG"});
            EXPECT_EQ(
                card["tel"].toArray(),
                (QJsonArray{QJsonArray{"home,voice", r["TEL"].toString()},
                            QJsonArray{"cell", "0170 2"}, QJsonArray{"home,fax", "0221 3"},
                            QJsonArray{"work,voice", "0221 4"}, QJsonArray{"work,fax", "0221 5"}}));
            EXPECT_EQ(card["email"].toArray(),
                      (QJsonArray{r["EMAIL"].toString(), "jw@example.com"}));
            EXPECT_EQ(card["note"].toString(), r["FREE10"].toString().replace("\r\n", "\n"));
            EXPECT_EQ(card["bday"].toString(),
                      i == 0 ? (v4 ? "--0229" : "--02-29")
                             : r["GEBURTSTAG"].toDate().toString(v4 ? "yyyyMMdd" : "yyyy-MM-dd"));
            const QJsonObject extras = card["extras"].toObject();
            EXPECT_EQ(extras["Spitzname"].toString(), "Jo: €uro ‰");
            EXPECT_EQ(extras["Hobbys"].toString(), "Segeln; Lesen");
            EXPECT_EQ(extras["Homepage"].toString(), "https://example.org/a;b");
            EXPECT_EQ(extras["Weihnachtskarte"].toString(), i != 1 ? "TRUE" : "");
            EXPECT_EQ(extras["Newsletter"].toString(), i == 1 ? "TRUE" : "");
            EXPECT_EQ(extras["Jahrestag"].toString(),
                      i == 2 ? "" : r["FREE09"].toDate().toString(Qt::ISODate));
            EXPECT_TRUE(card["uid"].toString().startsWith("urn:uuid:"));
        }
    }
}

TEST_F(VCardExchange, UidsStayWithTheirRecordsAndAReimportUpdatesThem) {
    Fill(PrivateVCardBook(), FilledRecords(AddressBookKind::Private));
    const auto uids = [this] {
        QStringList found;
        for (const QByteArray& line : ExportedFile("k.vcf").split('\n'))
            if (line.startsWith("UID:")) found.append(QString::fromUtf8(line.trimmed()));
        return found;
    };
    Export(PrivateVCardBook(), VCardVersion::V40, "k.vcf");
    const QStringList first = uids();
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), 3);
    // The first record deleted and packed away: the others keep their UIDs.
    OpenBook(PrivateVCardBook());
    DBGOTO(1);
    DBDELETE();
    __DBPACK();
    const QString path = Export(PrivateVCardBook(), VCardVersion::V40, "k.vcf");
    EXPECT_EQ(uids(), first.mid(1));
    // A changed phone number keeps the UID; the same cards again update their records.
    OpenBook(PrivateVCardBook());
    DBGOTO(1);
    REPLACE(kAlias + "->TEL", "0");
    DBCOMMIT();
    const VCardImport again = Import(PrivateVCardBook(), path);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.updated, 1);
    EXPECT_EQ(again.unchanged, 1);
    const QList<AddressValues> stored = Stored(PrivateVCardBook());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0]["TEL"], "+49 221 1");
    Export(PrivateVCardBook(), VCardVersion::V40, "k.vcf");
    EXPECT_EQ(uids(), first.mid(1));
}

TEST_F(VCardExchange, RecordsOfOneNameKeepTheirOwnUidsThroughPacks) {
    const QByteArray father = Card("father", "Smith", "John", "111");
    const QByteArray son = Card("son", "Smith", "John", "222", "the son");
    const auto deleteAndPack = [this](const QString& family, const QString& tel) {
        OpenBook(PrivateVCardBook());
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            if (FIELD(kAlias + "->NACHNAME").toString().trimmed() == family &&
                FIELD(kAlias + "->TEL").toString().trimmed() == tel)
                DBDELETE();
        }
        __DBPACK();
        DBCLOSEALL();
    };
    const auto tels = [this] {
        QStringList found;
        for (const AddressValues& r : Stored(PrivateVCardBook()))
            found.append(r["TEL"].toString() + " " + r["FREE10"].toString());
        return found;
    };

    const QByteArray carl = Card("c", "Carlsen", "Carl");
    EXPECT_EQ(Import(PrivateVCardBook(), Written("all.vcf", carl + father + son)).added, 3);
    // Carl packed away: the father and the son each move up a place.
    deleteAndPack("Carlsen", "");
    VCardImport again = Import(PrivateVCardBook(),
                               Written("son.vcf", Card("son", "Smith", "John", "333", "the son")));
    EXPECT_EQ(again.updated, 1);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(tels(), QStringList({"111 ", "333 the son"}));

    // The father packed away: his UID goes with him, the son keeps his.
    deleteAndPack("Smith", "111");
    again = Import(PrivateVCardBook(), Written("son.vcf", son));
    EXPECT_EQ(again.updated, 1);
    EXPECT_EQ(tels(), QStringList({"222 the son"}));
    again = Import(PrivateVCardBook(), Written("father.vcf", father));
    EXPECT_EQ(again.added, 1);
    EXPECT_EQ(again.updated, 0);
    EXPECT_EQ(tels(), QStringList({"222 the son", "111 "}));
}

TEST_F(VCardExchange, AHugeNoteIsCutAtItsLimitAndTheSummarySaysWhose) {
    const AddressBookShape shape{.kind = AddressBookKind::Private,
                                 .widths = {{"VORNAME", 30}, {"NACHNAME", 30}}};
    const auto memoOf = [&shape](const QString& note) {
        VCard card{{.name = "N", .components = {"Smith", "John", "", "", ""}},
                   {.name = "NOTE", .components = {note}}};
        return RecordOfCard(shape, card);
    };
    const RecordFromCard fits = memoOf(QString(kImportedMemoMax, u'a'));
    EXPECT_EQ(fits.values["FREE10"].toString().size(), kImportedMemoMax);
    EXPECT_EQ(fits.memoWhole, 0);
    // A line break across the limit is not cut in two.
    const RecordFromCard cut = memoOf(QString(kImportedMemoMax - 1, u'a') + "\nb");
    EXPECT_EQ(cut.values["FREE10"].toString(), QString(kImportedMemoMax - 1, u'a'));
    EXPECT_EQ(cut.memoWhole, kImportedMemoMax + 2);

    // Three megabytes of note in a file: one megabyte stored, and the summary tells.
    const QString note = QString(3 * kImportedMemoMax - 5, u'n');
    const QString path = Written("huge-note.vcf", Card("j", "Smith", "John", "1", note) +
                                                      Card("a", "Weiß", "Anna", "2", "short"));
    const VCardImport import = Import(PrivateVCardBook(), path);
    EXPECT_EQ(import.added, 2);
    EXPECT_EQ(import.memosCut, QStringList{"John Smith (3 MB)"});
    const QList<AddressValues> stored = Stored(PrivateVCardBook());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0]["FREE10"].toString(), note.left(kImportedMemoMax));
    EXPECT_EQ(stored[1]["FREE10"], "short");
    EXPECT_EQ(VCardImportSummary(import),
              "2 Karten neu aufgenommen, 0 vorhandene aktualisiert, 0 übersprungen.\r"
              "Notizen über 1 MB wurden dort abgeschnitten, der Rest nicht übernommen: John "
              "Smith (3 MB)");
    UseLanguage("BR");
    EXPECT_TRUE(VCardImportSummary(import).endsWith(
        "\rNotas acima de 1 MB foram cortadas ali, o resto não foi importado: John Smith (3 MB)"));
}

TEST_F(VCardExchange, DamagedCardsAreSkippedByTheirLinesAndTheRestImportedInOneStep) {
    const QString path = Written(
        "partly.vcf", Card("a", "Alt", "Anna") + "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Bauer;Ben\r\n" +
                          Card("c", "Cordes", "Carla") +
                          "BEGIN:VCARD\r\nN:Dahl;Dora\r\nno colon here\r\nEND:VCARD\r\n");
    const VCardImport import = Import(PrivateVCardBook(), path);
    ASSERT_TRUE(import.read);
    EXPECT_EQ(import.added, 2);
    EXPECT_EQ(import.skipped, 2);
    QStringList names;
    for (const AddressValues& record : Stored(PrivateVCardBook()))
        names.append(record["NACHNAME"].toString());
    EXPECT_EQ(names, QStringList({"Alt", "Cordes"}));
    EXPECT_EQ(VCardImportSummary(import),
              "2 Karten neu aufgenommen, 0 vorhandene aktualisiert, 2 übersprungen.\r"
              "Beschädigt und übersprungen: Zeile 6 (Karte ohne END:VCARD), Zeile 16 (Zeile ohne "
              "vCard-Eigenschaft)");
    UseLanguage("AM");
    EXPECT_TRUE(VCardImportSummary(Import(PrivateVCardBook(), path))
                    .endsWith("\rDamaged and skipped: line 6 (card without END:VCARD), line 16 (a "
                              "line that is no vCard property)"));
    UseLanguage("BR");
    EXPECT_TRUE(VCardImportSummary(Import(PrivateVCardBook(), path))
                    .endsWith("\rDanificados e ignorados: linha 6 (cartão sem END:VCARD), linha 16 "
                              "(linha que não é propriedade vCard)"));
}

TEST_F(VCardExchange, DamagedBinaryOrHugeFilesAreRefusedWithNothingStored) {
    Fill(PrivateVCardBook(), FilledRecords(AddressBookKind::Private).mid(0, 1));
    QFile huge(exportPath() + "huge.vcf");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kImportMaxBytes + 1));
    huge.close();
    const QString cut = Written("cut.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:B\r\n");
    const struct {
        QString path;
        QString why;
    } files[] = {
        {cut, "Sie enthält keine lesbaren vCards. (Zeile 1)"},
        {Written("photo.jpg", QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)),
         "Sie ist keine Textdatei."},
        {huge.fileName(), "Sie ist größer als 50 MB."},
        {exportPath() + "missing.vcf", "Die Datei kann nicht gelesen werden."},
    };
    for (const auto& file : files) {
        const VCardImport import = Import(PrivateVCardBook(), file.path);
        EXPECT_FALSE(import.read);
        EXPECT_EQ(VCardImportSummary(import),
                  "Die Datei wurde nicht eingelesen, nichts wurde gespeichert:\r" + file.path +
                      "\r" + file.why);
        EXPECT_EQ(Stored(PrivateVCardBook()).size(), 1);
    }
    UseLanguage("AM");
    VCardImport counted{
        .read = true, .added = 2, .updated = 1, .skipped = 1, .memoValues = 4, .media = 1};
    EXPECT_EQ(VCardImportSummary(counted),
              "2 cards added, 1 existing one updated, 1 skipped.\r"
              "4 values without a fitting field were put in the notes.\r"
              "1 photo, key or sound was not taken over.");
    UseLanguage("BR");
    counted.added = 1;
    counted.skipped = 2;
    counted.birthdaysRemembered = 1;
    EXPECT_EQ(VCardImportSummary(counted),
              "1 cartão incluído, 1 existente atualizado, 2 ignorados.\r"
              "4 valores sem campo adequado foram colocados nas notas.\r"
              "1 foto, chave ou som não foi importado.\r"
              "1 aniversário será mostrado em “Próximos dias”.");
}

TEST_F(VCardExchange, ACardOfTheOtherBookOrWithoutAUidUpdatesOnlyItsOwnPerson) {
    // John Doe in both books from one file: the same UID in each.
    const QByteArray john = Card("urn:uuid:john", "Doe", "John", "0221 1234567");
    EXPECT_EQ(Import(PrivateVCardBook(), Written("john.vcf", john)).added, 1);
    EXPECT_EQ(Import(BusinessVCardBook(), Written("john.vcf", john)).added, 1);
    // The business book's export, with that UID, into the private book: the
    // private John Doe is not the business record.
    const QString business = Export(BusinessVCardBook(), VCardVersion::V40, "b.vcf");
    EXPECT_TRUE(ExportedFile("b.vcf").contains("X-KESP-BOOK:business"));
    const VCardImport crossed = Import(PrivateVCardBook(), business);
    EXPECT_EQ(crossed.updated, 0);
    const QList<AddressValues> stored = Stored(PrivateVCardBook());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0]["VORNAME"], "John");
    EXPECT_EQ(stored[0]["TEL"], "0221 1234567");

    // Cards without a UID: the same name and a number in common is the same
    // person, a namesake with other numbers is not.
    const QByteArray phone =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nTEL;CELL:+49 221 1234567\r\n"
        "EMAIL:john@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nTEL;HOME:030 9876543\r\nEND:VCARD\r\n";
    const VCardImport fromPhone = Import(PrivateVCardBook(), Written("phone.vcf", phone));
    EXPECT_EQ(fromPhone.updated, 1);
    EXPECT_EQ(fromPhone.added, 1);
    const VCardImport again = Import(PrivateVCardBook(), Written("phone.vcf", phone));
    EXPECT_EQ(again.added, 0) << "a second import of a phone's file adds nobody twice";
    EXPECT_EQ(again.unchanged, 2);
    EXPECT_EQ(Stored(PrivateVCardBook()).size(), 3);
    EXPECT_EQ(Stored(PrivateVCardBook())[0]["EMAIL"], "john@example.org");
}

}  // namespace
