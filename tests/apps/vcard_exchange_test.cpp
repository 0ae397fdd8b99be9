// The vCard files of the address books over their tables: a filled book
// exported and imported into an empty one, equal field by field in both
// versions; our file as python3-vobject reads it; UIDs that stay with their
// records; files that are refused without a record written.
#include "apps/addresses/vcard_exchange.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/other_reader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>

namespace {

const QString kAlias = "adressen";

// Records with every field given, the extra fields of all ten kinds, memos
// with line breaks, separators and characters of Windows-1252.
QList<AddressValues> FilledRecords(AddressBookKind kind) {
    QList<AddressValues> records;
    for (int i = 0; i < 3; ++i) {
        AddressValues r{
            {"VORNAME", QString("Jürgen%1; \"Jo\"").arg(i)},
            {"NACHNAME", "Weiß, Söhne \\ Co"},
            {"STRASSE", "Ölweg 5"},
            {"PLZ", "12345"},
            {"ORT", "Köln"},
            {"TEL", QString("+49 221 %1").arg(i)},
            {"HANDY", "0170 2"},
            {"FAX", "0221 3"},
            {"EMAIL", QString("j%1@example.org").arg(i)},
            {"TELFIRMA", "0221 4"},
            {"FAXFIRMA", "0221 5"},
            {"EMAILFIRMA", "jw@example.com"},
            {"FREE01", "Jo: €uro ‰"},
            {"FREE02", "Anna"},
            {"FREE03", "Ben, Carl"},
            {"FREE04", "Segeln; Lesen"},
            {"FREE05", "https://example.org/a;b"},
            {"FREE06", i != 1},
            {"FREE07", i == 1},
            {"FREE08", true},
            {"FREE09", i == 2 ? QDate() : QDate(2001, 6, 30 - i)},
            {"FREE10", "Zeile eins;\r\nZeile, zwei \\ Ende\r\n„ß“ – ok " + QString::number(i)}};
        if (kind == AddressBookKind::Private) {
            r["FIRMA"] = "Müller & Co; KG";
            r["GEBURTSTAG"] = i == 0 ? QDate(1904, 2, 29) : QDate(1970 + i, 12, 31);
            r["LISTE"] = i != 2;
        }
        records.append(r);
    }
    return records;
}

class VCardExchange : public AddressFixture {
  protected:
    void OpenBook(const VCardBook& book) {
        DBCLOSEALL();
        DBSELECTAREA("a");
        DBUSEAREA(false, dataPath() + book.table, kAlias);
    }

    void Fill(const VCardBook& book, const QList<AddressValues>& records) {
        OpenBook(book);
        for (const AddressValues& record : records) {
            DBAPPEND();
            for (auto it = record.cbegin(); it != record.cend(); ++it)
                REPLACE(kAlias + "->" + it.key(), it.value());
        }
        DBCOMMIT();
    }

    // Every record not marked deleted, values as the table gives them back.
    QList<AddressValues> Stored(const VCardBook& book) {
        OpenBook(book);
        QList<AddressValues> records;
        DBGOTOP();
        while (!DBEOF()) {
            AddressValues r;
            for (const QString& field : AddressFieldsOf(book.kind)) {
                const QVariant v = FIELD(kAlias + "->" + field);
                r[field] = v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
            }
            records.append(r);
            DBSKIP(1);
        }
        return records;
    }

