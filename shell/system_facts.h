// The system-facts panel of the main window: operating system, computer name,
// free space of the file system that holds the program, and four memory
// figures, each on a red, yellow or green background by fixed thresholds.
//
// Reading the facts (READ_SYSTEM_FACTS, replaceable for tests) is kept apart
// from showing them (HOLE_SYS), so the thresholds can be checked at their
// edges without the machine having to be in that state.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>

struct SystemFacts {
    QString operatingSystem;          // "Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64"
    QString computerName;             // at most 15 characters
    std::uint64_t freeBytes = 0;      // free for the user on the file system of the program
    QString mountPoint;               // where that file system is mounted ("/", "/home")
    std::uint64_t totalPhysical = 0;  // bytes
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalPage = 0;  // physical memory and swap together
    std::uint64_t availableVirtual = 0;
};

// The facts of this machine, for the file system that holds folder.
SystemFacts READ_SYSTEM_FACTS(const QString& folder);

// Replaces the reading of the facts (tests); an empty reader restores the
// real one. Returns the previous reader.
using SystemFactsReader = std::function<SystemFacts(const QString& folder)>;
SystemFactsReader SET_SYSTEM_FACTS_READER(SystemFactsReader reader);

// The parts of READ_SYSTEM_FACTS that read text files of the system.
QString PRETTY_NAME(const QByteArray& osRelease);  // from /etc/os-release
struct MemoryFigures {
    std::uint64_t totalPhysical = 0, availablePhysical = 0, totalPage = 0, availableVirtual = 0;
};
MemoryFigures MEMORY_FIGURES(const QByteArray& meminfo);  // from /proc/meminfo

enum class Level { Low, Sufficient, VeryGood };
QColor LEVEL_COLOUR(Level level);  // red, yellow, green

// Strictly above the yellow mark is sufficient, strictly above the green mark
// very good; everything else is low.
Level LEVEL_OF(double megabytes, double yellowAbove, double greenAbove);

// The level of each panel figure, in megabytes.
Level FREE_SPACE_LEVEL(double megabytes);         // 20 / 50
Level TOTAL_MEMORY_LEVEL(double megabytes);       // 200 / 500
Level AVAILABLE_MEMORY_LEVEL(double megabytes);   // 200 / 500
Level TOTAL_PAGE_LEVEL(double megabytes);         // 1000 / 1500
Level AVAILABLE_VIRTUAL_LEVEL(double megabytes);  // 1000 / 2000

// Below 21 MB (and above nothing at all) the user is warned.
bool LOW_DISK(std::uint64_t freeBytes);

// Reads the facts and fills the panel; warns in a box titled "Sysinfo" when
// the file system of the program is nearly full.
void HOLE_SYS();
