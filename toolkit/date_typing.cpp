#include "toolkit/date_typing.h"

#include <QList>

namespace kesp {
namespace {

// One part of a date format: 'd', 'm' or 'y' and its number of digits.
struct DatePart {
    QChar letter;
    int width = 0;
};

struct DateLayout {
    QList<DatePart> parts;  // in the order of the format
    QChar separator;        // null when the format has none
};

DateLayout LayoutOf(const QString& dateFormat) {
    DateLayout layout;
    for (const QChar c : dateFormat.toLower()) {
        if (c == u'd' || c == u'm' || c == u'y') {
            if (layout.parts.isEmpty() || layout.parts.last().letter != c)
                layout.parts.append({c, 0});
            ++layout.parts.last().width;
        } else if (layout.separator.isNull()) {
            layout.separator = c;
        }
    }
    return layout;
}

bool AllDigits(const QString& text) {
    for (const QChar c : text)
        if (!c.isDigit()) return false;
    return true;
}

}  // namespace

TypedDate ReadTypedDate(const QString& typed, const QString& dateFormat) {
    const DateLayout layout = LayoutOf(dateFormat);
    QString text = typed;
    text.remove(QLatin1Char(' '));
    if (QString(text).remove(layout.separator).isEmpty()) return {TypedDate::Kind::Empty, {}};
    if (layout.parts.size() != 3) return {};

    QStringList pieces;
    if (!layout.separator.isNull() && text.contains(layout.separator)) {
        pieces = text.split(layout.separator);
    } else {
        int at = 0;
        for (const DatePart& part : layout.parts) {
            pieces.append(text.mid(at, part.width));
            at += part.width;
        }
        if (at != text.size()) return {};
    }
    if (pieces.size() != 3) return {};

    int day = 0, month = 0, year = 0;
    for (qsizetype i = 0; i < 3; ++i) {
        const QString& piece = pieces[i];
        const DatePart& part = layout.parts[i];
        if (piece.isEmpty() || !AllDigits(piece)) return {};
        if (part.letter == u'y' ? piece.size() != part.width : piece.size() > part.width) return {};
        const int number = piece.toInt();
        if (part.letter == u'd') day = number;
        if (part.letter == u'm') month = number;
        if (part.letter == u'y') year = part.width == 2 ? 1900 + number : number;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return {};
    return {TypedDate::Kind::Date, date};
}

QString DateInputMask(const QString& dateFormat) {
    QString mask;
    for (const QChar c : dateFormat.toLower()) {
        if (c == u'd' || c == u'm' || c == u'y')
            mask += QLatin1Char('0');
        else
            mask += QStringLiteral("\\") + c;
    }
    return mask;
}

QString QtDateFormat(const QString& dateFormat) {
    // Months are "MM" in Qt's patterns.
    QString format = dateFormat.toLower();
    format.replace(QLatin1String("mm"), QLatin1String("MM"));
    return format;
}

}  // namespace kesp
