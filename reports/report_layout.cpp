#include "reports/report_layout.h"

#include "reports/number_picture.h"
#include "store/xbase.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTime>

#include <memory>

namespace {

QString Cell(const QString& text, int width) {
    return text.left(width).leftJustified(width, ' ');
}

class ReportLayout {
  public:
    ReportLayout(const CompiledReport& report, ReportRecords& records, PageSink& pages,
                 const ReportLayoutSettings& settings)
        : report_(report),
          d_(report.definition),
          records_(records),
          pages_(pages),
          settings_(settings),
          fontSize_(ReportFontSize(d_.charactersPerLine)),
          family_(d_.proportionalFont ? "Liberation Sans" : "Liberation Mono"),
          grandTotals_(report.columns.size(), 0.0),
          groupTotals_(report.columns.size(), 0.0),
          totalDecimals_(report.columns.size(), -1) {}

    int run() {
        if (report_.groupKey && !records_.atEnd()) groupKey_ = keyOfCurrentRecord();
        startPage();
        for (; !records_.atEnd(); records_.skip()) {
            if (settings_.onEachRecord) settings_.onEachRecord();
            if (report_.groupKey) {
                const QString key = keyOfCurrentRecord();
                if (key != groupKey_) changeGroup(key);
            }
            printRecord();
            anyRecord_ = true;
        }
        if (d_.anySummed() && anyRecord_) {
            if (report_.groupKey) printSubtotal();
            printLine("*** Total ***", true);
            printLine(totalsLine(grandTotals_), true);
            ++line_;
        }
        finishPage();
        return pageNumber_;
    }

  private:
    ReportFieldReader reader() {
        return [this](const QString& name) { return records_.field(name); };
    }

    QString keyOfCurrentRecord() {
        return ReportValueText(report_.groupKey->evaluate(reader()).value);
    }

    void put(int line, const QString& text, bool bold, int pointSize) {
        page_.texts.append(PageText{line, d_.leftMargin, text, family_, pointSize, bold});
    }

    void startPage() {
        finishPage();
        page_ = RecordedPage{};
        page_.paperMm = settings_.paperMm;
        pageOpen_ = true;
        ++pageNumber_;
        if (d_.image && !settings_.imageFile.isEmpty() &&
            (pageNumber_ == 1 || d_.imageOnEveryPage)) {
            const ReportImage& image = *d_.image;
            const QPointF topLeft(ColumnLeftMm(image.left), LineTopMm(image.top));
            const QPointF bottomRight(ColumnLeftMm(image.right), LineTopMm(image.bottom));
            page_.pictures.append(PagePicture{QRectF(topLeft, bottomRight), settings_.imageFile});
        }
        printHeader();
    }

    void finishPage() {
        if (!pageOpen_) return;
        pageOpen_ = false;
        pages_.addPage(std::move(page_));
    }

    void printHeader() {
        const int w = report_.totalWidth;
        const int n = int(report_.columns.size());
        QString first, second;
        if (report_.title) {
            const QString title = ReportValueText(report_.title->evaluate(reader()).value);
            const int bar = int(title.indexOf('|'));
            first = bar < 0 ? title : title.left(bar);
            second = bar < 0 ? QString() : title.mid(bar + 1);
        }
        if (second.isEmpty()) second = report_.extraHeading;
        auto centred = [w](const QString& text) {
            const int blanks = (w - int(text.size())) / 2 - 1;
            return QString(qMax(0, blanks), ' ') + text;
        };
        const QString dateColumn(qMax(0, w + n - 11), ' ');

        put(1,
            QString("Pag.").leftJustified(6, ' ') + QString::number(pageNumber_).rightJustified(4),
            false, fontSize_);
        if (!first.isEmpty()) put(1, centred(first), true, fontSize_ + 1);
        put(1, dateColumn + (settings_.dateText ? settings_.dateText() : DTOC(DATE())), false,
            fontSize_);
        if (!second.isEmpty()) put(2, centred(second), true, fontSize_ + 1);
        put(2,
            dateColumn + (settings_.timeText ? settings_.timeText() : TIME().toString("hh:mm:ss")),
            false, fontSize_);

        QString dashes, upper, lower;
        for (int c = 0; c < n; ++c) {
            const int width = d_.widths[c];
            dashes += QString(width, '-') + ' ';
            upper += Cell(d_.upperHeadings[c], width) + ' ';
            lower += Cell(d_.lowerHeadings[c], width) + ' ';
        }
        put(4, dashes, false, fontSize_);
        put(5, upper, true, fontSize_);
        put(6, lower, true, fontSize_);
        put(7, dashes, false, fontSize_);
        line_ = 9;
        if (report_.groupKey) {
            put(9, groupCaption(), true, fontSize_);
            line_ = 10;
        }
    }

