#include "tests/apps/agenda_fixture.h"

#include "apps/agenda/agenda.h"
#include "kernel/lang_date_format.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/installed_table.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>

using kesp::test::TestDriver;

void AgendaFixture::SetUp() {
    ASSERT_TRUE(folder_.isValid());
    QDir(folder_.path()).mkdir("data");
    QDir(folder_.path()).mkdir("export");
    THE_APP_PATH = folder_.path() + "/";
    THE_DATA_PATH = dataPath();
    THE_EXPORT_PATH = exportPath();
    for (const QString& report : QDir(KESP_AGENDA_REPORTS).entryList({"*.rpt"}))
        QFile::copy(QString(KESP_AGENDA_REPORTS) + "/" + report, THE_APP_PATH + report);
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    UseLanguage("DE");
    THE_ANZAHL = 0;
    CreateAgenda({});
}

void AgendaFixture::TearDown() {
    DBCLOSEALL();
    QDir::setCurrent(QDir::tempPath());
}

void AgendaFixture::UseLanguage(const QString& code) {
    THE_LANG = code;
    SET_DATEFORMAT(LANG_DATEFORMAT());
}

void AgendaFixture::CreateAgenda(const QList<StoredAppointment>& rows) {
    DBCLOSEALL();
    CreateInstalledTable(dataPath(), "agenda.dbf");
    DBUSEAREA(false, dataPath() + "agenda.dbf", "fixture");
    for (const StoredAppointment& row : rows) {
        DBAPPEND();
        REPLACE("DATUM", row.date);
        REPLACE("STUN", row.hour);
        REPLACE("MINU", row.minute);
        REPLACE("TERMIN", row.text);
        REPLACE("TINDEX",
                row.tindex.isEmpty() ? DTOC(row.date) + row.hour + row.minute : row.tindex);
        if (row.deleted) DBDELETE();
    }
    DBCOMMIT();
    DBCLOSEAREA();
}

void AgendaFixture::OpenAgenda(const QDate& today) {
    driver_.setToday(today);
    OPENFORM_AGENDA();
    ASSERT_TRUE(TestDriver::isOpen("agenda_frm"));
}

void AgendaFixture::ChooseDay(const QDate& day) {
    SETPROPERTY("agenda_frm", "MonthCal_1", "value", day);
}

QStringList AgendaFixture::StoredRecords() {
    DBCLOSEALL();
    SET_DELETED(false);
    DBUSEAREA(false, dataPath() + "agenda.dbf", "stored");
    QStringList records;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        records.append((DELETED() ? "-" : "") + FIELD("DATUM").toDate().toString("dd.MM.yyyy") +
                       " " + FIELD("STUN").toString() + ":" + FIELD("MINU").toString() + " " +
                       FIELD("TERMIN").toString().trimmed() + "|" + FIELD("TINDEX").toString());
    }
    DBCLOSEAREA();
    SET_DELETED(true);
    return records;
}

QStringList AgendaFixture::DayRows() {
    QStringList rows;
    const int count = TestDriver::browseRows("agenda_frm", "Browse_1");
    for (int row = 1; row <= count; ++row)
        rows.append(TestDriver::browseCell("agenda_frm", "Browse_1", row, 1) + ":" +
                    TestDriver::browseCell("agenda_frm", "Browse_1", row, 2) + " " +
                    TestDriver::browseCell("agenda_frm", "Browse_1", row, 3));
    return rows;
}

QStringList AgendaFixture::ElevenDayItems() {
    QStringList items;
    const int count = GETPROPERTY("agenda_frm", "List_1", "itemcount").toInt();
    for (int item = 1; item <= count; ++item)
        items.append(GETPROPERTY("agenda_frm", "List_1", "item", item).toString());
    return items;
}

QByteArray AgendaFixture::TableBytes() const {
    QFile file(dataPath() + "agenda.dbf");
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

QByteArray AgendaFixture::ExportedFile(const QString& name) const {
    QFile file(exportPath() + name);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

QString AgendaFixture::dataPath() const {
    return folder_.path() + "/data/";
}

QString AgendaFixture::exportPath() const {
    return folder_.path() + "/export/";
}

QStringList AgendaFixture::TakeMessages() {
    QStringList shown;
    for (const kesp::test::MessageBoxRecord& box : driver_.messageBoxes()) {
        EXPECT_EQ(box.title, "Varnel Kesp 2.0") << box.text.toStdString();
        shown.append(box.kind + ": " + box.text);
    }
    driver_.clearMessageBoxes();
    return shown;
}
