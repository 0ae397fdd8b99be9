#include "reports/report_definition.h"

#include <QFile>
#include <QStringDecoder>

#include <cmath>

namespace {

constexpr int kLongestLine = 500;
constexpr double kLargestSetting = 1e6;

// The lines of the file as the keyword rules see them: cut at 500
// characters and padded with one blank, so that a keyword at the end of a
// line is still followed by a blank.
class KeywordLines {
  public:
    explicit KeywordLines(const QString& text) {
        QString unified = text;
        unified.replace("\r\n", "\n").replace('\r', '\n');
        for (const QString& line : unified.split('\n'))
            lines_.append(line.left(kLongestLine) + ' ');
        for (int i = 0; i < lines_.size(); ++i) {
            if (lines_[i].contains("REPORT ", Qt::CaseInsensitive)) {
                blockStart_ = i + 1;
                break;
            }
        }
    }

    // The value of the first block line holding keyword + blank.
    std::optional<QString> value(const QString& keyword,
                                 Qt::CaseSensitivity cs = Qt::CaseInsensitive) const {
        const QString needle = keyword + ' ';
        for (int i = blockStart_; i >= 0 && i < lines_.size(); ++i) {
            const QString& line = lines_[i];
            if (line.trimmed().isEmpty()) return std::nullopt;
            const int at = line.indexOf(needle, 0, cs);
            if (at < 0) continue;
            QString rest = line.mid(at + needle.size());
            while (rest.endsWith(' ') || rest.endsWith('\t'))
                rest.chop(1);
            if (rest.endsWith(';')) rest.chop(1);
            return rest.trimmed();
        }
        return std::nullopt;
    }

    bool flag(const QString& keyword) const { return value(keyword).has_value(); }

  private:
    QStringList lines_;
    int blockStart_ = -1;  // -1: no section line, every keyword absent
};

QString Unquoted(QString text) {
    text = text.trimmed();
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') &&
        text.back() == text.front()) {
        return text.mid(1, text.size() - 2);
    }
    return text;
}

QVariant ArrayElement(const QString& raw) {
    const QString text = raw.trimmed();
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') &&
        text.back() == text.front()) {
        return text.mid(1, text.size() - 2);
    }
    const QString upper = text.toUpper();
    if (upper == ".T." || upper == ".Y.") return true;
    if (upper == ".F." || upper == ".N.") return false;
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (isNumber) return number;
    return text;
}

QStringList Texts(const QList<QVariant>& elements) {
    QStringList texts;
    for (const QVariant& element : elements) {
        texts.append(element.typeId() == QMetaType::Bool ? QString(element.toBool() ? ".T." : ".F.")
                                                         : element.toString());
    }
    return texts;
}

QList<QVariant> FirstArray(const std::optional<QString>& value) {
    if (!value) return {};
    const auto arrays = ParseArrayLiterals(*value);
    return arrays && !arrays->isEmpty() ? arrays->first() : QList<QVariant>{};
}

int Number(const std::optional<QString>& value, int fallback) {
    if (!value) return fallback;
    bool ok = false;
    const double number = value->toDouble(&ok);
    // A number no page can have is no setting at all.
    if (!ok || !(std::abs(number) <= kLargestSetting)) return fallback;
    return int(number);
}

}  // namespace

std::optional<QList<QList<QVariant>>> ParseArrayLiterals(const QString& text) {
    QList<QList<QVariant>> arrays;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipBlanks();
    while (i < n && text[i] == '{') {
        ++i;
        QList<QVariant> elements;
        QString current;
        int depth = 0;  // parentheses inside an element
        QChar quote;    // the open quote, null outside one
        bool closed = false;
        bool hasContent = false;
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (!quote.isNull()) {
                current += c;
                if (c == quote) quote = QChar();
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
                current += c;
                hasContent = true;
            } else if (c == '(') {
                ++depth;
                current += c;
            } else if (c == ')') {
                --depth;
                current += c;
            } else if (c == ',' && depth == 0) {
                elements.append(ArrayElement(current));
                current.clear();
            } else if (c == '}' && depth == 0) {
                if (!current.trimmed().isEmpty() || !elements.isEmpty() || hasContent) {
                    elements.append(ArrayElement(current));
                }
                closed = true;
                ++i;
                break;
            } else {
                current += c;
            }
        }
        if (!closed) return std::nullopt;
        arrays.append(elements);
        skipBlanks();
        if (i < n && text[i] == ',') ++i;
        skipBlanks();
    }
    if (arrays.isEmpty()) return std::nullopt;
    return arrays;
}

