// What the report tests share: records held in memory, definitions written
// inline, and questions about what a recorded page holds on a line.
#pragma once

#include "reports/report_layout.h"

#include <QMap>
#include <QString>

#include <QStringList>
#include <ostream>

#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Rows of field values keyed by upper-case field name; at the end of the view
// every field reads blank.
class MemoryRecords : public ReportRecords {
  public:
    using Row = QMap<QString, ReportValue>;
    explicit MemoryRecords(std::vector<Row> rows) : rows_(std::move(rows)) {}
    bool atEnd() override { return next_ >= rows_.size(); }
    void skip() override { ++next_; }
    ReportValue field(const QString& aliasField) override {
        QString name = aliasField.toUpper();
        if (const int arrow = int(name.indexOf("->")); arrow >= 0) name = name.mid(arrow + 2);
        if (atEnd()) return {QString()};
        return rows_[next_].value(name.trimmed(), ReportValue{QString()});
    }
    size_t position() const { return next_; }

  private:
    std::vector<Row> rows_;
    size_t next_ = 0;
};

inline CompiledReport Compile(const QString& block, const QString& name = "test") {
    auto compiled =
        CompileReport(ParseReportDefinition(name, "DEFINE REPORT " + name + "\n" + block));
    if (auto* why = std::get_if<QString>(&compiled)) {
        throw std::runtime_error(why->toStdString());
    }
    return std::move(std::get<CompiledReport>(compiled));
}

inline ReportLayoutSettings FixedClock() {
    ReportLayoutSettings settings;
    settings.dateText = [] { return QString("24.12.2008"); };
    settings.timeText = [] { return QString("10:11:12"); };
    return settings;
}

// The texts printed on a line, in the order they were put there.
inline QList<PageText> OnLine(const RecordedPage& page, int line) {
    QList<PageText> texts;
    for (const PageText& text : page.texts) {
        if (text.line == line) texts.append(text);
    }
    return texts;
}

// The single text of a line, or "" when the line is empty. Fails the test
// when more than one text stands there.
QString LineText(const RecordedPage& page, int line);

// The text column at which `what` starts on the line (the text's column plus
// its position in the text), -1 when it is not there.
int ColumnOf(const RecordedPage& page, int line, const QString& what);
