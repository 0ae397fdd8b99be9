#include "store/key_expression.h"

#include <QDate>
#include <QVariant>

#include <cmath>
#include <vector>

namespace kesp::store {
namespace {

// A recursive-descent reader that turns the text into nested evaluators.
class KeyTextReader {
  public:
    explicit KeyTextReader(const QString& text) : text_(text) {}

    std::optional<KeyEvaluator> ReadWhole() {
        std::optional<KeyEvaluator> key = ReadSum();
        SkipBlanks();
        if (!key || at_ != text_.size()) return std::nullopt;
        return key;
    }
    // The aliases named before "->" in what was read.
    const QStringList& aliases() const { return aliases_; }
    // The fields read, without their aliases, as written.
    const QStringList& fields() const { return fields_; }

  private:
    std::optional<KeyEvaluator> ReadSum() {
        std::optional<KeyEvaluator> left = ReadTerm();
        if (!left) return std::nullopt;
        while (Take(QLatin1Char('+'))) {
            std::optional<KeyEvaluator> right = ReadTerm();
            if (!right) return std::nullopt;
            left = [a = *left, b = *right] { return Add(a(), b()); };
        }
        return left;
    }

    std::optional<KeyEvaluator> ReadTerm() {
        SkipBlanks();
        if (at_ >= text_.size()) return std::nullopt;
        const QChar c = text_[at_];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) return ReadLiteralText(c);
        if (c.isDigit()) return ReadNumber();
        const QString name = ReadName();
        if (name.isEmpty()) return std::nullopt;
        if (Take(QLatin1Char('('))) return ReadCall(name.toUpper());
        if (TakeArrow()) {
            const QString field = ReadName();
            if (field.isEmpty()) return std::nullopt;
            aliases_ << name;
            fields_ << field;
            const QString aliasField = name + QStringLiteral("->") + field;
            return KeyEvaluator([aliasField] { return FIELD(aliasField); });
        }
        fields_ << name;
        return KeyEvaluator([name] { return FIELD(name); });
    }

    std::optional<KeyEvaluator> ReadCall(const QString& function) {
        std::vector<KeyEvaluator> arguments;
        do {
            std::optional<KeyEvaluator> argument = ReadSum();
            if (!argument) return std::nullopt;
            arguments.push_back(*argument);
        } while (Take(QLatin1Char(',')));
        if (!Take(QLatin1Char(')'))) return std::nullopt;
        const KeyEvaluator x = arguments.front();
        const std::size_t count = arguments.size();
        if (function == QLatin1String("STR") && count <= 3) {
            const KeyEvaluator width = count > 1 ? arguments[1] : [] { return QVariant(10); };
            const KeyEvaluator decimals = count > 2 ? arguments[2] : [] { return QVariant(0); };
            return KeyEvaluator([x, width, decimals] {
                return QVariant(STR(x().toDouble(), width().toInt(), decimals().toInt()));
            });
        }
        if (count != 1) return std::nullopt;
        if (function == QLatin1String("UPPER"))
            return KeyEvaluator([x] { return QVariant(UPPER(x())); });
        if (function == QLatin1String("DTOS"))
            return KeyEvaluator([x] { return QVariant(DTOS(x().toDate())); });
        if (function == QLatin1String("DTOC"))
            return KeyEvaluator([x] { return QVariant(DTOC(x().toDate())); });
        if (function == QLatin1String("MONTH"))
            return KeyEvaluator([x] { return QVariant(MONTH(x().toDate())); });
        if (function == QLatin1String("DAY"))
            return KeyEvaluator([x] { return QVariant(DAY(x().toDate())); });
        if (function == QLatin1String("YEAR"))
            return KeyEvaluator([x] { return QVariant(YEAR(x().toDate())); });
        if (function == QLatin1String("DESCEND")) {
            return KeyEvaluator([x] { return QVariant(DESCEND(x().toDate())); });
        }
        return std::nullopt;
    }

    std::optional<KeyEvaluator> ReadLiteralText(QChar quote) {
        const qsizetype end = text_.indexOf(quote, at_ + 1);
        if (end < 0) return std::nullopt;
        const QString literal = text_.mid(at_ + 1, end - at_ - 1);
        at_ = end + 1;
        return KeyEvaluator([literal] { return QVariant(literal); });
    }

    std::optional<KeyEvaluator> ReadNumber() {
        const qsizetype start = at_;
        while (at_ < text_.size() && (text_[at_].isDigit() || text_[at_] == QLatin1Char('.')))
            ++at_;
        bool ok = false;
        const double number = text_.mid(start, at_ - start).toDouble(&ok);
        if (!ok) return std::nullopt;
        return KeyEvaluator([number] { return QVariant(number); });
    }

    QString ReadName() {
        SkipBlanks();
        const qsizetype start = at_;
        while (at_ < text_.size() &&
               (text_[at_].isLetterOrNumber() || text_[at_] == QLatin1Char('_'))) {
            ++at_;
        }
        return text_.mid(start, at_ - start);
    }

    bool Take(QChar c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool TakeArrow() {
        SkipBlanks();
        if (text_.mid(at_, 2) != QLatin1String("->")) return false;
        at_ += 2;
        return true;
    }

    void SkipBlanks() {
        while (at_ < text_.size() && text_[at_].isSpace())
            ++at_;
    }

    // Texts join; numbers add; anything else joins as text.
    static QVariant Add(const QVariant& a, const QVariant& b) {
        const auto isNumber = [](const QVariant& v) {
            const int type = v.typeId();
            return type == QMetaType::Double || type == QMetaType::Int ||
                   type == QMetaType::LongLong;
        };
        if (isNumber(a) && isNumber(b)) return QVariant(a.toDouble() + b.toDouble());
        return QVariant(a.toString() + b.toString());
    }

    const QString& text_;
    qsizetype at_ = 0;
    QStringList aliases_;
    QStringList fields_;
};

}  // namespace

std::optional<KeyEvaluator> CompileKeyText(const QString& keyText) {
    return KeyTextReader(keyText).ReadWhole();
}

std::optional<QStringList> KeyTextAliases(const QString& keyText) {
    KeyTextReader reader(keyText);
    if (!reader.ReadWhole()) return std::nullopt;
    return reader.aliases();
}

std::optional<QStringList> KeyTextFields(const QString& keyText) {
    KeyTextReader reader(keyText);
    if (!reader.ReadWhole()) return std::nullopt;
    return reader.fields();
}

}  // namespace kesp::store
