// An agenda table in a temporary application folder (data/, export/ and the
// report definitions of the source tree), the global settings the start-up
// routine fixes, a language, and the agenda window driven by the test driver.
#pragma once

#include "toolkit/test_driver.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

struct StoredAppointment {
    QDate date;
    QString hour;
    QString minute;
    QString text;
    QString tindex;  // empty: written as the agenda writes it under the language in force
    bool deleted = false;
};

class AgendaFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // "DE", "AM" or "BR": the texts and the date format of the language.
    void UseLanguage(const QString& code);

    // Writes "agenda.dbf" afresh with these records, in this physical order.
    void CreateAgenda(const QList<StoredAppointment>& rows);

    // Opens the agenda window as the main window does, with `today` as the
    // day the program starts on.
    void OpenAgenda(const QDate& today);
    // Chooses another day in MonthCal_1, as the user does.
    static void ChooseDay(const QDate& day);

    // The stored records in physical order as "dd.mm.yyyy hh:mm text|TINDEX",
    // "-" before a record marked deleted. Closes every table; the window's
    // view is opened again afterwards by the next action.
    QStringList StoredRecords();

    // The rows of the day table ("hh:mm text") and the items of List_1.
    static QStringList DayRows();
    static QStringList ElevenDayItems();

    QByteArray TableBytes() const;
    QByteArray ExportedFile(const QString& name) const;
    QString dataPath() const;
    QString exportPath() const;

    // The message boxes shown since the last call, as "KIND: text"; every
    // one must carry the application's name as its title.
    QStringList TakeMessages();

    kesp::test::TestDriver driver_;
    QTemporaryDir folder_;
};
