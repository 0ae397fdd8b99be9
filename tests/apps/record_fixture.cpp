#include "tests/apps/record_fixture.h"

#include "data/installed_table_files.h"
#include "kernel/lang_date_format.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>

void RecordFixture::SetUp() {
    ASSERT_TRUE(folder_.isValid());
    QDir(folder_.path()).mkdir("data");
    QDir(folder_.path()).mkdir("export");
    THE_APP_PATH = folder_.path() + "/";
    THE_DATA_PATH = dataPath();
    THE_EXPORT_PATH = exportPath();
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    UseLanguage("DE");
    THE_ANZAHL = 0;
    CPESQ.clear();
}

void RecordFixture::TearDown() {
    DBCLOSEALL();
    SET_TODAY_FOR_TESTS({});
    QDir::setCurrent(QDir::tempPath());
}

void RecordFixture::UseLanguage(const QString& code) {
    THE_LANG = code;
    SET_DATEFORMAT(LANG_DATEFORMAT());
}

void RecordFixture::InstallTable(const QString& file, bool withFirstRecords) {
    DBCLOSEALL();
    const kesp::TableDescription* table = kesp::InstalledTable(file);
    ASSERT_NE(table, nullptr) << file.toStdString() << " is no installed table";
    kesp::TableDescription described = *table;
    if (!withFirstRecords) described.firstRecords.clear();
    kesp::WriteInstalledTable(dataPath() + table->file, described);
}

QString RecordFixture::dataPath() const {
    return folder_.path() + "/data/";
}
QString RecordFixture::exportPath() const {
    return folder_.path() + "/export/";
}

QByteArray RecordFixture::ExportedFile(const QString& name) const {
    QFile file(exportPath() + name);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

QStringList RecordFixture::ListRows(const QString& window, const QString& list, int column) {
    QStringList rows;
    const int count = kesp::test::TestDriver::browseRows(window, list);
    for (int row = 1; row <= count; ++row)
        rows.append(kesp::test::TestDriver::browseCell(window, list, row, column));
    return rows;
}

QStringList RecordFixture::TakeMessages(const QString& title) {
    QStringList shown;
    for (const kesp::test::MessageBoxRecord& box : driver_.messageBoxes()) {
        EXPECT_EQ(box.title, title);
        shown.append(box.kind + ": " + box.text);
    }
    driver_.clearMessageBoxes();
    return shown;
}
