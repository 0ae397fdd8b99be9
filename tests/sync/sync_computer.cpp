#include "tests/sync/sync_computer.h"

#include "store/live_records.h"
#include "store/xbase.h"
#include "tests/shell/app_folder_copy.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kAlias = QStringLiteral("synctestbook");
constexpr int kProgramWaitMs = 180000;

// Waits in an event loop, so that a proxy of the test's thread forwards
// the program's requests meanwhile.
ProgramRun Finished(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kProgramWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::CrashExit ? -1 : process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

SyncComputer::SyncComputer() {
    CopyApplicationFolder(folder_.path(), true);
}

QString SyncComputer::dataFile(const QString& name) const {
    return folder_.filePath("data/" + name);
}

ProgramRun SyncComputer::kespWatched(const QStringList& arguments,
                                     const std::function<void(qint64 pid)>& whileRunning) const {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* graphical : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(graphical);
    // No keyring here: the password comes on standard input.
    variables.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    process.setProcessEnvironment(variables);
    process.start(folder_.filePath("kesp"), arguments);
    process.waitForStarted();
    process.write("secret\n");
    process.closeWriteChannel();
    if (whileRunning) whileRunning(process.processId());
    return Finished(process);
}

ProgramRun SyncComputer::kesp(const QStringList& arguments) const {
    return kespWatched(arguments, nullptr);
}

QString SyncComputer::setServer(const QString& url) {
    const ProgramRun run = kesp({"--server", url, "kesp"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return privateBookUrl();
}

QString SyncComputer::privateBookUrl() const {
    const ProgramRun run = kesp({"--server"});
    const QRegularExpressionMatch book = QRegularExpression("private → (\\S+)").match(run.out);
    return book.captured(1);
}

void SyncComputer::addCards(const QByteArray& vcards) const {
    QFile file(folder_.filePath("input.vcf"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(vcards);
    file.close();
    const ProgramRun run = kesp({"--import-vcard", "private", folder_.filePath("input.vcf")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

void SyncComputer::eachLive(const std::function<bool()>& visit) const {
    const int previous = SELECT();
    DBUSEAREA(true, dataFile("adressen_p.dbf"), kAlias);
    DBEVALLIVE([&] { visit(); });
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

QMap<QString, QMap<QString, QVariant>> SyncComputer::people() const {
    QMap<QString, QMap<QString, QVariant>> all;
    eachLive([&] {
        QMap<QString, QVariant> values;
        for (const char* field : {"VORNAME", "NACHNAME", "STRASSE", "ORT", "EMAIL", "TEL", "HANDY",
                                  "GEBURTSTAG", "LISTE", "FREE10"}) {
            const QVariant value = FIELD(kAlias + "->" + field);
            values[field] =
                value.typeId() == QMetaType::QString ? QVariant(value.toString().trimmed()) : value;
        }
        EXPECT_FALSE(all.contains(values["NACHNAME"].toString()))
            << "twice: " << values["NACHNAME"].toString().toStdString();
        all[values["NACHNAME"].toString()] = values;
        return true;
    });
    return all;
}

int SyncComputer::inTrash() const {
    const int previous = SELECT();
    DBUSEAREA(true, dataFile("adressen_p.dbf"), kAlias);
    int deleted = 0;
    for (int record = 1; record <= RECCOUNT(); ++record) {
        DBGOTO(record);
        if (DELETED()) ++deleted;
    }
    DBCLOSEAREA();
    DBSELECTAREA(previous);
    return deleted;
}

void SyncComputer::change(const QString& lastName,
                          const QList<std::pair<QString, QVariant>>& fields) const {
    bool found = false;
    eachLive([&] {
        if (FIELD(kAlias + "->NACHNAME").toString().trimmed() != lastName) return true;
        for (const auto& [field, value] : fields)
            REPLACE(kAlias + "->" + field, value);
        found = true;
        return true;
    });
    EXPECT_TRUE(found) << lastName.toStdString();
}

void SyncComputer::remove(const QString& lastName) const {
    bool found = false;
    eachLive([&] {
        if (FIELD(kAlias + "->NACHNAME").toString().trimmed() != lastName) return true;
        DBDELETE();
        found = true;
        return true;
    });
    EXPECT_TRUE(found) << lastName.toStdString();
}

void SyncComputer::pointAccountAt(const QUrl& base) const {
    const int previous = SELECT();
    DBUSEAREA(true, dataFile("server.dbf"), "synctestserver");
    for (const char* field : {"ADRESSE", "PRIVAT", "FIRMA"}) {
        QUrl url(FIELD(QString("synctestserver->") + field).toString().trimmed());
        url.setHost(base.host());
        url.setPort(base.port());
        REPLACE(QString("synctestserver->") + field, url.toString());
    }
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

void SyncComputer::setPrivateToken(const QByteArray& token) const {
    const int previous = SELECT();
    DBUSEAREA(true, dataFile("server.dbf"), "synctestserver");
    REPLACE("synctestserver->TOKEN_P", QString::fromUtf8(token));
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

QByteArray PersonCard(const QString& uid, const QString& firstName, const QString& lastName,
                      const QStringList& more) {
    QStringList lines{"BEGIN:VCARD", "VERSION:3.0", "UID:" + uid,
                      "N:" + lastName + ";" + firstName + ";;;",
                      "FN:" + (firstName + " " + lastName).trimmed()};
    lines += more;
    lines.append("END:VCARD");
    return (lines.join("\r\n") + "\r\n").toUtf8();
}
