#include "reports/report_expression.h"

#include "store/xbase.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <vector>

struct ReportExpression::Node {
    enum class Kind { Literal, Field, Call, Plus };
    Kind kind = Kind::Literal;
    QVariant literal;
    QString name;  // field as written, or function name in upper case
    std::vector<std::unique_ptr<Node>> operands;
    int depth = 1;  // levels of the tree from here down
};

namespace {

using Node = ReportExpression::Node;

struct FunctionShape {
    const char* name;
    int minArguments;
    int maxArguments;
};

// The functions a definition may call: those of the table store that keys
// and filters use, and the trimming a title needs.
constexpr FunctionShape kFunctions[] = {
    {"UPPER", 1, 1}, {"DTOC", 1, 1},    {"CTOD", 1, 1},  {"MONTH", 1, 1}, {"DAY", 1, 1},
    {"YEAR", 1, 1},  {"DESCEND", 1, 1}, {"STR", 1, 3},   {"DATE", 0, 0},  {"TRIM", 1, 1},
    {"RTRIM", 1, 1}, {"ALLTRIM", 1, 1}, {"LTRIM", 1, 1},
};

const FunctionShape* FindFunction(const QString& name) {
    for (const FunctionShape& f : kFunctions) {
        if (name == QLatin1String(f.name)) return &f;
    }
    return nullptr;
}

// Parsing, evaluating and freeing a tree all go down it recursively: a
// definition nested deeper than any report needs is refused instead of
// running out of stack.
constexpr int kDeepest = 200;

class Parser {
  public:
    explicit Parser(const QString& text) : text_(text) {}

    std::unique_ptr<Node> parse() {
        auto root = sum();
        skipBlanks();
        if (root && at_ < text_.size()) fail("unexpected \"" + text_.mid(at_, 10) + "\"");
        return error_.isEmpty() ? std::move(root) : nullptr;
    }
    const QString& error() const { return error_; }

