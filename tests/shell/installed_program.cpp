#include "tests/shell/installed_program.h"

#include "tests/shell/app_folder_copy.h"

#include "kernel/public_variables.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "store/dbf_table.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QFile>
#include <QProcess>

void InstalledProgram::SetUp() {
    ASSERT_TRUE(folder_.isValid());
    ASSERT_TRUE(CopyApplicationFolder(folder_.path()));

    // The fault log goes to the current folder.
    previousFolder_ = QDir::currentPath();
    QDir::setCurrent(folder_.path());

    kesp::seam::activationReturnsAtOnce = true;
    kesp::seam::answerMessageBox = [this](const kesp::seam::MessageBoxShown& box) {
        boxes_.append(box);
        return true;
    };
    START_UP(folder_.path());
}

void InstalledProgram::TearDown() {
    DBCLOSEALL();
    if (ISWINDOWDEFINED("haupt")) RELEASEWINDOW("haupt");
    SET_TODAY_FOR_TESTS(QDate());
    kesp::seam::answerMessageBox = nullptr;
    kesp::seam::endProcess = nullptr;
    QDir::setCurrent(previousFolder_);
}

void InstalledProgram::OpenMainWindow() {
    DEFINE_HAUPT();
    DOMETHOD("haupt", "Center");
    _ACTIVATEWINDOW("haupt");
}

QString InstalledProgram::DataFile(const QString& name) const {
    return folder_.filePath("data/" + name);
}

QString InstalledProgram::Property(const QString& control, const QString& property) const {
    return GETPROPERTY("haupt", control, property).toString();
}

void InstalledProgram::AddRecord(const QString& table,
                                 const QList<std::pair<QString, QVariant>>& fields) {
    DBUSEAREA(false, DataFile(table), "t");
    DBAPPEND();
    for (const auto& [field, value] : fields)
        REPLACE(field, value);
    DBCOMMIT();
    DBCLOSEALL();
}

void InstalledProgram::DeleteRecords(const QString& table, const std::function<bool()>& marked) {
    DBUSEAREA(false, DataFile(table), "t");
    DBEVAL([] { DBDELETE(); }, marked);
    DBCOMMIT();
    DBCLOSEALL();
}

void InstalledProgram::PointMemoBeyondItsFile(const QString& table, int record,
                                              const QString& field) {
    qint64 at = 0;
    int width = 0;
    {
        const auto opened = kesp::store::DbfTable::Open(DataFile(table));
        ASSERT_TRUE(opened);
        const int index = opened->FieldIndex(field);
        ASSERT_GE(index, 0);
        width = opened->fields()[static_cast<std::size_t>(index)].length;
        at = opened->headerLength() + qint64(record - 1) * opened->recordLength() + 1 +
             opened->fields()[static_cast<std::size_t>(index)].offset;
    }
    QByteArray pointer = QByteArray::number(9999999).rightJustified(width, ' ');
    if (width == 4) pointer = QByteArray("\x7f\x96\x98\x00", 4);  // 9999999, little-endian
    QFile file(DataFile(table));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(at));
    ASSERT_EQ(file.write(pointer), width);
}

int InstalledProgram::RecordCount(const QString& table) {
    DBUSEAREA(false, DataFile(table), "t");
    const int count = RECCOUNT();
    DBCLOSEALL();
    return count;
}

QString InstalledProgram::StoredLanguage() {
    DBUSEAREA(false, DataFile("startlang.dbf"), "t");
    const QString value = FIELD("LANG").toString();
    DBCLOSEALL();
    return value;
}

InstalledProgram::CommandRun InstalledProgram::RunProgram(
    const QStringList& arguments, const QList<std::pair<QString, QString>>& environment) {
    const QString program = folder_.filePath("kesp");
    if (!QFile::exists(program)) QFile::copy(QString(KESP_BUILT_APP_DIR) + "/kesp", program);
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* graphical : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(graphical);
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()),
            process.exitStatus() == QProcess::CrashExit};
}

void InstalledProgram::LookAtEveryWindow(const std::function<void(QWidget* window)>& look) {
    look(kesp::FormWindowNamed("haupt"));
    for (const LaunchButton& button : LAUNCH_BUTTONS()) {
        if (!button.open) continue;
        const QList<kesp::FormWindow*> before = kesp::FormWindows();
        button.open();
        for (kesp::FormWindow* window : kesp::FormWindows()) {
            if (before.contains(window)) continue;
            look(window);
            window->release();
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void InstalledProgram::LetGoOfTheDataFolder() {
    QTemporaryDir elsewhere;
    const QString data = THE_DATA_PATH;
    THE_DATA_PATH = elsewhere.path() + "/";
    CLAIM_DATA_FOLDER();
    THE_DATA_PATH = data;
}

void InstalledProgram::StoreLanguage(const QString& value) {
    DBUSEAREA(false, DataFile("startlang.dbf"), "t");
    REPLACE("LANG", value);
    DBCOMMIT();
    DBCLOSEALL();
}
