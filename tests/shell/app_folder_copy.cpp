#include "tests/shell/app_folder_copy.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void CopyFolder(const QString& from, const QString& to, const QString& except = {}) {
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files)) {
        if (entry.fileName().compare(except, Qt::CaseInsensitive) == 0) continue;
        QFile::copy(entry.absoluteFilePath(), QDir(to).filePath(entry.fileName()));
    }
}

// The installed word list holds the pairs of a whole dictionary. The program
// started here finds an empty table of the same fields instead (the installed
// file's header, no records), so that each start (the statistics pack and
// count every table) stays quick; the dictionary test looks at the real one.
void CopyEmptied(const QString& from, const QString& to) {
    QFile source(from);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << qPrintable(from);
    QByteArray header = source.read(32);
    ASSERT_EQ(header.size(), 32);
    const int headerLength =
        static_cast<unsigned char>(header[8]) | static_cast<unsigned char>(header[9]) << 8;
    header += source.read(headerLength - 32);
    header.replace(4, 4, QByteArray(4, '\0'));  // no records
    header.append('\x1A');
    QFile target(to);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
    target.write(header);
}

}  // namespace

bool CopyApplicationFolder(const QString& to, bool withProgram) {
    const QString built = KESP_BUILT_APP_DIR;
    const QDir folder(to);
    CopyFolder(built + "/data", folder.filePath("data"), "de_en.dbf");
    CopyEmptied(built + "/data/de_en.dbf", folder.filePath("data/de_en.dbf"));
    CopyFolder(built + "/img", folder.filePath("img"));
    QDir().mkpath(folder.filePath("export"));
    for (const char* page : {"Hilfe.htm", "Help.htm", "Ajuda.htm"})
        QFile::copy(built + "/" + page, folder.filePath(page));
    // The program finds its tables beside itself: a link to the built one
    // (the same file, not a symbolic link), or a copy on another drive.
    if (withProgram && ::link(QFile::encodeName(built + "/kesp").constData(),
                              QFile::encodeName(folder.filePath("kesp")).constData()) != 0)
        QFile::copy(built + "/kesp", folder.filePath("kesp"));
    const bool built_ = QFile::exists(folder.filePath("data/startlang.dbf"));
    EXPECT_TRUE(built_) << "the application folder has not been built: " << qPrintable(built);
    return built_;
}
