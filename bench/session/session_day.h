// A user's day with the program, driven on the offscreen platform through the
// test driver: start; open each of the ten applications and close it; type a
// name letter by letter into every record window's first search box; save a
// new record and a change, delete one and take it back; the first search
// over everything and five more; "Coming up", the trash and the backups; the
// agenda's eleven days as a print preview; the statistics refreshed; the
// reminders of a minute; the close with the backup.
//
// Every action is watched for the longest gap of the event loop (gap_watch.h)
// and its whole time.
#pragma once

#include <QString>

#include <vector>

struct ActionTimes {
    QString action;
    double worstGapMs = 0;
    double wholeMs = 0;
};

struct DayFigures {
    std::vector<ActionTimes> actions;    // in the order they ran
    std::vector<double> firstScreensMs;  // each search over everything
    double statisticsMs = 0;             // the refresh of the statistics
    double statisticsCountedMs = 0;      // the same, every table counted
    double readTenFilesOnceMs = 0;       // the files it reads, read once
};

// Runs the day on the data folder beneath `folder` (data/, img/, export/).
DayFigures RunDay(const QString& folder);

// The program's start up to the main window painted with its statistics,
// nothing else: what a start-up's time is measured on.
void StartAndShowMainWindow(const QString& folder);
