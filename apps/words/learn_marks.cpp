#include "apps/words/learn_marks.h"

#include "kernel/public_variables.h"
#include "store/dbf_table.h"
#include "store/xbase.h"

#include <QFileInfo>

namespace {

constexpr char kAlias[] = "lernen";

QList<LearnPair>& Marks() {
    static QList<LearnPair> marks;
    return marks;
}

// A side as one field of the file: no tab or line break inside.
QByteArray Cell(const QString& side) {
    QString cell = side;
    for (QChar& c : cell)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return cell.trimmed().toUtf8();
}

LearnPair ReadPair(const QString& german, const QString& english) {
    return {german.trimmed(), english.trimmed()};
}

}  // namespace

void OpenLearnMarks() {
    const QString previous = ALIAS();
    Marks().clear();
    DBUSEAREA(true, THE_DATA_PATH + kLearnMarksTable, kAlias);
    __DBPACK();
    for (DBGOTOP(); !DBEOF(); DBSKIP())
        Marks().append(ReadPair(FIELD("lernen->DE").toString(), FIELD("lernen->EN").toString()));
    if (!previous.isEmpty()) DBSELECTAREA(previous);
}

bool MarkedToLearn(const LearnPair& pair) {
    return Marks().contains(pair);
}

const QList<LearnPair>& LearnMarks() {
    return Marks();
}

void ToggleLearnMark(const LearnPair& pair) {
    const QString previous = ALIAS();
    DBSELECTAREA(kAlias);
    if (Marks().removeOne(pair)) {
        for (DBGOTOP(); !DBEOF(); DBSKIP()) {
            if (ReadPair(FIELD("lernen->DE").toString(), FIELD("lernen->EN").toString()) == pair)
                DBDELETE();
        }
    } else {
        DBAPPEND();
        REPLACE("lernen->DE", pair.first);
        REPLACE("lernen->EN", pair.second);
        DBCOMMIT();
        Marks().append(pair);
    }
    DBSELECTAREA(previous);
}

bool ReadLearnMarks(const QString& tablePath, QList<LearnPair>* marks) {
    if (!QFileInfo::exists(tablePath)) return false;
    using kesp::store::DbfTable;
    const std::unique_ptr<DbfTable> table = DbfTable::Open(tablePath, DbfTable::Purpose::Inspect);
    if (!table) return false;
    const int german = table->FieldIndex(QStringLiteral("DE"));
    const int english = table->FieldIndex(QStringLiteral("EN"));
    for (std::uint32_t record = 1; record <= table->RecordCount(); ++record) {
        if (table->IsDeleted(record)) continue;
        const LearnPair pair = ReadPair(table->Read(record, german).toString(),
                                        table->Read(record, english).toString());
        if (!marks->contains(pair)) marks->append(pair);
    }
    return true;
}

QByteArray LearnFileBytes(const QList<LearnPair>& pairs) {
    QByteArray bytes;
    for (const LearnPair& pair : pairs)
        bytes += Cell(pair.first) + '\t' + Cell(pair.second) + "\tvarnel-kesp\n";
    return bytes;
}
