#include "apps/common/lost_characters.h"

#include "store/codec.h"

namespace {

constexpr int kNamedRecords = 3;

const Texts kCharactersLost{
    "Zeichen, die die Tabelle nicht speichern kann, fehlen in %1 Text(en), z. B.: %2",
    "Characters the table cannot store are left out of %1 text(s), e.g.: %2",
    "Caracteres que a tabela não pode gravar foram omitidos em %1 texto(s), p. ex.: %2"};

}  // namespace

QString LostCharacters::kept(const QString& text, const QString& record) {
    QString leftOut;
    QString storable = kesp::store::StorablePart(text, &leftOut);
    if (!leftOut.isEmpty()) {
        ++count_;
        if (named_.size() < kNamedRecords && !named_.contains(record)) named_.append(record);
    }
    return storable;
}

QString LostCharacters::summaryLine() const {
    if (count_ == 0) return {};
    return TEXT(kCharactersLost).arg(count_).arg("\"" + named_.join("\", \"") + "\"");
}
