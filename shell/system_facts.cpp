#include "shell/system_facts.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QFile>
#include <QStorageInfo>
#include <QSysInfo>

#include <sys/statvfs.h>

namespace {

const QString kFreeSpaceValue = QStringLiteral("Label_14");

constexpr double kMegabyte = 1048576.0;

QByteArray ReadSystemFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Files of /proc report size 0; readAll reads until the end all the same.
    return file.readAll();
}

// Finding the mount point reads the system's whole mount table, which cost
// more than the rest of the facts together; the data folder's stays where it
// is for the run.
QString MountPointOf(const QString& folder) {
    static QString knownFolder;
    static QString knownMountPoint;
    if (knownFolder != folder || knownMountPoint.isEmpty()) {
        knownMountPoint = QStorageInfo(folder).rootPath();
        knownFolder = folder;
    }
    return knownMountPoint;
}

SystemFacts ReadFactsOfThisMachine(const QString& folder) {
    SystemFacts facts;
    QString system = PRETTY_NAME(ReadSystemFile("/etc/os-release"));
    if (system.isEmpty()) system = QSysInfo::prettyProductName();
    // The kernel's version number without the distribution's build suffix
    // ("6.1.0" of "6.1.0-18-amd64"): the panel has room for little more.
    facts.operatingSystem = (system + " " + QSysInfo::kernelVersion().section('-', 0, 0)).trimmed();
    facts.computerName = QSysInfo::machineHostName().left(15);

    struct statvfs fileSystem {};
    if (statvfs(QFile::encodeName(folder).constData(), &fileSystem) == 0)
        facts.freeBytes = std::uint64_t(fileSystem.f_bavail) * fileSystem.f_frsize;
    facts.mountPoint = MountPointOf(folder);

    const MemoryFigures memory = MEMORY_FIGURES(ReadSystemFile("/proc/meminfo"));
    facts.totalPhysical = memory.totalPhysical;
    facts.availablePhysical = memory.availablePhysical;
    facts.totalPage = memory.totalPage;
    facts.availableVirtual = memory.availableVirtual;
    return facts;
}

SystemFactsReader& Reader() {
    static SystemFactsReader reader = ReadFactsOfThisMachine;
    return reader;
}

// Memory figures are whole megabytes, fractions dropped; the colour goes by
// the figure the user sees.
std::uint64_t WholeMegabytes(std::uint64_t bytes) {
    return bytes / 1048576;
}

void ShowMemoryFigure(const QString& label, std::uint64_t bytes, Level (*levelOf)(double)) {
    const std::uint64_t megabytes = WholeMegabytes(bytes);
    SETPROPERTY("haupt", label, "Value", QString::number(megabytes));
    SETPROPERTY("haupt", label, "BackColor", LEVEL_COLOUR(levelOf(double(megabytes))));
}

}  // namespace

SystemFacts READ_SYSTEM_FACTS(const QString& folder) {
    return Reader()(folder);
}

SystemFactsReader SET_SYSTEM_FACTS_READER(SystemFactsReader reader) {
    SystemFactsReader previous = Reader();
    Reader() = reader ? std::move(reader) : SystemFactsReader(ReadFactsOfThisMachine);
    return previous;
}

QString PRETTY_NAME(const QByteArray& osRelease) {
    for (const QByteArray& line : osRelease.split('\n')) {
        if (!line.startsWith("PRETTY_NAME=")) continue;
        QString value = QString::fromUtf8(line.mid(12)).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

MemoryFigures MEMORY_FIGURES(const QByteArray& meminfo) {
    std::uint64_t memTotal = 0, memAvailable = 0, swapTotal = 0, swapFree = 0;
    for (const QByteArray& line : meminfo.split('\n')) {
        // "MemTotal:       16318480 kB"
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2) continue;
        std::uint64_t bytes = parts[1].toULongLong();
        if (parts.size() >= 3 && parts[2] == "kB") bytes *= 1024;
        if (parts[0] == "MemTotal:") memTotal = bytes;
        if (parts[0] == "MemAvailable:") memAvailable = bytes;
        if (parts[0] == "SwapTotal:") swapTotal = bytes;
        if (parts[0] == "SwapFree:") swapFree = bytes;
    }
    return {memTotal, memAvailable, memTotal + swapTotal, memAvailable + swapFree};
}

QColor LEVEL_COLOUR(Level level) {
    switch (level) {
        case Level::Sufficient:
            return {255, 255, 0};
        case Level::VeryGood:
            return {0, 255, 0};
        case Level::Low:
            break;
    }
    return {255, 0, 0};
}

Level LEVEL_OF(double megabytes, double yellowAbove, double greenAbove) {
    if (megabytes > greenAbove) return Level::VeryGood;
    if (megabytes > yellowAbove) return Level::Sufficient;
    return Level::Low;
}

Level FREE_SPACE_LEVEL(double megabytes) {
    return LEVEL_OF(megabytes, 20, 50);
}
Level TOTAL_MEMORY_LEVEL(double megabytes) {
    return LEVEL_OF(megabytes, 200, 500);
}
Level AVAILABLE_MEMORY_LEVEL(double megabytes) {
    return LEVEL_OF(megabytes, 200, 500);
}
Level TOTAL_PAGE_LEVEL(double megabytes) {
    return LEVEL_OF(megabytes, 1000, 1500);
}
Level AVAILABLE_VIRTUAL_LEVEL(double megabytes) {
    return LEVEL_OF(megabytes, 1000, 2000);
}

bool LOW_DISK(std::uint64_t freeBytes) {
    return freeBytes > 0 && freeBytes / kMegabyte < 21;
}

void HOLE_SYS() {
    KESP_OPERATION();
    const SystemFacts facts = READ_SYSTEM_FACTS(THE_APP_PATH);

    // A reading of nothing at all stays red and warns of nothing: it is more
    // likely a failed reading than a full disk.
    const double freeMegabytes = facts.freeBytes / kMegabyte;
    Level freeLevel = Level::Low;
    SETPROPERTY("haupt", kFreeSpaceValue, "BackColor", LEVEL_COLOUR(freeLevel));
    if (facts.freeBytes > 0) {
        if (LOW_DISK(facts.freeBytes))
            MSGEXCLAMATION(
                TEXT({"Achtung: wenig freier Speicher auf [" + facts.mountPoint +
                          "] Laufw. < 20MB frei",
                      "Attention: low diskspace... [" + facts.mountPoint + "]  < 20MB free",
                      "Cuidado: pouco espaco livre em [" + facts.mountPoint + "]  < 20MB livre"}),
                "Sysinfo");
        freeLevel = FREE_SPACE_LEVEL(freeMegabytes);
    }

    ShowMemoryFigure("Label_4", facts.totalPhysical, TOTAL_MEMORY_LEVEL);
    ShowMemoryFigure("Label_5", facts.availablePhysical, AVAILABLE_MEMORY_LEVEL);
    ShowMemoryFigure("Label_6", facts.totalPage, TOTAL_PAGE_LEVEL);
    ShowMemoryFigure("Label_7", facts.availableVirtual, AVAILABLE_VIRTUAL_LEVEL);
    SETPROPERTY("haupt", "Label_12", "Value", facts.operatingSystem.trimmed());
    SETPROPERTY("haupt", "Label_13", "Value", facts.computerName.trimmed());
    SETPROPERTY("haupt", kFreeSpaceValue, "Value", QString::number(freeMegabytes, 'f', 2));
    SETPROPERTY("haupt", kFreeSpaceValue, "BackColor", LEVEL_COLOUR(freeLevel));
}