    QString groupCaption() const { return "** " + d_.groupCaption + " ** " + groupKey_; }

    // Every line goes through here: a line that would pass the lines per
    // page starts a new page first, so a report never ends on a page that
    // holds nothing but its header.
    void printLine(const QString& text, bool bold) {
        if (line_ > d_.linesPerPage) startPage();
        put(line_, text, bold, fontSize_);
        ++line_;
    }

    void changeGroup(const QString& key) {
        if (d_.anySummed()) printSubtotal();
        groupKey_ = key;
        if (line_ > d_.linesPerPage) {
            startPage();  // its header already carries the new caption
        } else {
            printLine(groupCaption(), true);
        }
    }

    void printSubtotal() {
        printLine("** Subtotal **", true);
        printLine(totalsLine(groupTotals_), true);
        std::fill(groupTotals_.begin(), groupTotals_.end(), 0.0);
    }

    QString totalsLine(const std::vector<double>& totals) const {
        QString text;
        for (size_t c = 0; c < report_.columns.size(); ++c) {
            const int width = d_.widths[int(c)];
            text += (d_.summed(int(c))
                         ? NumberCell(totals[c], d_.numberFormat(int(c)), width, totalDecimals_[c])
                         : QString(width, ' ')) +
                    ' ';
        }
        return text;
    }

    void printRecord() {
        QString text;
        std::vector<QStringList> continuations(report_.columns.size());
        std::vector<int> offsets(report_.columns.size());
        int continuationLines = 0;
        int offset = 0;
        for (size_t c = 0; c < report_.columns.size(); ++c) {
            const int width = d_.widths[int(c)];
            const ReportValue value = report_.columns[c].evaluate(reader());
            const QVariant& v = value.value;
            offsets[c] = offset;
            offset += width + 1;
            if (v.typeId() == QMetaType::Double) {
                text +=
                    NumberCell(v.toDouble(), d_.numberFormat(int(c)), width, value.decimals) + ' ';
                if (d_.summed(int(c))) {
                    totalDecimals_[c] = qMax(totalDecimals_[c], value.decimals);
                    grandTotals_[c] += v.toDouble();
                    groupTotals_[c] += v.toDouble();
                }
                continue;
            }
            if (value.memo) {
                QStringList lines = WrapLongText(v.toString(), width);
                text += Cell(lines.isEmpty() ? QString() : JustifyLine(lines.takeFirst(), width),
                             width) +
                        ' ';
                continuationLines = qMax(continuationLines, int(lines.size()));
                continuations[c] = lines;
                continue;
            }
            text += Cell(v.isValid() ? ReportValueText(v) : QString(), width) + ' ';
        }
        printLine(text, false);
        for (int k = 0; k < continuationLines; ++k) {
            QString more;
            for (size_t c = 0; c < continuations.size(); ++c) {
                if (k >= continuations[c].size()) continue;
                more = more.leftJustified(offsets[c], ' ') + continuations[c][k];
            }
            printLine(more, false);
        }
    }

    const CompiledReport& report_;
    const ReportDefinition& d_;
    ReportRecords& records_;
    PageSink& pages_;
    const ReportLayoutSettings& settings_;
    const int fontSize_;
    const QString family_;