  private:
    void fail(const QString& why) {
        if (error_.isEmpty()) error_ = why;
    }
    void skipBlanks() {
        while (at_ < text_.size() && text_[at_].isSpace())
            ++at_;
    }
    bool take(QChar c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    std::unique_ptr<Node> sum() {
        if (nesting_ > kDeepest) {
            fail("nested too deeply");
            return nullptr;
        }
        ++nesting_;
        auto left = term();
        while (left && take('+')) {
            auto right = term();
            if (!right) break;
            auto plus = std::make_unique<Node>();
            plus->kind = Node::Kind::Plus;
            plus->depth = std::max(left->depth, right->depth) + 1;
            plus->operands.push_back(std::move(left));
            plus->operands.push_back(std::move(right));
            left = std::move(plus);
            if (left->depth > kDeepest) fail("nested too deeply");
        }
        --nesting_;
        return error_.isEmpty() ? std::move(left) : nullptr;
    }

    std::unique_ptr<Node> term() {
        skipBlanks();
        if (at_ >= text_.size()) {
            fail("expression ends too early");
            return nullptr;
        }
        const QChar c = text_[at_];
        if (c == '(') {
            ++at_;
            auto inner = sum();
            if (inner && !take(')')) fail("missing \")\"");
            return error_.isEmpty() ? std::move(inner) : nullptr;
        }
        if (c == '\'' || c == '"') return textLiteral(c);
        if (c.isDigit() || c == '.') return numberLiteral();
        if (c.isLetter() || c == '_') return nameOrCall();
        fail("\"" + QString(c) + "\" is not allowed");
        return nullptr;
    }

    std::unique_ptr<Node> textLiteral(QChar quote) {
        const int end = int(text_.indexOf(quote, at_ + 1));
        if (end < 0) {
            fail("unclosed text");
            return nullptr;
        }
        auto node = std::make_unique<Node>();
        node->literal = text_.mid(at_ + 1, end - at_ - 1);
        at_ = end + 1;
        return node;
    }

    std::unique_ptr<Node> numberLiteral() {
        const int start = at_;
        while (at_ < text_.size() && (text_[at_].isDigit() || text_[at_] == '.'))
            ++at_;
        bool ok = false;
        const double number = text_.mid(start, at_ - start).toDouble(&ok);
        if (!ok) {
            fail("\"" + text_.mid(start, at_ - start) + "\" is not a number");
            return nullptr;
        }
        auto node = std::make_unique<Node>();
        node->literal = number;
        return node;
    }

    QString identifier() {
        const int start = at_;
        while (at_ < text_.size() && (text_[at_].isLetterOrNumber() || text_[at_] == '_'))
            ++at_;
        return text_.mid(start, at_ - start);
    }

    std::unique_ptr<Node> nameOrCall() {
        QString name = identifier();
        skipBlanks();
        if (text_.mid(at_, 2) == "->") {
            at_ += 2;
            skipBlanks();
            const QString field = identifier();
            if (field.isEmpty()) {
                fail("a field name must follow \"" + name + "->\"");
                return nullptr;
            }
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::Field;
            node->name = name + "->" + field;
            return node;
        }
        if (at_ < text_.size() && text_[at_] == '(') {
            ++at_;
            const QString upper = name.toUpper();
            const FunctionShape* shape = FindFunction(upper);
            if (!shape) {
                fail("function " + name + "() is not allowed");
                return nullptr;
            }
            auto call = std::make_unique<Node>();
            call->kind = Node::Kind::Call;
            call->name = upper;
            if (!take(')')) {
                do {
                    auto argument = sum();
                    if (!argument) return nullptr;
                    call->depth = std::max(call->depth, argument->depth + 1);
                    call->operands.push_back(std::move(argument));
                } while (take(','));
                if (call->depth > kDeepest) {
                    fail("nested too deeply");
                    return nullptr;
                }
                if (!take(')')) {
                    fail("missing \")\" after the arguments of " + upper);
                    return nullptr;
                }
            }
            const int count = int(call->operands.size());
            if (count < shape->minArguments || count > shape->maxArguments) {
                fail(upper + "() takes " + QString::number(shape->minArguments) +
                     (shape->maxArguments != shape->minArguments
                          ? " to " + QString::number(shape->maxArguments)
                          : QString()) +
                     " arguments");
                return nullptr;
            }
            return call;
        }
        auto node = std::make_unique<Node>();
        node->kind = Node::Kind::Field;
        node->name = name;
        return node;
    }

    const QString& text_;
    int at_ = 0;
    int nesting_ = 0;  // sums being parsed, one inside the other
    QString error_;
};

bool IsText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}
bool IsNumber(const QVariant& v) {
    return v.typeId() == QMetaType::Double;
}
bool IsDate(const QVariant& v) {
    return v.typeId() == QMetaType::QDate;
}

class Evaluator {
  public:
    Evaluator(const QString& text, const ReportFieldReader& read) : text_(text), read_(read) {}

    ReportValue value(const Node& node) const {
        switch (node.kind) {
            case Node::Kind::Literal:
                return {node.literal};
            case Node::Kind::Field:
                return read_(node.name);
            case Node::Kind::Plus:
                return plus(node);
            case Node::Kind::Call:
                return {call(node)};
        }
        return {};
    }

  private:
    [[noreturn]] void refuse(const QString& why) const {
        throw ReportExpressionError("\"" + text_ + "\": " + why);
    }

    ReportValue plus(const Node& node) const {
        const ReportValue left = value(*node.operands[0]);
        const ReportValue right = value(*node.operands[1]);
        const QVariant& l = left.value;
        const QVariant& r = right.value;
        if (IsText(l) && IsText(r)) return {l.toString() + r.toString(), left.memo || right.memo};
        if (IsNumber(l) && IsNumber(r)) return {l.toDouble() + r.toDouble()};
        if (IsDate(l) && IsNumber(r)) return {shifted(l.toDate(), r.toDouble())};
        if (IsNumber(l) && IsDate(r)) return {shifted(r.toDate(), l.toDouble())};
        refuse("\"+\" cannot join these values");
    }

    // A date moved by a number of days, within ten thousand years.
    QDate shifted(const QDate& date, double days) const {
        constexpr double kFarthest = 3660000;
        if (!(std::abs(days) <= kFarthest)) refuse("\"+\" moves the date too far");
        return date.addDays(qint64(days));
    }

