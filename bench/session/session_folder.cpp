#include "bench/session/session_folder.h"

#include "data/installed_tables.h"
#include "shell/record_kinds.h"
#include "store/dbf_table.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <memory>

using kesp::store::DbfTable;

namespace {

const QStringList kFirstNames = {"Martin", "Anna",   "Bernd",   "Claudia", "Dieter", "Eva",
                                 "Frank",  "Gisela", "Hans",    "Ingrid",  "Jürgen", "Karin",
                                 "Lukas",  "Maria",  "Norbert", "Olga",    "Peter",  "Renate",
                                 "Stefan", "Ursula", "Werner",  "Zoë",     "João",   "Mariana"};
const QStringList kSurnames = {
    "Müller",  "Schmidt",    "Schneider", "Fischer",  "Weber",   "Meyer", "Wagner", "Becker",
    "Schulz",  "Hoffmann",   "Koch",      "Bauer",    "Richter", "Klein", "Wolf",   "Schröder",
    "Neumann", "Zimmermann", "Krüger",    "Hartmann", "Lange",   "Silva", "Santos"};
const QStringList kTowns = {"Köln",    "München", "Hamburg",   "Berlin",      "Düsseldorf",
                            "Leipzig", "Dresden", "Nürnberg",  "Frankfurt",   "São Paulo",
                            "Bremen",  "Münster", "Göttingen", "Porto Alegre"};
const QStringList kWords = {
    "Garten",      "Rechnung", "Schule",   "Fußball", "Geburtstag", "Termin", "Arzt",   "Urlaub",
    "Projekt",     "Angebot",  "Café",     "Haus",    "Brief",      "Konto",  "Reise",  "Zahnarzt",
    "Übergabe",    "Wohnung",  "Besuch",   "Auto",    "Werkstatt",  "Bank",   "Steuer", "Einkauf",
    "Besprechung", "Kinder",   "Training", "Konzert", "Buch",       "Rezept"};

class Writer {
  public:
    explicit Writer(quint32 seed) : random_(seed) {}

    QString Pick(const QStringList& list) { return list[random_.bounded(list.size())]; }
    QString Digits(int count) {
        QString digits;
        for (int i = 0; i < count; ++i)
            digits += QChar('0' + random_.bounded(10));
        return digits;
    }
    QString Words(int count) {
        QStringList words;
        for (int i = 0; i < count; ++i)
            words.append(Pick(kWords));
        return words.join(' ');
    }
    QString Sentences(int length) {
        QString text;
        while (text.size() < length)
            text += Words(6 + random_.bounded(8)) + ". ";
        return text.left(length).trimmed();
    }
    int Bounded(int from, int to) { return from + random_.bounded(to - from + 1); }

    // A value as people type it into a text field of this name.
    QString Text(const QString& field, int width, int record) {
        const QString name = field.toUpper();
        // Every hundredth record begins with the name typed into the search boxes.
        if (record % 100 == 0 &&
            (name == "VORNAME" || name.contains("TITEL") || name == "TERMIN" || name == "FREE01"))
            return TypedName() + QString::number(record);
        if (name == "VORNAME") return Pick(kFirstNames);
        if (name == "NACHNAME") return Pick(kSurnames);
        if (name == "STRASSE")
            return Pick(kSurnames) + "straße " + QString::number(Bounded(1, 180));
        if (name == "PLZ") return Digits(5);
        if (name == "ORT") return Pick(kTowns);
        if (name.startsWith("TEL") || name.startsWith("FAX") || name == "HANDY")
            return "0" + Digits(3) + " " + Digits(7);
        if (name.startsWith("EMAIL"))
            return Pick(kFirstNames).toLower() + "." + QString::number(record) + "@beispiel.de";
        if (name == "FIRMA") return Pick(kSurnames) + " GmbH";
        if (name == "N_HYPER")
            return "https://www." + Pick(kWords).toLower() + ".de/" + Pick(kWords).toLower();
        if (name == "STUN") return QString("%1").arg(Bounded(7, 19), 2, 10, QChar('0'));
        if (name == "MINU") return QString("%1").arg(Bounded(0, 3) * 15, 2, 10, QChar('0'));
        if (name == "KATEG") return Pick(kWords);
        if (name.contains("TITEL") || name == "TERMIN") return Words(Bounded(2, 6)).left(width);
        return Words(Bounded(1, 3)).left(width);
    }

  private:
    QRandomGenerator random_;
};

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& file : QDir(from).entryInfoList(QDir::Files))
        QFile::copy(file.absoluteFilePath(), to + "/" + file.fileName());
}

void FillTable(const QString& path, const QString& kindId, int records, const QDate& today) {
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path);
    Writer writer(qHash(kindId));
    // Appointments, notes and projects lie in the three years around today;
    // birthdays and the other dates anywhere in a lifetime.
    const bool recent = kindId == "agenda" || kindId == "notes" || kindId == "projects";
    const QDate firstDay = today.addYears(-1);
    const int days = static_cast<int>(firstDay.daysTo(today.addYears(2)));
    const int tindex = table->FieldIndex("TINDEX");
    for (int record = 1; record <= records; ++record) {
        table->AppendBlank();
        QDate day;
        QDate due;  // a project's
        for (std::size_t f = 0; f < table->fields().size(); ++f) {
            const kesp::store::Field& field = table->fields()[f];
            const int index = static_cast<int>(f);
            switch (field.type) {
                case 'C':
                    if (index != tindex)
                        table->Write(record, index, writer.Text(field.name, field.length, record));
                    break;
                case 'M':
                    if (record % 10 == 0)
                        table->Write(record, index, writer.Sentences(writer.Bounded(200, 1200)));
                    break;
                case 'D':
                    day = recent ? firstDay.addDays(writer.Bounded(0, days))
                                 : QDate(writer.Bounded(1940, 2026), writer.Bounded(1, 12),
                                         writer.Bounded(1, 28));
                    table->Write(record, index, day);
                    if (field.name == "DATUME") due = day;
                    break;
                case 'L':
                    // Most projects of the past are done, as in a list kept up to date.
                    if (field.name == "FERTIG")
                        table->Write(record, index, due < today && writer.Bounded(0, 19) != 0);
                    else
                        table->Write(record, index, writer.Bounded(0, 3) == 0);
                    break;
                default:
                    table->Write(record, index, double(writer.Bounded(1, 500)));
            }
        }
        if (tindex >= 0)
            table->Write(record, tindex,
                         DTOC(day) + table->Read(record, table->FieldIndex("STUN")).toString() +
                             table->Read(record, table->FieldIndex("MINU")).toString());
    }
    table->Commit();
}

}  // namespace

QString TypedName() {
    return QStringLiteral("Sommerfeld");
}

void MakeSessionFolder(const QString& appFolder, const QString& folder, int records,
                       const QDate& today) {
    for (const char* sub : {"data", "img"})
        CopyFolder(appFolder + "/" + sub, folder + "/" + sub);
    QDir(folder).mkpath("export");
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn()) {
        if (kind->id == "words") continue;
        FillTable(folder + "/data/" + kind->table, kind->id, records, today);
    }
}