    QString Export(const VCardBook& book, VCardVersion version, const QString& name) {
        OpenBook(book);
        const QByteArray bytes = VCardFileOfView(book, kAlias, version);
        QFile file(exportPath() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    VCardImport Import(const VCardBook& book, const QString& path) {
        OpenBook(book);
        const VCardImport import = ImportVCardFile(book, kAlias, path);
        DBCLOSEALL();
        return import;
    }

    QString Written(const QString& name, const QByteArray& bytes) {
        QFile file(exportPath() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
};

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
    EXPECT_EQ(again.merged, 2);
    const QList<AddressValues> stored = Stored(PrivateVCardBook());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0]["TEL"], "+49 221 1");
    Export(PrivateVCardBook(), VCardVersion::V40, "k.vcf");
    EXPECT_EQ(uids(), first.mid(1));
}

// A card of the name, with a telephone number and a note when given.
QByteArray Card(const QString& uid, const QString& family, const QString& given,
                const QString& tel = {}, const QString& note = {}) {
    QString card = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:" + family + ";" + given + ";;;\r\n";
    if (!tel.isEmpty()) card += "TEL;TYPE=home:" + tel + "\r\n";
    if (!note.isEmpty()) card += "NOTE:" + note + "\r\n";
    return (card + "UID:" + uid + "\r\nEND:VCARD\r\n").toUtf8();
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
    EXPECT_EQ(again.merged, 1);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(tels(), QStringList({"111 ", "333 the son"}));

    // The father packed away: his UID goes with him, the son keeps his.
    deleteAndPack("Smith", "111");
    again = Import(PrivateVCardBook(), Written("son.vcf", son));
    EXPECT_EQ(again.merged, 1);
    EXPECT_EQ(tels(), QStringList({"222 the son"}));
    again = Import(PrivateVCardBook(), Written("father.vcf", father));
    EXPECT_EQ(again.added, 1);
    EXPECT_EQ(again.merged, 0);
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
              "2 Karten neu aufgenommen, 0 mit vorhandenen zusammengeführt, 0 übersprungen.\r"
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
              "2 Karten neu aufgenommen, 0 mit vorhandenen zusammengeführt, 2 übersprungen.\r"
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
    ASSERT_TRUE(huge.resize(kVCardMaxBytes + 1));
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
        .read = true, .added = 2, .merged = 1, .skipped = 1, .memoValues = 4, .media = 1};
    EXPECT_EQ(VCardImportSummary(counted),
              "2 cards added, 1 merged with existing ones, 1 skipped.\r"
              "4 values without a fitting field were put in the notes.\r"
              "1 photo, key or sound was not taken over.");
    UseLanguage("BR");
    counted.added = 1;
    counted.skipped = 2;
    counted.birthdaysRemembered = 1;
    EXPECT_EQ(VCardImportSummary(counted),
              "1 cartão incluído, 1 unido aos existentes, 2 ignorados.\r"
              "4 valores sem campo adequado foram colocados nas notas.\r"
              "1 foto, chave ou som não foi importado.\r"
              "1 aniversário será mostrado em “Próximos dias”.");
}

// Thirty cards: the first two update records the book has (one of them
// renamed), the rest are new.
class VCardImportInterrupted : public VCardExchange {
  protected:
    void SetUp() override {
        VCardExchange::SetUp();
        Fill(PrivateVCardBook(), {{{"VORNAME", "Anna"}, {"NACHNAME", "Alt"}},
                                  {{"VORNAME", "Ben"}, {"NACHNAME", "Bauer"}}});
        Export(PrivateVCardBook(), VCardVersion::V40, "book.vcf");
        QStringList uids;
        for (const QByteArray& line : ExportedFile("book.vcf").split('\n'))
            if (line.startsWith("UID:")) uids.append(QString::fromUtf8(line.mid(4).trimmed()));
        ASSERT_EQ(uids.size(), 2);
        QByteArray cards = Card(uids[0], "Neu", "Anna", "1") + Card(uids[1], "Bauer", "Ben", "2");
        for (int i = 3; i <= 30; ++i)
            cards += Card(QString("card-%1").arg(i), QString("Name%1").arg(i), "Eva");
        file_ = Written("thirty.vcf", cards);
        DBCLOSEALL();
        for (const QString table : {"adressen_p.dbf", "adressen_p.fpt", "vcard_p.dbf"}) {
            QFile::remove(dataPath() + table + ".start");
            ASSERT_TRUE(QFile::copy(dataPath() + table, dataPath() + table + ".start"));
        }
    }

    // The book and its UIDs as they were before the import.
    void BackToTheStart() {
        DBCLOSEALL();
        for (const QString table : {"adressen_p.dbf", "adressen_p.fpt", "vcard_p.dbf"}) {
            QFile::remove(dataPath() + table);
            ASSERT_TRUE(QFile::copy(dataPath() + table + ".start", dataPath() + table));
        }
        for (const QString left : {"vcard_p_offen.dbf", "vcard_p_offen.neu"})
            QFile::remove(dataPath() + left);
    }