    RecordedPage page_;
    bool pageOpen_ = false;
    int pageNumber_ = 0;
    int line_ = 0;
    QString groupKey_;
    bool anyRecord_ = false;
    std::vector<double> grandTotals_;
    std::vector<double> groupTotals_;
    std::vector<int> totalDecimals_;  // the most decimals a summed column's values had
};

}  // namespace

std::variant<CompiledReport, QString> CompileReport(const ReportDefinition& definition) {
    if (const QString problem = ReportDefinitionProblem(definition); !problem.isEmpty()) {
        return problem;
    }
    CompiledReport report;
    report.definition = definition;
    const QString where = "(" + definition.name + ".rpt)  ";
    auto compile = [&](const QString& text) -> std::variant<ReportExpression, QString> {
        auto parsed = ReportExpression::Parse(text);
        if (auto* why = std::get_if<QString>(&parsed)) return where + *why;
        return parsed;
    };
    if (!definition.title.trimmed().isEmpty()) {
        auto title = compile(definition.title);
        if (auto* why = std::get_if<QString>(&title)) return *why;
        report.title = std::move(std::get<ReportExpression>(title));
    }
    for (const QString& field : definition.fields) {
        auto column = compile(field);
        if (auto* why = std::get_if<QString>(&column)) return *why;
        report.columns.push_back(std::move(std::get<ReportExpression>(column)));
    }
    if (!definition.groupBy.trimmed().isEmpty()) {
        auto key = compile(definition.groupBy);
        if (auto* why = std::get_if<QString>(&key)) return *why;
        report.groupKey = std::move(std::get<ReportExpression>(key));
    }
    for (int c = 0; c < definition.columnCount(); ++c)
        report.totalWidth += definition.widths[c];
    return report;
}

int LayOutReport(const CompiledReport& report, ReportRecords& records, PageSink& pages,
                 const ReportLayoutSettings& settings) {
    return ReportLayout(report, records, pages, settings).run();
}

QStringList WrapLongText(const QString& text, int width) {
    QStringList lines;
    if (width <= 0) return lines;
    QString unified = text;
    // A soft break (0x8D 0x0A) is where an editor wrapped the line, not a new
    // paragraph: the words around it join again and wrap anew.
    unified.replace(QString(QChar(0x8D)) + "\n", " ");
    unified.replace("\r\n", "\n").replace('\r', '\n');
    while (unified.endsWith('\n') || unified.endsWith(' '))
        unified.chop(1);
    for (const QString& paragraph : unified.split('\n')) {
        QString current;
        for (QString word : paragraph.split(' ', Qt::SkipEmptyParts)) {
            while (word.size() > width) {  // a word longer than the column is cut
                if (!current.isEmpty()) lines.append(current), current.clear();
                lines.append(word.left(width));
                word = word.mid(width);
            }
            if (word.isEmpty()) continue;
            if (current.isEmpty()) {
                current = word;
            } else if (current.size() + 1 + word.size() <= width) {
                current += ' ' + word;
            } else {
                lines.append(current);
                current = word;
            }
        }
        lines.append(current);
    }
    return lines;
}

QString JustifyLine(const QString& line, int width) {
    const QStringList words = line.split(' ', Qt::SkipEmptyParts);
    if (words.size() < 2) return line.leftJustified(width, ' ');
    int letters = 0;
    for (const QString& word : words)
        letters += int(word.size());
    const int gaps = int(words.size()) - 1;
    const int blanks = width - letters;
    if (blanks < gaps) return line.left(width);
    QString out = words.first();
    for (int g = 0; g < gaps; ++g) {
        // Earlier gaps take the extra blanks, so the line ends flush right.
        const int here = blanks / gaps + (g < blanks % gaps ? 1 : 0);
        out += QString(here, ' ') + words[g + 1];
    }
    return out;
}

std::function<void()> EventsNowAndThen() {
    auto since = std::make_shared<QElapsedTimer>();  // not started: the first record runs them
    return [since] {
        if (since->isValid() && since->elapsed() < 25) return;
        QCoreApplication::processEvents();
        since->start();
    };
}
