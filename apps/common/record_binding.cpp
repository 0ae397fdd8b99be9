#include "apps/common/record_binding.h"

#include "apps/common/window_texts.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QDate>

namespace {

QString AliasField(const QString& alias, const QString& field) {
    return alias + "->" + field;
}

}  // namespace

void FillControlsFromRecord(const QString& window, const QString& alias,
                            const RecordBinding& binding) {
    for (const FieldBinding& bound : binding) {
        const QVariant stored = FIELD(AliasField(alias, bound.field));
        switch (bound.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                SETPROPERTY(window, bound.control, "value", TrimBlanks(stored.toString()));
                break;
            case FieldKind::Logical:
                SETPROPERTY(window, bound.control, "value", stored.toBool());
                break;
            case FieldKind::Date:
                SETPROPERTY(window, bound.control, "value", stored.toDate());
                break;
        }
    }
}

void ClearBoundControls(const QString& window, const RecordBinding& binding) {
    for (const FieldBinding& bound : binding) {
        switch (bound.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                SETPROPERTY(window, bound.control, "value", QString());
                break;
            case FieldKind::Logical:
                SETPROPERTY(window, bound.control, "value", false);
                break;
            case FieldKind::Date:
                SETPROPERTY(window, bound.control, "value", QDate());
                break;
        }
    }
}

void WriteControlsToRecord(const QString& window, const QString& alias,
                           const RecordBinding& binding) {
    for (const FieldBinding& bound : binding) {
        const QVariant shown = GETPROPERTY(window, bound.control, "value");
        switch (bound.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                REPLACE(AliasField(alias, bound.field), TrimBlanks(shown.toString()));
                break;
            case FieldKind::Logical:
                REPLACE(AliasField(alias, bound.field), shown.toBool());
                break;
            case FieldKind::Date:
                REPLACE(AliasField(alias, bound.field), shown.toDate());
                break;
        }
    }
}

QString TrimmedValue(const QString& window, const QString& control) {
    return TrimBlanks(GETPROPERTY(window, control, "value").toString());
}
