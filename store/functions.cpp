// The settings and the functions used in keys and filters.
#include "store/dbf_format.h"
#include "store/settings.h"
#include "store/xbase.h"

#include <QTime>

#include <cmath>
#include <cstdlib>

namespace kesp::store {

Settings& CurrentSettings() {
    static Settings settings;
    return settings;
}

}  // namespace kesp::store

using kesp::store::CurrentSettings;

namespace {

// Offset making DESCEND of a date positive and decreasing as the date grows.
constexpr double kDescendBase = 5231808.0;

}  // namespace

void SET_EXACT(bool on) {
    CurrentSettings().exact = on;
}
void SET_DELETED(bool hide) {
    CurrentSettings().hideDeleted = hide;
}
void SET_CENTURY(bool on) {
    CurrentSettings().century = on;
}
void SET_DATEFORMAT(const QString& format) {
    CurrentSettings().dateFormat = format.toLower();
}

QString DATEFORMAT() {
    // Asked for every date a key or a list writes: made once per setting, by
    // each thread that writes dates (tables read beside the event loop).
    thread_local QString setFormat;
    thread_local bool setCentury = false;
    thread_local QString format;
    const kesp::store::Settings& settings = CurrentSettings();
    if (format.isNull() || settings.dateFormat != setFormat || settings.century != setCentury) {
        setFormat = settings.dateFormat;
        setCentury = settings.century;
        format = setFormat;
        const bool four = format.contains(QStringLiteral("yyyy"));
        if (setCentury && !four) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        if (!setCentury && four) format.replace(QStringLiteral("yyyy"), QStringLiteral("yy"));
    }
    return format;
}

QString UPPER(const QVariant& text) {
    QString result = text.toString();
    for (QChar& c : result)
        c = c.toUpper();
    return result;
}

double DESCEND(const QDate& date) {
    return kDescendBase - (date.isValid() ? static_cast<double>(date.toJulianDay()) : 0.0);
}

QString DTOC(const QDate& date) {
    // Each field of the format once, its digits written in its place (no
    // date: blanks); one pass, as tables of appointments write it per
    // record. Where the fields are is found once per format.
    struct Places {
        QString format;
        bool four = false;
        qsizetype day = -1, month = -1, year = -1;
    };
    thread_local Places places;  // each thread that writes dates its own
    QString text = DATEFORMAT();
    if (text != places.format) {
        places.format = text;
        places.four = text.contains(QStringLiteral("yyyy"));
        places.day = text.indexOf(QStringLiteral("dd"));
        places.month = text.indexOf(QStringLiteral("mm"));
        places.year = text.indexOf(places.four ? QStringLiteral("yyyy") : QStringLiteral("yy"));
    }
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    const struct {
        qsizetype at;
        int width;
        int value;
    } parts[] = {{places.day, 2, day},
                 {places.month, 2, month},
                 {places.year, places.four ? 4 : 2, places.four ? year : year % 100}};
    for (const auto& [at, width, value] : parts) {
        if (at < 0) continue;
        int rest = std::abs(value);
        for (qsizetype i = at + width - 1; i >= at; --i, rest /= 10)
            text[i] = date.isValid() ? QChar(u'0' + rest % 10) : QChar(u' ');
    }
    return text;
}

QString DTOS(const QDate& date) {
    if (!date.isValid()) return QString(8, QLatin1Char(' '));
    char digits[8];
    if (kesp::store::PutDateDigits(date, digits)) return QString::fromLatin1(digits, 8);
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QDate CTOD(const QString& text) {
    const QString format = DATEFORMAT();
    const bool four = format.contains(QStringLiteral("yyyy"));
    auto number = [&](const QString& field) {
        const qsizetype at = format.indexOf(field);
        if (at < 0 || at >= text.size()) return -1;
        bool ok = false;
        const int value = text.mid(at, field.size()).trimmed().toInt(&ok);
        return ok ? value : -1;
    };
    if (text.trimmed().isEmpty()) return {};
    const int day = number(QStringLiteral("dd"));
    const int month = number(QStringLiteral("mm"));
    int year = number(four ? QStringLiteral("yyyy") : QStringLiteral("yy"));
    if (year >= 0 && !four) year += 1900;
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate();
}

int MONTH(const QDate& date) {
    return date.isValid() ? date.month() : 0;
}
int DAY(const QDate& date) {
    return date.isValid() ? date.day() : 0;
}
int YEAR(const QDate& date) {
    return date.isValid() ? date.year() : 0;
}

QString STR(double number, int width, int decimals) {
    if (!std::isfinite(number)) number = 0;
    QString text = QString::number(number, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) &&
        text.count(QLatin1Char('0')) == text.size() - 1 - (decimals > 0 ? 1 : 0)) {
        text.remove(0, 1);  // no "-0"
    }
    if (text.size() > width) return QString(width, QLatin1Char('*'));
    return text.rightJustified(width, QLatin1Char(' '));
}

bool EQ(const QString& left, const QString& right) {
    if (CurrentSettings().exact) {
        auto trimmedEnd = [](const QString& s) {
            qsizetype n = s.size();
            while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
                --n;
            return QStringView(s).left(n);
        };
        return trimmedEnd(left) == trimmedEnd(right);
    }
    if (right.isEmpty()) return true;
    return left.size() >= right.size() && QStringView(left).left(right.size()) == right;
}

bool EXACTEQ(const QString& left, const QString& right) {
    return left == right;
}

QDate DATE() {
    const QDate today = CurrentSettings().today;
    return today.isValid() ? today : QDate::currentDate();
}

QTime TIME() {
    return QTime::currentTime();
}

void SET_TODAY_FOR_TESTS(const QDate& today) {
    CurrentSettings().today = today;
}
