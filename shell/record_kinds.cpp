#include "shell/record_kinds.h"

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "apps/agenda/agenda.h"
#include "apps/birthdays/birthdays.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/opening_record.h"
#include "apps/custom/custom_database.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "apps/words/word_list.h"
#include "kernel/public_variables.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// "FREE01" ... "FREE10", or with one digit: "FREE1" ... "FREE10".
QStringList NumberedFields(const QString& stem, int width) {
    QStringList fields;
    for (int n = 1; n <= 10; ++n)
        fields.append(stem + QString("%1").arg(n, width, 10, QChar('0')));
    return fields;
}

// The texts of the address books' extra fields: five texts and a long text.
QStringList ExtraTextFields() {
    return {"FREE01", "FREE02", "FREE03", "FREE04", "FREE05", "FREE10"};
}

UserCaptions AddressCaptions(const QString& table) {
    return {.table = table,
            .captionFields = NumberedFields("FREE", 1),
            .fields = NumberedFields("FREE", 2)};
}

KindDate Birthday() {
    return {.field = "GEBURTSTAG", .meaning = DateMeaning::Yearly, .onlyWhere = "LISTE"};
}

QList<RecordKind> Describe() {
    QList<RecordKind> kinds;

    kinds.append(
        {.id = "private",
         .table = "adressen_p.dbf",
         .otherTables = {"freeadr_p.dbf"},
         .memoFile = "adressen_p.fpt",
         .name = {"Adressen-Privat", "Contacts(friends)", "Endereços(Amigos)"},
         .launchButton = "Button_1",
         .pictureButton = "Button_5",
         .picture = "img/hauptuser.bmp",
         .open = OPENFORM_ADRESSE_P,
         .nameTemplate = "{VORNAME} {NACHNAME}",
         .searchFields =
             QStringList{"VORNAME", "NACHNAME", "STRASSE", "PLZ", "ORT", "TEL", "HANDY", "FAX",
                         "EMAIL", "FIRMA", "TELFIRMA", "FAXFIRMA", "EMAILFIRMA"} +
             ExtraTextFields(),
         .userCaptions = AddressCaptions("freeadr_p.dbf"),
         .dates = {Birthday()},
         .statistics = {
             {.label = "lbl_1",
              .progress = 0,
              .status = {"Adressen [Privat] wird aktualisiert", "Update Contacts [friends]",
                         "Endereços [Amigos] estão sendo atualizados"},
              .suffix = {" Adressen [Privat]", " Contacts [friends]", " Endereços [Amigos]"}}}});

    // The birthday list shows the listed persons of the private address book.
    kinds.append(
        {.id = "birthdays",
         .table = "adressen_p.dbf",
         .viewOf = "private",
         .name = {"Geburtstagsliste", "Birthday", "Lista de Anivers."},
         .launchButton = "Button_4",
         .pictureButton = "Button_6",
         .picture = "img/hauptfiesta.bmp",
         .open = OPENFORM_GEBURT,
         .nameTemplate = "{VORNAME} {NACHNAME}",
         .dates = {Birthday()},
         .statistics = {
             {.label = "lbl_2",
              .progress = 10,
              .status = {"Geburtstag [Heute] wird aktualisiert", "Update birthday [today]",
                         "Aniversários [Hoje] estão sendo atualizados"},
              .suffix = {" Geburtstag [Heute]", " Birthday [today]", " Aniversários [Hoje]"},
              .today = DateMeaning::Yearly}}});

    kinds.append(
        {.id = "business",
         .table = "adressen_g.dbf",
         .otherTables = {"freeadr_g.dbf"},
         .memoFile = "adressen_g.fpt",
         .name = {"Adressen-Geschäftl.", "Contacts (Business)", "Endereços Comerciais"},
         .launchButton = "Button_2",
         .pictureButton = "Button_9",
         .picture = "img/hauptfirmen.bmp",
         .open = OPENFORM_ADRESSE_G,
         .nameTemplate = "{VORNAME} {NACHNAME}",
         .searchFields = QStringList{"VORNAME", "NACHNAME", "STRASSE", "PLZ", "ORT", "TEL", "HANDY",
                                     "FAX", "EMAIL", "TELFIRMA", "FAXFIRMA", "EMAILFIRMA"} +
                         ExtraTextFields(),
         .userCaptions = AddressCaptions("freeadr_g.dbf"),
         .statistics = {
             {.label = "lbl_3",
              .progress = 20,
              .status = {"Adressen [Gechäftl.] wird aktualisiert", "Update Contacts [business]",
                         "Endereços [Comerciais] estão sendo atualizados"},
              .suffix = {" Adressen [Gechäftl.]", " Contacts [business]",
                         " Endereços [Comerciais]"}}}});

    kinds.append(
        {.id = "agenda",
         .table = "agenda.dbf",
         .otherTables = {"agenda_uid.dbf", "agenda_info.dbf"},
         .name = {"Agenda", "Agenda", "Agenda"},
         .launchButton = "Button_13",
         .pictureButton = "Button_10",
         .picture = "img/agenda.bmp",
         .open = OPENFORM_AGENDA,
         .nameTemplate = "{DATUM} {STUN}:{MINU} {TERMIN}",
         .nameBesideItsDay = "{TERMIN}",
         .searchFields = {"TERMIN"},
         .dates = {{.field = "DATUM",
                    .meaning = DateMeaning::Appointment,
                    .hourField = "STUN",
                    .minuteField = "MINU"}},
         .statistics = {
             {.label = "lbl_4",
              .progress = 30,
              .status = {"Termine [heute] wird aktualisiert", "Update appointments [today]",
                         "Compromissos [Hoje] estão sendo atualizados"},
              .suffix = {" Termine [heute]", " Appointments [today]", " Compromissos [Hoje]"},
              .today = DateMeaning::Appointment}}});

    kinds.append(
        {.id = "notes",
         .table = "notiz.dbf",
         .memoFile = "notiz.fpt",
         .name = {"Notizen", "Notes", "Lembretes"},
         .launchButton = "Button_14",
         .pictureButton = "Button_11",
         .picture = "img/notiz.bmp",
         .open = OPENFORM_NOTIZ,
         .nameTemplate = "{N_TITEL}",
         .searchFields = {"N_TITEL", "N_TEXT"},
         .dates = {{.field = "DATUM", .meaning = DateMeaning::Reminder}},
         .statistics = {{.label = "lbl_5",
                         .progress = 40,
                         .status = {"Notizen [heute] wird aktualisiert", "Update notes [today]",
                                    "Lembretes [Hoje] estão sendo atualizados"},
                         .suffix = {" Notizen [heute]", " Notes [today]", " Lembretes [Hoje]"},
                         .today = DateMeaning::Reminder}}});

    kinds.append(
        {.id = "projects",
         .table = "projekt.dbf",
         .memoFile = "projekt.fpt",
         .name = {"Projekte", "Projects", "Projetos"},
         .launchButton = "Button_15",
         .pictureButton = "Button_12",
         .picture = "img/besprech.bmp",
         .open = OPENFORM_PROJEKT,
         .nameTemplate = "{N_TITEL}",
         .searchFields = {"N_TITEL", "N_TEIL", "N_TEXT"},
         .dates = {{.field = "DATUME", .meaning = DateMeaning::Due, .doneField = "FERTIG"}},
         .statistics = {{.label = "lbl_6",
                         .progress = 50,
                         .status = {"Projekte [heute fertig] wird aktualisiert",
                                    "Update projects [deadline today]",
                                    "Projetos [Prontos p/ hoje] estão sendo atualizados"},
                         .suffix = {" Projekte [heute fertig]", " Projects [deadline today]",
                                    " Projetos [Prontos p/ hoje]"},
                         .today = DateMeaning::Due}}});

    kinds.append({.id = "bookmarks",
                  .table = "internet.dbf",
                  .memoFile = "internet.fpt",
                  .name = {"Internet Bookmarks", "Internet Bookmarks", "Internet Bookmarks"},
                  .launchButton = "Button_19",
                  .pictureButton = "Button_16",
                  .picture = "img/hyper.bmp",
                  .open = OPENFORM_INTERNET,
                  .nameTemplate = "{N_TITEL}",
                  .searchFields = {"N_TITEL", "KATEG", "N_HYPER", "N_KOM"},
                  .statistics = {{.label = "lbl_7",
                                  .progress = 50,
                                  .status = {"[Bookmarks] wird aktualisiert", "Update [bookmarks]",
                                             "[Bookmarks] estão sendo atualizados"},
                                  .suffix = {" [Bookmarks]", " [bookmarks]", " [Bookmarks]"}}}});

    kinds.append(
        {.id = "tips",
         .table = "Tricks.dbf",
         .otherTables = {"ergeb.dbf"},
         .memoFile = "Tricks.fpt",
         .name = {"Tipps und Tricks", "Tips and Tricks", "Macetes"},
         .launchButton = "Button_20",
         .pictureButton = "Button_17",
         .picture = "img/tipps.bmp",
         .open = OPENFORM_TIPPS,
         .nameTemplate = "{TITEL}",
         .searchFields = {"TITEL", "BEZ"},
         .statistics = {{.label = "lbl_8",
                         .progress = 60,
                         .status = {"[Tipps und Tricks] wird aktualisiert",
                                    "Update [Tips & Tricks]", "[Macetes] estão sendo atualizados"},
                         .suffix = {" [Tipps und Tricks]", " [Tips and Tricks]", " [Macetes]"}}}});

    kinds.append({.id = "words",
                  .table = "de_en.dbf",
                  .name = {"Wörterbuch", "Dictionary", "Dicionário"},
                  .launchButton = "Button_21",
                  .pictureButton = "Button_18",
                  .picture = "img/woerter.bmp",
                  .open = OPENFORM_WOERTER,
                  .nameTemplate = "{DE} = {EN}",
                  .searchFields = {"DE", "EN"},
                  .searchRows = 50,
                  .statistics = {{.label = "lbl_9",
                                  .progress = 70,
                                  .status = {"[Wörter] wird aktualisiert", "Update [dictionary]",
                                             "[Dicionários] estão sendo atualizados"},
                                  .suffix = {" [Wörter]", " [words]", " [Palavras]"}}}});

    kinds.append({.id = "custom",
                  .table = "kespfree.dbf",
                  .otherTables = {"myfields.dbf"},
                  .memoFile = "kespfree.fpt",
                  .name = {"Eigene Anwendung", "My own application", "Meu próprio aplicativo"},
                  .launchButton = "Button_27",
                  .pictureButton = "Button_24",
                  .picture = "img/myform.bmp",
                  .open = OPENFORM_MYAPP,
                  .nameTemplate = "{FREE01}",
                  .nameCaption = 1,
                  .searchFields = {"FREE01", "FREE02", "FREE03", "FREE04", "FREE05", "FREE10"},
                  .userCaptions = UserCaptions{.table = "myfields.dbf",
                                               .captionFields = NumberedFields("FREE", 2),
                                               .fields = NumberedFields("FREE", 2),
                                               .applicationName = "APPNAME"},
                  .dates = {{.field = "FREE09", .meaning = DateMeaning::Named, .userCaption = 9}},
                  .statistics = {{.label = "lbl_12",
                                  .progress = 100,
                                  .status = {"[Daten] wird aktualisiert", "Update [Data]",
                                             "[Dados] estão sendo atualizados"},
                                  .suffix = {" [Daten]", " [Data]", " [Dados]"}}}});
    return kinds;
}

}  // namespace

