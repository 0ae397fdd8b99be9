// A word list in a temporary application folder: "de_en.dbf" as installed,
// with a few pairs of the test's own. Every word-list test starts from here.
#pragma once

#include "tests/apps/record_fixture.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

using Pair = QPair<QString, QString>;  // German, English

class WordListFixture : public RecordFixture {
  protected:
    void SetUp() override;
    // Waits for the index of headwords an opening began to build.
    void TearDown() override;
    static void WaitForDictionaryIndex();

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
};
