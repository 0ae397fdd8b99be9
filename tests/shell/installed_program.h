// A private copy of the built application folder for one test: the installed
// tables, pictures and help pages in a temporary folder, with the program's
// start-up done for that folder and every message box answered and recorded.
#pragma once

#include "store/xbase.h"
#include "toolkit/driver_seam.h"

#include <QDate>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

class InstalledProgram : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Defines the main window and activates it (which runs the statistics),
    // without waiting for it to be closed.
    void OpenMainWindow();

    QString DataFile(const QString& name) const;
    QString Property(const QString& control, const QString& property) const;

    // Appends one record to a table of the data folder.
    void AddRecord(const QString& table, const QList<std::pair<QString, QVariant>>& fields);
    // Marks the records of a table for which `marked` holds as deleted.
    void DeleteRecords(const QString& table, const std::function<bool()>& marked);
    int RecordCount(const QString& table);
    // Points the memo `field` of `record` beyond the end of the table's memo file.
    void PointMemoBeyondItsFile(const QString& table, int record, const QString& field);
    QString StoredLanguage();
    void StoreLanguage(const QString& value);

    // The built program, copied into this folder and run as a command from a
    // script would run it: no graphical session, `environment` added.
    struct CommandRun {
        int exitCode;
        QString out;
        QString err;
        bool signalled = false;  // ended by a signal (a crash), not by exiting
    };
    CommandRun RunProgram(const QStringList& arguments,
                          const QList<std::pair<QString, QString>>& environment = {});
    // Lets go of the data folder, as the program does when it closes, so that
    // a command may claim it.
    void LetGoOfTheDataFolder();

  public:
    // Hands `look` the main window, then every window its launch buttons
    // open, each closed again after the look.
    static void LookAtEveryWindow(const std::function<void(QWidget* window)>& look);

  protected:
    QTemporaryDir folder_;
    QString previousFolder_;
    QList<kesp::seam::MessageBoxShown> boxes_;
};