const QList<RecordKind>& RecordKinds() {
    static const QList<RecordKind> kinds = Describe();
    return kinds;
}

QList<const RecordKind*> KindsWithTablesOfTheirOwn() {
    QList<const RecordKind*> kinds;
    for (const RecordKind& kind : RecordKinds())
        if (kind.viewOf.isEmpty()) kinds.append(&kind);
    return kinds;
}

const RecordKind& RecordKindNamed(const QString& id) {
    for (const RecordKind& kind : RecordKinds())
        if (kind.id == id) return kind;
    kesp::RaiseFault({.subsystem = "KESP",
                      .description = "No record kind",
                      .detail = "the catalogue holds no kind \"" + id + "\""});
}

const KindDate* DateOf(const RecordKind& kind, DateMeaning meaning) {
    for (const KindDate& date : kind.dates)
        if (date.meaning == meaning) return &date;
    return nullptr;
}

QString ShownFieldValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return value.toDate().isValid() ? DTOC(value.toDate()) : QString();
        case QMetaType::Double:
            return QString::number(value.toDouble());
        default:
            return value.toString().trimmed();
    }
}

QString ComposeRecordName(const RecordKind& kind,
                          const std::function<QString(const QString& field)>& valueOf,
                          const QStringList& userCaptions) {
    return ComposeRecordName(kind, kind.nameTemplate, valueOf, userCaptions);
}

