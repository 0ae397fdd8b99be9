#include "store/key_texts.h"

#include <QRegularExpression>

namespace kesp::store {
namespace {

bool NamesThisTable(const QRegularExpressionMatch& m, int group, const QString& alias) {
    return m.capturedLength(group) == 0 ||
           m.captured(group).compare(alias, Qt::CaseInsensitive) == 0;
}

// "field" or "alias->field" (group 1 the alias, group 2 the field), alone
// or within UPPER().
QRegularExpression PlainKey() {
    return QRegularExpression(QStringLiteral(R"(^\s*(?:(\w+)\s*->\s*)?(\w+)\s*$)"));
}
QRegularExpression UpperKey() {
    return QRegularExpression(
        QStringLiteral(R"(^\s*UPPER\s*\(\s*(?:(\w+)\s*->\s*)?(\w+)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
}

int CharacterField(const DbfTable& table, const QString& name) {
    const int field = table.FieldIndex(name);
    return field >= 0 && table.fields()[field].type == 'C' ? field : -1;
}

}  // namespace

NativeKey RecogniseKey(const DbfTable& table, const QString& alias, const QString& keyText) {
    static const QRegularExpression plain = PlainKey();
    static const QRegularExpression upper = UpperKey();
    for (const bool isUpper : {false, true}) {
        const QRegularExpressionMatch m = (isUpper ? upper : plain).match(keyText);
        if (!m.hasMatch() || !NamesThisTable(m, 1, alias)) continue;
        const int field = CharacterField(table, m.captured(2));
        if (field >= 0) return {field, isUpper};
    }
    return {};
}

bool HasNativeKeyForm(const QString& keyText) {
    // Patterns of its own: matching one shared by threads is not promised
    // to be safe.
    return PlainKey().match(keyText).hasMatch() || UpperKey().match(keyText).hasMatch();
}

}  // namespace kesp::store