    // A count such as a width: a whole number from lowest to highest.
    int countArgument(const Node& node, int i, int lowest, int highest) const {
        const double v = numberArgument(node, i);
        if (!(v >= lowest && v <= highest)) {
            refuse(QStringLiteral("%1() needs a number from %2 to %3")
                       .arg(node.name)
                       .arg(lowest)
                       .arg(highest));
        }
        return int(v);
    }

    QString textArgument(const Node& node, int i) const {
        const QVariant v = value(*node.operands[size_t(i)]).value;
        if (!IsText(v)) refuse(node.name + "() needs a text");
        return v.toString();
    }
    QDate dateArgument(const Node& node, int i) const {
        const QVariant v = value(*node.operands[size_t(i)]).value;
        if (!IsDate(v)) refuse(node.name + "() needs a date");
        return v.toDate();
    }
    double numberArgument(const Node& node, int i) const {
        const QVariant v = value(*node.operands[size_t(i)]).value;
        if (!IsNumber(v)) refuse(node.name + "() needs a number");
        return v.toDouble();
    }

    QVariant call(const Node& node) const {
        const QString& f = node.name;
        if (f == "UPPER") return UPPER(textArgument(node, 0));
        if (f == "DTOC") return DTOC(dateArgument(node, 0));
        if (f == "CTOD") return CTOD(textArgument(node, 0));
        if (f == "MONTH") return double(MONTH(dateArgument(node, 0)));
        if (f == "DAY") return double(DAY(dateArgument(node, 0)));
        if (f == "YEAR") return double(YEAR(dateArgument(node, 0)));
        if (f == "DESCEND") return DESCEND(dateArgument(node, 0));
        if (f == "DATE") return DATE();
        if (f == "TRIM" || f == "RTRIM") {
            QString t = textArgument(node, 0);
            while (t.endsWith(' '))
                t.chop(1);
            return t;
        }
        if (f == "LTRIM") {
            const QString t = textArgument(node, 0);
            int i = 0;
            while (i < t.size() && t[i] == ' ')
                ++i;
            return t.mid(i);
        }
        if (f == "ALLTRIM") return textArgument(node, 0).trimmed();
        if (f == "STR") {
            const double number = numberArgument(node, 0);
            // No field is wider than 255 characters.
            const int width = node.operands.size() > 1 ? countArgument(node, 1, 1, 255) : 10;
            const int decimals = node.operands.size() > 2 ? countArgument(node, 2, 0, 255) : 0;
            return STR(number, width, decimals);
        }
        refuse(f + "() is not allowed");
    }

    const QString& text_;
    const ReportFieldReader& read_;
};

void CollectFields(const Node& node, QStringList& names) {
    if (node.kind == Node::Kind::Field && !names.contains(node.name, Qt::CaseInsensitive)) {
        names.append(node.name);
    }
    for (const auto& operand : node.operands)
        CollectFields(*operand, names);
}

}  // namespace

ReportExpression::ReportExpression(QString text, std::unique_ptr<Node> root)
    : text_(std::move(text)), root_(std::move(root)) {}
ReportExpression::ReportExpression(ReportExpression&&) noexcept = default;
ReportExpression& ReportExpression::operator=(ReportExpression&&) noexcept = default;
ReportExpression::~ReportExpression() = default;

std::variant<ReportExpression, QString> ReportExpression::Parse(const QString& text) {
    Parser parser(text);
    auto root = parser.parse();
    if (!root) return "\"" + text + "\": " + parser.error();
    return ReportExpression(text, std::move(root));
}

ReportValue ReportExpression::evaluate(const ReportFieldReader& readField) const {
    return Evaluator(text_, readField).value(*root_);
}

QStringList ReportExpression::fieldNames() const {
    QStringList names;
    CollectFields(*root_, names);
    return names;
}

QString ReportValueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QDate:
            return DTOC(value.toDate());
        case QMetaType::Bool:
            return value.toBool() ? "T" : "F";
        case QMetaType::Double: {
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && std::abs(number) < 1e15) {
                return QString::number(qint64(number));
            }
            return QString::number(number, 'g', 15);
        }
        default:
            return value.toString();
    }
}