namespace {

// A name template taken apart once: literal text and field names, alternating.
struct TemplateParts {
    QStringList literals;  // one more than fields
    QStringList fields;
};

const TemplateParts& PartsOf(const QString& nameTemplate) {
    static QHash<QString, TemplateParts> parsed;
    const auto known = parsed.constFind(nameTemplate);
    if (known != parsed.constEnd()) return *known;
    static const QRegularExpression field(R"(\{(\w+)\})");
    TemplateParts parts;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : field.globalMatch(nameTemplate)) {
        parts.literals.append(nameTemplate.mid(from, match.capturedStart() - from));
        parts.fields.append(match.captured(1));
        from = match.capturedEnd();
    }
    parts.literals.append(nameTemplate.mid(from));
    return *parsed.insert(nameTemplate, parts);
}

}  // namespace

QString ComposeRecordName(const RecordKind& kind, const QString& nameTemplate,
                          const QStringList& values, const QStringList& userCaptions) {
    const TemplateParts& parts = PartsOf(nameTemplate);
    QString name = parts.literals.first();
    for (qsizetype i = 0; i < parts.fields.size(); ++i)
        name += values.value(i) + parts.literals[i + 1];
    name = name.trimmed();
    if (kind.nameCaption > 0) {
        const QString caption = userCaptions.value(kind.nameCaption - 1).trimmed();
        if (!caption.isEmpty()) name = caption + ": " + name;
    }
    return name;
}

