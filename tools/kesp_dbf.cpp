// kesp-dbf: looks at a table of the program without the program.
//
//   kesp-dbf structure <table.dbf>   the header and the fields
//   kesp-dbf dump <table.dbf>        every record as UTF-8 CSV (deleted ones marked)
//   kesp-dbf check <table.dbf>       table and memo file checked for damage
//   kesp-dbf repair <table.dbf>      a new table with every readable record; the
//                                    original table and memo file kept as backups
//
// File names are taken byte for byte, whatever their encoding. Nothing but
// repair writes to the files.
//
// A table of the program's own (named as the installed tables are) whose
// header cannot be read is repaired from the program's description of it.
//
// Exit status: 0 fine (or repaired), 1 damage found, 2 the table cannot be
// opened or read, 3 another program holds the table, 64 wrong usage.
#include "data/installed_table_files.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_names.h"

#include <QDate>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

using kesp::store::DbfTable;

namespace {

enum ExitStatus { kFine = 0, kDamaged = 1, kUnreadable = 2, kLocked = 3, kUsage = 64 };

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}
void PrintError(const QString& text) {
    std::fputs((text + '\n').toUtf8().constData(), stderr);
}

QString CsvField(QString text) {
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char(',')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QString VersionName(std::uint8_t version) {
    switch (version) {
        case 0x03:
            return QStringLiteral("dBase III, no memo");
        case 0x83:
            return QStringLiteral("dBase III with .dbt memo");
        case 0x8B:
            return QStringLiteral("dBase IV with .dbt memo");
        case 0xF5:
            return QStringLiteral("FoxPro 2 with .fpt memo");
        case 0x30:
        case 0x31:
        case 0x32:
            return QStringLiteral("Visual FoxPro");
        default:
            return QStringLiteral("unknown");
    }
}

int ShowStructure(const DbfTable& table) {
    Print(QStringLiteral("table:          %1\n").arg(table.path()));
    Print(QStringLiteral("version:        0x%1 (%2)\n")
              .arg(table.version(), 2, 16, QLatin1Char('0'))
              .arg(VersionName(table.version())));
    Print(QStringLiteral("last update:    %1\n").arg(table.lastUpdate().toString(Qt::ISODate)));
    Print(QStringLiteral("records:        %1 (header says %2)\n")
              .arg(table.RecordCount())
              .arg(table.headerCount()));
    Print(QStringLiteral("header length:  %1\n").arg(table.headerLength()));
    Print(QStringLiteral("record length:  %1\n").arg(table.recordLength()));
    if (const auto kind = table.memoKind()) {
        Print(QStringLiteral("memo file:      %1\n")
                  .arg(*kind == kesp::MemoKind::Fpt ? ".fpt" : ".dbt"));
    }
    Print(QStringLiteral("fields:\n"));
    for (const kesp::store::Field& f : table.fields()) {
        Print(QStringLiteral("  %1 %2 %3 %4\n")
                  .arg(f.name, -10)
                  .arg(QLatin1Char(f.type))
                  .arg(f.length, 4)
                  .arg(f.decimals));
    }
    return kFine;
}

QString CsvValue(const DbfTable& table, std::uint32_t record, int field) {
    const QVariant value = table.Read(record, field);
    switch (table.fields()[field].type) {
        case 'D':
            return value.toDate().isValid() ? value.toDate().toString(Qt::ISODate) : QString();
        case 'L':
            return value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
        case 'N':
        case 'F':
            return QString::number(value.toDouble(), 'f', table.fields()[field].decimals);
        case 'M':
            return value.toString();
        default: {
            QString text = value.toString();
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            return text;
        }
    }
}

int Dump(const DbfTable& table) {
    QStringList header{QStringLiteral("DELETED")};
    for (const kesp::store::Field& f : table.fields())
        header << f.name;
    Print(header.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
    for (std::uint32_t r = 1; r <= table.RecordCount(); ++r) {
        QStringList line{table.IsDeleted(r) ? QStringLiteral("*") : QString()};
        for (int i = 0; i < static_cast<int>(table.fields().size()); ++i) {
            line << CsvField(CsvValue(table, r, i));
        }
        Print(line.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
    }
    return kFine;
}

int Check(const DbfTable& table) {
    const std::vector<QString> problems = table.Check();
    for (const QString& problem : problems)
        Print(problem + QLatin1Char('\n'));
    if (!problems.empty()) {
        Print(QStringLiteral("%1 problem(s) found\n").arg(problems.size()));
        return kDamaged;
    }
    Print(QStringLiteral("%1: no damage found (%2 records)\n")
              .arg(table.path())
              .arg(table.RecordCount()));
    return kFine;
}

int Repair(DbfTable& table) {
    const kesp::store::RepairReport report = table.Repair();
    Print(
        QStringLiteral("%1: repaired, %2 record(s) kept\n").arg(table.path()).arg(report.records));
    for (const QString& emptied : report.emptied)
        Print(QStringLiteral("memo emptied: %1\n").arg(emptied));
    for (const QString& emptied : report.datesEmptied)
        Print(QStringLiteral("date emptied (not a date): %1\n").arg(emptied));
    Print(QStringLiteral("the original table is kept as %1\n").arg(report.tableBackup));
    if (!report.memoBackup.isEmpty())
        Print(QStringLiteral("the original memo file is kept as %1\n").arg(report.memoBackup));
    return kFine;
}

// The fault's sub-code of a damaged file.
constexpr int kDamage = 1012;

// The fault with the system's own words for its error code.
QString Explained(const kesp::Fault& fault) {
    QString text = fault.text();
    if (fault.osCode != 0) text += QStringLiteral(": ") + fault.reason();
    return text;
}

// A table of the program's own whose header cannot be read gets the header
// the program's description of it gives, with every whole record after it.
int RebuildFromDescription(const QString& path, const kesp::TableDescription& own,
                           const kesp::Fault& damage) {
    kesp::Fault told = damage;
    told.remedy.clear();
    PrintError(Explained(told));
    try {
        const std::optional<kesp::store::RepairReport> report =
            kesp::store::RebuildTable(path, kesp::FieldSpecs(own), kesp::MemoKind::Fpt);
        if (!report) {
            PrintError(QStringLiteral("%1 is in use by another program").arg(path));
            return kLocked;
        }
        Print(QStringLiteral("%1: header rebuilt from the program's description of %2, %3 "
                             "record(s) kept\n")
                  .arg(path, own.file)
                  .arg(report->records));
        Print(QStringLiteral("the original table is kept as %1\n").arg(report->tableBackup));
        return kFine;
    } catch (const kesp::FaultException& e) {
        kesp::Fault fault = e.fault();
        fault.remedy.clear();
        PrintError(Explained(fault));
        PrintError(QStringLiteral("%1: not repaired, nothing was changed").arg(path));
        return kUnreadable;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const QStringList commands = {"structure", "dump", "check", "repair"};
    if (argc != 3 || !commands.contains(QString::fromLatin1(argv[1]))) {
        PrintError(QStringLiteral("usage: kesp-dbf structure|dump|check|repair <table.dbf>"));
        return kUsage;
    }
    const QString command = QString::fromLatin1(argv[1]);
    const QString path = kesp::store::FileNameFromNative(QByteArray(argv[2]));
    const bool repair = command == QLatin1String("repair");
    try {
        const std::unique_ptr<DbfTable> table =
            DbfTable::Open(path, repair ? DbfTable::Purpose::Repair : DbfTable::Purpose::Inspect);
        if (!table) {
            PrintError(QStringLiteral("%1 is in use by another program").arg(path));
            return kLocked;
        }
        if (command == QLatin1String("structure")) return ShowStructure(*table);
        if (command == QLatin1String("dump")) return Dump(*table);
        if (repair) return Repair(*table);
        return Check(*table);
    } catch (const kesp::FaultException& e) {
        if (repair && e.fault().subCode == kDamage) {
            if (const kesp::TableDescription* own =
                    kesp::InstalledTable(QFileInfo(path).fileName()))
                return RebuildFromDescription(path, *own, e.fault());
        }
        if (repair) {
            // The damage could not be aligned with what the table should hold:
            // nothing was written, and the advice is not this command again.
            kesp::Fault fault = e.fault();
            fault.remedy.clear();
            PrintError(Explained(fault));
            PrintError(QStringLiteral("%1: not repaired, nothing was changed").arg(path));
            return kUnreadable;
        }
        PrintError(Explained(e.fault()));
        // For "check" a file that cannot be read at all is damage too.
        return e.fault().subCode == 1012 ? kDamaged : kUnreadable;
    }
}
