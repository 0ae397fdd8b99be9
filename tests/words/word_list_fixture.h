// A word list in a temporary application folder (data/ with "de_en.dbf"),
// the global settings the start-up routine fixes, and a language to work in.
// Every word-list test starts from here, with a few pairs of its own.
#pragma once

#include "toolkit/test_driver.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable texts in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

using Pair = QPair<QString, QString>;  // German, English

class WordListFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // "DE", "AM" or "BR".
    void UseLanguage(const QString& code);

    // Writes "de_en.dbf" with these pairs; the pairs whose German word is in
    // `deleted` are marked deleted.
    void CreateDictionary(const QList<Pair>& pairs, const QStringList& deleted = {});

    // The German words of the list, top to bottom, as "De = En".
    static QStringList ListedPairs();
    // The pair in the edit frame, "De = En".
    static QString PairShown();
    static QString Status();
    static QColor BoxColour(const QString& box);

    // Types the text into the lookup box (emptied first) and presses its button.
    static void LookUpGerman(const QString& text);
    static void LookUpEnglish(const QString& text);
    // Types a new pair into the add frame and presses its button.
    static void AddPair(const QString& german, const QString& english);
    // Selects the row of the list that shows this German word.
    static void SelectGerman(const QString& german);

    // The stored pairs in physical order, "-" before a pair marked deleted.
    QStringList StoredPairs();

    QString dataPath() const;

    // The message boxes shown since the last call, as "KIND: text".
    QStringList TakeMessages();

    kesp::test::TestDriver driver_;
    QTemporaryDir folder_;
};