QString ComposeRecordName(const RecordKind& kind, const QString& nameTemplate,
                          const std::function<QString(const QString& field)>& valueOf,
                          const QStringList& userCaptions) {
    QStringList values;
    for (const QString& field : PartsOf(nameTemplate).fields)
        values.append(valueOf(field));
    return ComposeRecordName(kind, nameTemplate, values, userCaptions);
}

QString RecordName(const RecordKind& kind, const QString& alias, const QStringList& userCaptions) {
    return ComposeRecordName(
        kind,
        [&alias](const QString& field) { return ShownFieldValue(FIELD(alias + "->" + field)); },
        userCaptions);
}

QStringList NameFields(const RecordKind& kind) {
    return TemplateFields(kind.nameTemplate);
}

QStringList TemplateFields(const QString& nameTemplate) {
    return PartsOf(nameTemplate).fields;
}

namespace {

// The first record of a table of the data folder, only looked at: fields
// named in `fields`, trimmed; empty when it cannot be read.
QStringList FirstRecordOf(const QString& table, const QStringList& fields) {
    const auto read =
        kesp::store::DbfTable::Open(THE_DATA_PATH + table, kesp::store::DbfTable::Purpose::Inspect);
    if (!read || read->RecordCount() == 0) return {};
    QStringList values;
    for (const QString& field : fields) {
        const int column = read->FieldIndex(field);
        values.append(column < 0 ? QString() : read->Read(1, column).toString().trimmed());
    }
    return values;
}

}  // namespace

QString KindName(const RecordKind& kind) {
    if (kind.userCaptions && !kind.userCaptions->applicationName.isEmpty()) {
        const QString name =
            FirstRecordOf(kind.userCaptions->table, {kind.userCaptions->applicationName}).value(0);
        if (!name.isEmpty()) return name;
    }
    return TEXT(kind.name);
}

QStringList ReadUserCaptions(const RecordKind& kind) {
    if (!kind.userCaptions) return {};
    return FirstRecordOf(kind.userCaptions->table, kind.userCaptions->captionFields);
}

bool DateFallsOnDayOfYear(const KindDate& date, const QString& alias, const QDate& day) {
    if (!date.onlyWhere.isEmpty() && !FIELD(alias + "->" + date.onlyWhere).toBool()) return false;
    const QDate value = FIELD(alias + "->" + date.field).toDate();
    if (!value.isValid()) return false;
    if (value.day() == day.day() && value.month() == day.month()) return true;
    return date.meaning == DateMeaning::Yearly && value.month() == 2 && value.day() == 29 &&
           day.month() == 2 && day.day() == 28 && !QDate::isLeapYear(day.year());
}

void OpenRecordKindOn(const RecordKind& kind, int record) {
    AskToOpenOn(record);
    kind.open();
}
