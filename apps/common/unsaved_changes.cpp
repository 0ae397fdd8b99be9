#include "apps/common/unsaved_changes.h"

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QVariant>

#include <map>

namespace {

const Texts kDiscardQuestion{"Änderungen verwerfen?", "Discard changes?", "Descartar alterações?"};

// By window name in lower case: a window defined again starts anew when it is filled.
std::map<QString, QVariantList>& Remembered() {
    static std::map<QString, QVariantList> shown;
    return shown;
}

QVariantList ShownValues(const QString& window, const FieldRows& rows) {
    QVariantList values;
    for (const FieldRow& row : rows)
        values.append(GETPROPERTY(window, row.control, "value"));
    return values;
}

bool SomeDatePickerHoldsNoDate(const QString& window, const FieldRows& rows) {
    for (const FieldRow& row : rows)
        if (row.kind == FieldKind::Date && GETPROPERTY(window, row.control, "nodate").toBool())
            return true;
    return false;
}

}  // namespace

void RememberShownValues(const QString& window, const FieldRows& rows) {
    Remembered()[window.toLower()] = ShownValues(window, rows);
}

bool ShownValuesChanged(const QString& window, const FieldRows& rows) {
    if (SomeDatePickerHoldsNoDate(window, rows)) return true;
    const auto remembered = Remembered().find(window.toLower());
    if (remembered == Remembered().end()) return false;
    return remembered->second != ShownValues(window, rows);
}

bool MayDiscardShownValues(const QString& window, const FieldRows& rows, const QString& title) {
    if (!ShownValuesChanged(window, rows)) return true;
    return MSGYESNO(TEXT(kDiscardQuestion), title);
}
