// A vCard import killed at every file change or refused by a full disk:
// the cards and their UIDs are kept both or neither, and importing the file
// again stores each card once.
#include "store/fault.h"
#include "tests/apps/other_reader.h"
#include "tests/apps/vcard_exchange_fixture.h"
#include "tests/killed_child.h"

#include <map>

namespace {

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
        return KilledBeforeFileChange(n, [this] { Import(PrivateVCardBook(), file_); });
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
