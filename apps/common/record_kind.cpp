#include "apps/common/record_kind.h"

#include "apps/common/opening_record.h"
#include "kernel/public_variables.h"
#include "store/dbf_table.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <mutex>
#include <unordered_map>
#include <utility>

QString MemoFileOf(const QString& table) {
    return QFileInfo(table).completeBaseName() + QStringLiteral(".fpt");
}

QStringList NumberedFields(const QString& stem, int width) {
    QStringList fields;
    for (int n = 1; n <= 10; ++n)
        fields.append(stem + QString("%1").arg(n, width, 10, QChar('0')));
    return fields;
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
    // Names are also put together on threads that read tables beside the
    // event loop: a template is parsed under the lock, and a parsed one
    // stays where it is while others are added.
    static std::mutex guard;
    static std::unordered_map<QString, TemplateParts> parsed;
    const std::lock_guard lock(guard);
    const auto known = parsed.find(nameTemplate);
    if (known != parsed.end()) return known->second;
    static const QRegularExpression field(R"(\{(\w+)\})");
    TemplateParts parts;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : field.globalMatch(nameTemplate)) {
        parts.literals.append(nameTemplate.mid(from, match.capturedStart() - from));
        parts.fields.append(match.captured(1));
        from = match.capturedEnd();
    }
    parts.literals.append(nameTemplate.mid(from));
    return parsed.emplace(nameTemplate, std::move(parts)).first->second;
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

// The first live record of a table of the data folder, only looked at: fields
// named in `fields`, trimmed; empty when it cannot be read.
QStringList FirstRecordOf(const QString& table, const QStringList& fields) {
    const auto read =
        kesp::store::DbfTable::Open(THE_DATA_PATH + table, kesp::store::DbfTable::Purpose::Inspect);
    const std::uint32_t first = read ? kesp::store::NextLiveRecord(*read, 0) : 0;
    if (first == 0) return {};
    QStringList values;
    for (const QString& field : fields)
        values.append(read->Read(first, read->FieldIndex(field)).toString().trimmed());
    return values;
}

}  // namespace

bool TakesUserName(const RecordKind& kind) {
    return kind.userCaptions && !kind.userCaptions->applicationName.isEmpty();
}

QString UserKindName(const RecordKind& kind) {
    if (!TakesUserName(kind)) return {};
    return FirstRecordOf(kind.userCaptions->table, {kind.userCaptions->applicationName}).value(0);
}

QString KindName(const RecordKind& kind) {
    const QString name = UserKindName(kind);
    return name.isEmpty() ? TEXT(kind.name) : name;
}

namespace {

std::function<void(const RecordKind&, const QString&)>& RenameListener() {
    static std::function<void(const RecordKind&, const QString&)> listener;
    return listener;
}

}  // namespace

void TellKindRenamed(const RecordKind& kind, const QString& name) {
    if (RenameListener()) RenameListener()(kind, name);
}

void ListenToKindRenames(
    std::function<void(const RecordKind& kind, const QString& name)> listener) {
    RenameListener() = std::move(listener);
}

QStringList ReadUserCaptions(const RecordKind& kind) {
    if (!kind.userCaptions) return {};
    return FirstRecordOf(kind.userCaptions->table, kind.userCaptions->captionFields);
}

bool DateValueFallsOnDayOfYear(const QDate& value, DateMeaning meaning, const QDate& day) {
    if (!value.isValid()) return false;
    int year = 0, month = 0, dayOfMonth = 0;
    value.getDate(&year, &month, &dayOfMonth);
    if (dayOfMonth == day.day() && month == day.month()) return true;
    const bool leapDayOnTheDayBefore = meaning == DateMeaning::Yearly && day.month() == 2 &&
                                       day.day() == 28 && !QDate::isLeapYear(day.year());
    return leapDayOnTheDayBefore && month == 2 && dayOfMonth == 29;
}

std::function<bool()> DateFallsOnDayOfYear(const KindDate& date, const QString& alias,
                                           const QDate& day) {
    const QString only = date.onlyWhere.isEmpty() ? QString() : alias + "->" + date.onlyWhere;
    const QString field = alias + "->" + date.field;
    return [only, field, meaning = date.meaning, day] {
        if (!only.isEmpty() && !FIELD(only).toBool()) return false;
        return DateValueFallsOnDayOfYear(FIELD(field).toDate(), meaning, day);
    };
}

void OpenRecordKindOn(const RecordKind& kind, int record) {
    AskToOpenOn(record);
    kind.open();
}
