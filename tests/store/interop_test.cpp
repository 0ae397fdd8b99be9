// Tables written by python3-dbf read through the store, and tables the store
// writes read by python3-dbfread: two independent implementations.
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct Flavour {
    const char* dbfType;  // python3-dbf's name of the format
    const char* memoExtension;
    kesp::MemoKind kind;
};

class Interop : public StoreTest, public ::testing::WithParamInterface<Flavour> {};

}  // namespace

TEST_P(Interop, TablesWrittenByPythonDbfReadCorrectly) {
    const QString script = QStringLiteral(R"(
import datetime, dbf
t = dbf.Table('py.dbf', 'NAME C(20); QTY N(8,2); BORN D; ACTIVE L; NOTES M',
              dbf_type='%1', codepage='cp1252')
t.open(mode=dbf.READ_WRITE)
t.append(('Zoë Müller', 12.5, datetime.date(1970, 1, 31), True, 'line 1\r\nline 2 äöüß €'))
t.append(('Jörg', -3, None, False, ''))
t.append(('Ana Conceição', 0, datetime.date(2006, 12, 24), None, 'x' * 2000))
t.close()
)")
                               .arg(QString::fromLatin1(GetParam().dbfType));
    RunPython(script, Path(""));
    DBUSEAREA(true, Path("py.dbf"));
    ASSERT_TRUE(USED());
    ASSERT_EQ(RECCOUNT(), 3);
    EXPECT_EQ(FIELD("NAME").toString(), QStringLiteral("Zoë Müller").leftJustified(20));
    EXPECT_DOUBLE_EQ(FIELD("QTY").toDouble(), 12.5);
    EXPECT_EQ(FIELD("BORN").toDate(), QDate(1970, 1, 31));
    EXPECT_TRUE(FIELD("ACTIVE").toBool());
    EXPECT_EQ(FIELD("NOTES").toString(), QStringLiteral("line 1\r\nline 2 äöüß €"));
    DBSKIP();
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("Jörg"));
    EXPECT_DOUBLE_EQ(FIELD("QTY").toDouble(), -3);
    EXPECT_TRUE(FIELD("BORN").toDate().isNull());
    EXPECT_FALSE(FIELD("ACTIVE").toBool());
    EXPECT_EQ(FIELD("NOTES").toString(), QString());
    DBSKIP();
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("Ana Conceição"));
    EXPECT_EQ(FIELD("NOTES").toString(), QString(2000, QLatin1Char('x')));
    // Our own writes into their file stay readable for them.
    REPLACE("NOTES", QStringLiteral("neu: Grüße"));
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("Ève"));
    DBCLOSEALL();
    const QString output = RunPython(QStringLiteral(R"(
import dbfread
for r in dbfread.DBF('py.dbf', encoding='cp1252'): print(r['NAME'].strip(), '|', r['NOTES'] or '-')
)"),
                                     Path(""));
    EXPECT_EQ(output, QStringLiteral("Zoë Müller | line 1\r\nline 2 äöüß €\nJörg | -\n"
                                     "Ana Conceição | neu: Grüße\nÈve | -\n"));
}

TEST_P(Interop, TablesTheStoreWritesReadCorrectlyWithDbfread) {
    const QString path = Path("ours.dbf");
    kesp::CreateTable(path,
                      {{"NAME", 'C', 20, 0},
                       {"QTY", 'N', 8, 2},
                       {"BORN", 'D', 8, 0},
                       {"ACTIVE", 'L', 1, 0},
                       {"NOTES", 'M', 10, 0}},
                      GetParam().kind);
    DBUSEAREA(true, path);
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("Zoë Müller"));
    REPLACE("QTY", 12.5);
    REPLACE("BORN", QDate(1970, 1, 31));
    REPLACE("ACTIVE", true);
    REPLACE("NOTES", QStringLiteral("line 1\r\nline 2 äöüß €"));
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("Jörg"));
    REPLACE("QTY", -3);
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("gelöscht"));
    REPLACE("NOTES", QString(5000, QLatin1Char('z')));
    DBDELETE();
    DBCLOSEALL();
    const QString output = RunPython(QStringLiteral(R"(
import dbfread, json
t = dbfread.DBF('ours.dbf')
rows = [{k: (v.isoformat() if hasattr(v, 'isoformat') else v) for k, v in r.items()} for r in t]
print(json.dumps({'encoding': t.encoding, 'rows': rows, 'deleted': len(list(t.deleted))}))
)"),
                                     Path(""));
    const QJsonObject result = QJsonDocument::fromJson(output.toUtf8()).object();
    EXPECT_EQ(result["encoding"].toString(), QStringLiteral("cp1252"));  // from the code-page byte
    EXPECT_EQ(result["deleted"].toInt(), 1);
    const QJsonArray rows = result["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    const QJsonObject first = rows[0].toObject();
    EXPECT_EQ(first["NAME"].toString(), QStringLiteral("Zoë Müller"));
    EXPECT_DOUBLE_EQ(first["QTY"].toDouble(), 12.5);
    EXPECT_EQ(first["BORN"].toString(), QStringLiteral("1970-01-31"));
    EXPECT_TRUE(first["ACTIVE"].toBool());
    EXPECT_EQ(first["NOTES"].toString(), QStringLiteral("line 1\r\nline 2 äöüß €"));
    const QJsonObject second = rows[1].toObject();
    EXPECT_EQ(second["NAME"].toString(), QStringLiteral("Jörg"));
    EXPECT_DOUBLE_EQ(second["QTY"].toDouble(), -3);
    EXPECT_TRUE(second["BORN"].isNull());
    EXPECT_FALSE(second["ACTIVE"].toBool());
}

INSTANTIATE_TEST_SUITE_P(Store, Interop,
                         ::testing::Values(Flavour{"db3", "dbt", kesp::MemoKind::Dbt},
                                           Flavour{"fp", "fpt", kesp::MemoKind::Fpt}),
                         [](const auto& info) { return std::string(info.param.memoExtension); });

TEST_F(StoreTest, VisualFoxProTablesFromPythonDbfRead) {
    RunPython(QStringLiteral(R"(
import datetime, dbf
t = dbf.Table('vfp.dbf', 'NAME C(20); QTY N(8,2); BORN D; ACTIVE L; NOTES M',
              dbf_type='vfp', codepage='cp1252')
t.open(mode=dbf.READ_WRITE)
t.append(('Zoë Müller', 12.5, datetime.date(1970, 1, 31), True, 'line 1\r\nline 2'))
t.append(('Jörg', -3, None, False, ''))
t.close()
)"),
              Path(""));
    DBUSEAREA(true, Path("vfp.dbf"));
    ASSERT_EQ(RECCOUNT(), 2);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("Zoë Müller"));
    EXPECT_EQ(FIELD("BORN").toDate(), QDate(1970, 1, 31));
    EXPECT_EQ(FIELD("NOTES").toString(), QStringLiteral("line 1\r\nline 2"));
    REPLACE("NOTES", QStringLiteral("geändert"));  // 4-byte memo pointers written back
    DBCLOSEALL();
    const QString output = RunPython(QStringLiteral(R"(
import dbfread
for r in dbfread.DBF('vfp.dbf', encoding='cp1252'): print(r['NAME'].strip(), '|', r['NOTES'] or '-')
)"),
                                     Path(""));
    EXPECT_EQ(output, QStringLiteral("Zoë Müller | geändert\nJörg | -\n"));
}
