#include "reports/number_picture.h"

#include "reports/report_expression.h"

#include <algorithm>
#include <cmath>

QString FormatNumberPicture(double number, const QString& picture) {
    QString functions;
    QString mask = picture;
    if (mask.startsWith('@')) {
        const int blank = int(mask.indexOf(' '));
        functions = (blank < 0 ? mask : mask.left(blank)).toUpper();
        mask = blank < 0 ? QString() : mask.mid(blank + 1);
    }
    if (functions.contains('Z') && number == 0) return QString(mask.size(), ' ');
    const bool european = functions.contains('E');

    const int point = int(mask.indexOf('.'));
    int integerDigits = 0;
    int decimals = 0;
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] != '9' && mask[i] != '#') continue;
        (point >= 0 && i > point ? decimals : integerDigits)++;
    }
    if (integerDigits + decimals == 0) return ReportValueText(number);

    const QString digits = QString::number(std::abs(number), 'f', decimals);
    const int dot = int(digits.indexOf('.'));
    QString integerPart = dot < 0 ? digits : digits.left(dot);
    const QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
    if (integerPart == "0" && decimals > 0) integerPart.clear();
    const bool negative = number < 0 && digits.toDouble() != 0;
    if (int(integerPart.size()) + (negative ? 1 : 0) > integerDigits) {
        return QString(mask.size(), '*');
    }

    QString out(mask.size(), ' ');
    // Integer part, right to left up to the decimal point.
    const int integerEnd = point >= 0 ? point : int(mask.size());
    int next = int(integerPart.size()) - 1;
    bool signPlaced = !negative;
    for (int i = integerEnd - 1; i >= 0; --i) {
        const QChar m = mask[i];
        if (m == '9' || m == '#') {
            if (next >= 0) {
                out[i] = integerPart[next--];
            } else if (!signPlaced) {
                out[i] = '-';
                signPlaced = true;
            }
        } else if (m == ',') {
            out[i] = next >= 0 ? QChar(',') : QChar(' ');
        } else {
            out[i] = m;
        }
    }
    if (integerPart.isEmpty() && decimals > 0 && point > 0) {
        // "  .50" reads better as " 0.50" when there is room for the zero.
        for (int i = point - 1; i >= 0; --i) {
            if (mask[i] == '9' || mask[i] == '#') {
                if (out[i] == ' ') out[i] = '0';
                break;
            }
        }
    }
    if (point >= 0) {
        out[point] = '.';
        int d = 0;
        for (int i = point + 1; i < mask.size(); ++i) {
            const QChar m = mask[i];
            out[i] =
                (m == '9' || m == '#') ? (d < fraction.size() ? fraction[d++] : QChar('0')) : m;
        }
    }
    if (european) {
        for (QChar& c : out) {
            if (c == '.')
                c = ',';
            else if (c == ',')
                c = '.';
        }
    }
    return out;
}

namespace {

QString PlainNumber(double number, int decimals) {
    if (decimals < 0 || !std::isfinite(number)) return ReportValueText(number);
    QString text = QString::number(number, 'f', decimals);
    const bool allZero =
        std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c >= '1' && c <= '9'; });
    if (allZero && text.startsWith('-')) text.remove(0, 1);  // no "-0.00"
    return text;
}

}  // namespace

QString NumberCell(double number, const QString& picture, int width, int decimals) {
    const QString text = picture.trimmed().isEmpty() ? PlainNumber(number, decimals)
                                                     : FormatNumberPicture(number, picture);
    if (text.size() > width) {
        const QString trimmed = text.trimmed();
        if (trimmed.size() > width) return QString(width, '*');
        return trimmed.rightJustified(width, ' ');
    }
    return text.rightJustified(width, ' ');
}