ReportDefinition ParseReportDefinition(const QString& name, const QString& fileText) {
    const KeywordLines lines(fileText);
    ReportDefinition d;
    d.name = name;
    d.title = lines.value("TITLE").value_or(QString());

    if (const auto headers = lines.value("HEADERS", Qt::CaseSensitive)) {
        if (const auto arrays = ParseArrayLiterals(*headers)) {
            d.hasHeaders = true;
            d.upperHeadings = Texts(arrays->first());
            d.lowerHeadings = Texts(arrays->last());
        }
    }
    d.fields = Texts(FirstArray(lines.value("FIELDS")));
    for (const QVariant& width : FirstArray(lines.value("WIDTHS")))
        d.widths.append(width.toInt());
    for (const QVariant& total : FirstArray(lines.value("TOTALS"))) {
        d.totals.append(total.typeId() == QMetaType::Bool && total.toBool());
    }
    d.numberFormats = Texts(FirstArray(lines.value("NFORMATS")));

    d.linesPerPage = Number(lines.value("LPP"), 0);
    if (d.linesPerPage <= 0) d.linesPerPage = 58;
    d.charactersPerLine = Number(lines.value("CPL"), 80);
    d.leftMargin = qMax(0, Number(lines.value("LMARGIN"), 0));
    d.paperName = lines.value("PAPERSIZE").value_or(QString());
    d.workArea = lines.value("WORKAREA").value_or(QString());
    d.groupBy = lines.value("GROUPED BY").value_or(QString());
    d.groupCaption = Unquoted(lines.value("HEADRGRP").value_or(QString()));

    const QList<QVariant> image = FirstArray(lines.value("IMAGE"));
    if (image.size() >= 5) {
        d.image = ReportImage{image[0].toString(), image[1].toInt(), image[2].toInt(),
                              image[3].toInt(), image[4].toInt()};
    }

    d.preview = lines.flag("PREVIEW");
    d.selectPrinter = lines.flag("SELECT");
    d.landscape = lines.flag("LANDSCAPE");
    d.imageOnEveryPage = lines.flag("MULTIPLE");
    d.dosMode = lines.flag("DOSMODE");
    d.proportionalFont = lines.flag("NOFIXED");
    return d;
}

std::optional<ReportDefinition> ReadReportDefinitionFile(const QString& folder,
                                                         const QString& name) {
    QFile file(folder.isEmpty() ? name + ".rpt" : folder + '/' + name + ".rpt");
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder windows1252("windows-1252");
    const QString text =
        windows1252.isValid() ? QString(windows1252(bytes)) : QString::fromLatin1(bytes);
    return ParseReportDefinition(name, text);
}

QString ReportDefinitionProblem(const ReportDefinition& d) {
    if (d.fields.isEmpty()) return "Fields not defined";
    if (d.widths.isEmpty()) return "Widths not defined";
    const QString where = "(" + d.name + ".rpt)  ";
    if (!d.hasHeaders) return where + "Headers not defined";
    if (d.workArea.isEmpty()) return where + "Workarea not defined";
    const int columns = d.columnCount();
    if (d.widths.size() < columns) return where + "Fewer widths than fields";
    if (d.upperHeadings.size() < columns || d.lowerHeadings.size() < columns) {
        return where + "Fewer headers than fields";
    }
    if (!d.totals.isEmpty() && d.totals.size() < columns) return where + "Fewer totals than fields";
    if (!d.numberFormats.isEmpty() && d.numberFormats.size() < columns) {
        return where + "Fewer number formats than fields";
    }
    for (int width : d.widths) {
        if (width <= 0) return where + "Widths must be positive";
    }
    return {};
}

int ReportFontSize(int charactersPerLine) {
    switch (charactersPerLine) {
        case 80:
            return 12;
        case 96:
            return 10;
        case 120:
            return 8;
        case 140:
            return 7;
        case 160:
            return 6;
        default:
            return 12;
    }
}
