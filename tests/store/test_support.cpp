#include "test_support.h"

#include "store/file_handle.h"
#include "store/known_marks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>

void StoreTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    previousFolder_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    SET_DATEFORMAT(QStringLiteral("dd/mm/yyyy"));
}

void StoreTest::TearDown() {
    DBCLOSEALL();
    SET_EXACT(false);
    SET_DELETED(true);
    QDir::setCurrent(previousFolder_);
}

QString StoreTest::NamesTable(const QStringList& names, const QString& file) {
    const QString path = Path(file);
    kesp::CreateTable(path, {{"VORNAME", 'C', 20, 0}, {"NR", 'N', 5, 0}, {"GEBURT", 'D', 8, 0}});
    DBUSEAREA(true, path);
    int number = 1;
    for (const QString& name : names) {
        DBAPPEND();
        REPLACE("VORNAME", name);
        REPLACE("NR", number++);
    }
    DBCOMMIT();
    DBCLOSEAREA();
    return path;
}

QList<int> OrderOfAllRecords() {
    SET_DELETED(false);
    QList<int> records;
    DBEVAL([&records] { records << RECNO(); });
    SET_DELETED(true);
    return records;
}

QByteArray StoreTest::ReadFile(const QString& name) const {
    QFile file(Path(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void StoreTest::WriteFile(const QString& name, const QByteArray& bytes) const {
    // Overwritten in place: truncating first makes the file system flush on close.
    QFile file(Path(name));
    file.open(QIODevice::ReadWrite);
    file.write(bytes);
    file.resize(bytes.size());
}

QString RunPython(const QString& script, const QString& folder) {
    QProcess python;
    python.setWorkingDirectory(folder);
    python.start(QStringLiteral(KESP_PYTHON), {QStringLiteral("-c"), script});
    python.waitForFinished(60000);
    const QString output = QString::fromUtf8(python.readAllStandardOutput());
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return output;
}

void LetTheClockPass(const QString& path) {
    const std::optional<kesp::store::FileStamp> stamp = kesp::store::FileHandle::StampOf(path);
    ASSERT_TRUE(stamp);
    while (kesp::store::MarksClockNs() <= std::max(stamp->modifiedNs, stamp->changedNs))
        QThread::msleep(1);
}
