#include "apps/common/lost_characters.h"

#include "store/codec.h"

namespace {

constexpr int kNamedRecords = 3;

const Texts kCharactersReplacedInOne{
    "Zeichen, die die Tabelle nicht speichern kann, sind in %1 Text durch die nächsten "
    "Buchstaben ersetzt oder weggelassen, z. B.: %2",
    "Characters the table cannot store were replaced by the nearest letters or left out in %1 "
    "text, e.g.: %2",
    "Caracteres que a tabela não pode gravar foram substituídos pelas letras mais próximas ou "
    "omitidos em %1 texto, p. ex.: %2"};
const Texts kCharactersReplaced{
    "Zeichen, die die Tabelle nicht speichern kann, sind in %1 Texten durch die nächsten "
    "Buchstaben ersetzt oder weggelassen, z. B.: %2",
    "Characters the table cannot store were replaced by the nearest letters or left out in %1 "
    "texts, e.g.: %2",
    "Caracteres que a tabela não pode gravar foram substituídos pelas letras mais próximas ou "
    "omitidos em %1 textos, p. ex.: %2"};

}  // namespace

QString LostCharacters::kept(const QString& text, const QString& record) {
    bool replaced = false;
    QString storable = kesp::store::NearestStorable(text, &replaced);
    if (replaced) {
        ++count_;
        if (named_.size() < kNamedRecords && !named_.contains(record)) named_.append(record);
    }
    return storable;
}

QString LostCharacters::summaryLine() const {
    if (count_ == 0) return {};
    return COUNTED(count_, kCharactersReplacedInOne, kCharactersReplaced)
        .arg("\"" + named_.join("\", \"") + "\"");
}