    // The import in a child process killed before its nth file change; false
    // when it finished.
    bool ImportKilledBefore(int n) {
        const pid_t child = fork();
        if (child == 0) {
            kesp::store::KillBeforeFileChangeForTests(n);
            try {
                Import(PrivateVCardBook(), file_);
            } catch (...) {
                _exit(3);
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) return true;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "file change " << n;
        return false;
    }

    // Whether every record the header counts begins with a blank or '*', as
    // readers that go by the count demand.
    bool CountReaderReadsEveryRecord() {
        QFile file(dataPath() + "adressen_p.dbf");
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = file.readAll();
        const auto word = [&bytes](int at, int size) {
            quint32 value = 0;
            for (int i = size - 1; i >= 0; --i)
                value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
            return value;
        };
        const quint32 count = word(4, 4);
        const quint32 headerLength = word(8, 2);
        const quint32 recordLength = word(10, 2);
        for (quint32 r = 0; r < count; ++r) {
            const qsizetype at = qsizetype(headerLength + r * recordLength);
            if (at >= bytes.size() || (bytes[at] != ' ' && bytes[at] != '*')) return false;
        }
        return true;
    }

    // Each name of the book with how often it stands there.
    std::map<QString, int> Names() {
        std::map<QString, int> names;
        for (const AddressValues& record : Stored(PrivateVCardBook()))
            ++names[record["VORNAME"].toString() + " " + record["NACHNAME"].toString()];
        DBCLOSEALL();
        return names;
    }

    static std::map<QString, int> EachCardOnce() {
        std::map<QString, int> once{{"Anna Neu", 1}, {"Ben Bauer", 1}};
        for (int i = 3; i <= 30; ++i)
            once[QString("Eva Name%1").arg(i)] = 1;
        return once;
    }

    QString file_;
};

TEST_F(VCardImportInterrupted, KilledAtAnyFileChangeTheRetryStoresEachCardOnce) {
    int killed = 0;
    int unmarked = 0;
    for (int n = 1;; ++n) {
        BackToTheStart();
        const bool wasKilled = ImportKilledBefore(n);
        // Another program reads the book whatever moment ended the import.
        // A reader that goes by the count, not by the end-of-file mark, is
        // refused at one moment alone: between the count and the first new
        // record's mark, which follows it with no other change between.
        const int read = int(ReadWithDbfread(dataPath() + "adressen_p.dbf", "NACHNAME").size());
        EXPECT_TRUE(read == 2 || read == 30) << read << " killed before file change " << n;
        if (!CountReaderReadsEveryRecord()) ++unmarked;
        const std::map<QString, int> left = Names();
        // Both or neither: the cards came in whole, or the book is as it was.
        if (left.size() != 2) {
            EXPECT_EQ(left, EachCardOnce()) << "killed before file change " << n;
        }
        // The user, seeing the program gone, imports the file again.
        const VCardImport again = Import(PrivateVCardBook(), file_);
        EXPECT_EQ(Names(), EachCardOnce()) << "imported again after file change " << n;
        EXPECT_EQ(again.added, left.size() == 2 ? 28 : 0) << n;
        EXPECT_FALSE(QFile::exists(dataPath() + "vcard_p_offen.dbf")) << n;
        EXPECT_FALSE(QFile::exists(dataPath() + "vcard_p_offen.neu")) << n;
        if (!wasKilled) break;
        ++killed;
    }
    EXPECT_GT(killed, 5);
    EXPECT_LE(unmarked, 1);
}

TEST_F(VCardImportInterrupted, OnAFullDiskTheCardsAreStoredWithTheirUidsOrNotAtAll) {
    int stored = 0;
    int uidsLater = 0;
    for (std::int64_t room = 0; room <= 40000; room += 1000) {
        BackToTheStart();
        kesp::store::LimitRoomForTests(room);
        VCardImport import;
        bool refused = false;
        try {
            import = Import(PrivateVCardBook(), file_);
        } catch (const kesp::WriteFailure&) {
            refused = true;
        }
        kesp::store::LimitRoomForTests(-1);
        DBCLOSEALL();
        const std::map<QString, int> left = Names();
        if (refused) {
            EXPECT_EQ(left.size(), 2u) << "refused with nothing stored, room " << room;
            EXPECT_FALSE(QFile::exists(dataPath() + "vcard_p_offen.dbf")) << room;
        } else {
            EXPECT_EQ(left, EachCardOnce()) << room;
            ++stored;
            if (!import.uidsNotKept.isEmpty()) {
                ++uidsLater;
                EXPECT_TRUE(VCardImportSummary(import).contains(
                    "ein neuer Import derselben Karten fügt sie nicht noch einmal hinzu"))
                    << VCardImportSummary(import).toStdString();
            }
        }
        const VCardImport again = Import(PrivateVCardBook(), file_);
        EXPECT_EQ(Names(), EachCardOnce()) << "imported again, room " << room;
        EXPECT_EQ(again.added, refused ? 28 : 0) << room;
    }
    EXPECT_GT(stored, 0);
    EXPECT_GT(uidsLater, 0) << "no amount of room stopped the UIDs after the cards";
}

}  // namespace
