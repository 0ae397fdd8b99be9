// The expressions of a report definition (FIELDS, TITLE, GROUPED BY): field
// names (also alias->field), text and number literals, "+" and a handful of
// the table store's functions. Parsing builds a small tree; evaluating it
// reads fields through a reader and calls the store's functions. Nothing in a
// definition is ever run as code: whatever falls outside this little language
// is refused when the definition is read.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <stdexcept>
#include <variant>

// A value as the layout sees it: text (QString), number (double), date
// (QDate) or logical (bool). memo marks a long text that is wrapped; a number
// read from a field keeps the field's decimals for printing.
struct ReportValue {
    QVariant value;
    bool memo = false;
    int decimals = -1;  // decimals of the numeric field read; -1 for a computed number
};

// Reads one field, named as written ("vorname" or "geburt->vorname").
using ReportFieldReader = std::function<ReportValue(const QString& aliasField)>;

// An expression that cannot be evaluated for this record (a date where a text
// is needed, ...). The message names the expression.
class ReportExpressionError : public std::runtime_error {
  public:
    explicit ReportExpressionError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

class ReportExpression {
  public:
    struct Node;

    // The parsed expression, or the reason it is refused.
    static std::variant<ReportExpression, QString> Parse(const QString& text);

    // Throws ReportExpressionError when the values do not fit the operations.
    ReportValue evaluate(const ReportFieldReader& readField) const;

    const QString& text() const { return text_; }
    // Every field the expression reads, as written.
    QStringList fieldNames() const;

    ReportExpression(ReportExpression&&) noexcept;
    ReportExpression& operator=(ReportExpression&&) noexcept;
    ~ReportExpression();

  private:
    ReportExpression(QString text, std::unique_ptr<Node> root);
    QString text_;
    std::unique_ptr<Node> root_;
};

// The value as the text a report prints for it (dates in the date format,
// numbers without needless decimals, logicals as "T" or "F").
QString ReportValueText(const QVariant& value);
