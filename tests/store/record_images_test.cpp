// Records appended whole from an image: the same bytes as a REPLACE of every
// field, orders kept, nothing on disk before the commit, read back by
// python3-dbfread.
#include "store/record_images.h"
#include "store/fault.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class RecordImages : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        kesp::CreateTable(Path("t.dbf"),
                          {{"NAME", 'C', 6, 0},
                           {"BETRAG", 'N', 8, 2},
                           {"DATUM", 'D', 8, 0},
                           {"FERTIG", 'L', 1, 0},
                           {"NR", 'N', 10, 0},
                           {"NOTIZ", 'M', 10, 0}},
                          kesp::MemoKind::Fpt);
        DBUSEAREA(true, Path("t.dbf"), "t");
    }
};

}  // namespace

TEST_F(RecordImages, AnImageAppendsWhatReplaceWritesKeepsItsOrderAndDbfreadReadsIt) {
    DBCREATEINDEX(Path("t_name"), "NAME");
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("€ß→😀xyz"));
    REPLACE("BETRAG", -1.26);
    REPLACE("DATUM", QDate(2027, 1, 5));
    REPLACE("FERTIG", true);
    REPLACE("NR", -85490.0);
    RecordImage image;
    const int name = image.field("name");
    image.set(name, QStringLiteral("€ß→😀xyz"));
    image.set(image.field("BETRAG"), -1.26);
    image.set(image.field("DATUM"), QDate(2027, 1, 5));
    image.set(image.field("FERTIG"), true);
    image.set(image.field("NR"), -85490.0);
    DBAPPENDIMAGE(image);
    EXPECT_EQ(RECNO(), 2);
    EXPECT_EQ(FIELD("NAME").toString(), QStringLiteral("€ß??xy"));  // converted as REPLACE does
    for (const char* field : {"NAME", "BETRAG", "DATUM", "FERTIG", "NR"})
        EXPECT_EQ(FIELD(field), INAREA("t",
                                       [&] {
                                           DBGOTO(1);
                                           return FIELD(field);
                                       }))
            << field;
    EXPECT_EQ(FIELD("NOTIZ").toString(), QString());
    // What was set stays for the next record; the order takes each in.
    image.set(name, QStringLiteral("Anna"));
    DBAPPENDIMAGE(image);
    image.set(image.field("DATUM"), QDate());
    image.set(name, QStringLiteral("Jörg"));
    DBAPPENDIMAGE(image);
    DBSEEK(QStringLiteral("J"));
    EXPECT_TRUE(FOUND());
    EXPECT_EQ(RECNO(), 4);
    DBGOTOP();
    EXPECT_EQ(RECNO(), 3);  // "Anna" first
    DBCLOSEALL();
    const QString output = RunPython(QStringLiteral(R"(
import dbfread, json
rows = [{k: (v.isoformat() if hasattr(v, 'isoformat') else v) for k, v in r.items()}
        for r in dbfread.DBF('t.dbf')]
print(json.dumps(rows))
)"),
                                     Path(""));
    const QJsonArray rows = QJsonDocument::fromJson(output.toUtf8()).array();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[2].toObject()["NAME"].toString(), QStringLiteral("Anna"));
    EXPECT_DOUBLE_EQ(rows[2].toObject()["BETRAG"].toDouble(), -1.26);
    EXPECT_EQ(rows[2].toObject()["NR"].toInt(), -85490);
    EXPECT_EQ(rows[2].toObject()["DATUM"].toString(), QStringLiteral("2027-01-05"));
    EXPECT_TRUE(rows[2].toObject()["FERTIG"].toBool());
    EXPECT_EQ(rows[3].toObject()["NAME"].toString(), QStringLiteral("Jörg"));
    EXPECT_TRUE(rows[3].toObject()["DATUM"].isNull());
    EXPECT_TRUE(rows[3].toObject()["NOTIZ"].toString().isEmpty());
}

TEST_F(RecordImages, ImagesAreWrittenOnlyByACommitAndFitOnlyTheirOwnTable) {
    RecordImage image;
    image.set(image.field("NAME"), QStringLiteral("Anna"));
    DBAPPENDIMAGE(image);
    DBCOMMIT();
    DBAPPENDIMAGE(image);
    DBAPPENDIMAGE(image);
    DBCLOSEALLUNSAVED();  // the end of the program before the commit
    DBUSEAREA(true, Path("t.dbf"), "t");
    EXPECT_EQ(RECCOUNT(), 1);
    EXPECT_THROW(image.field("NOTIZ"), kesp::FaultException) << "an image holds no memo";
    EXPECT_THROW(image.field("GIBTESNICHT"), kesp::FaultException);
    kesp::CreateTable(Path("other.dbf"), {{"NAME", 'C', 6, 0}});
    DBUSEAREA(true, Path("other.dbf"), "other");
    EXPECT_THROW(DBAPPENDIMAGE(image), kesp::FaultException);
    EXPECT_EQ(RECCOUNT(), 0);
}
