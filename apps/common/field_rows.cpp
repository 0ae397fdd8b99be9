#include "apps/common/field_rows.h"

#include "apps/common/form_controls.h"
#include "apps/common/window_texts.h"
#include "store/xbase.h"
#include "toolkit/fault_handler.h"
#include "toolkit/forms.h"

#include <QDate>

#include <algorithm>

namespace {

QString AliasField(const QString& alias, const QString& field) {
    return alias + "->" + field;
}

void DefineCaptionLabel(const FieldRow& row) {
    CaptionLabel(row.captionLabel, row.captionAt.row, row.captionAt.col, row.captionAt.width,
                 row.userCaption > 0 ? QString() : row.caption.de);
}

void DefineControl(const FieldRow& row) {
    const Box& at = row.at;
    switch (row.kind) {
        case FieldKind::Text:
        case FieldKind::DateText:
            _DEFINETEXTBOX(row.control, {.row = at.row,
                                         .col = at.col,
                                         .width = at.width,
                                         .height = at.height,
                                         .maxLength = row.inputLimit,
                                         .readOnly = row.kind == FieldKind::DateText});
            break;
        case FieldKind::Memo:
            _DEFINEEDITBOX(row.control, {.row = at.row,
                                         .col = at.col,
                                         .width = at.width,
                                         .height = at.height,
                                         .noHScroll = true});
            break;
        case FieldKind::Logical:
            _DEFINECHECKBOX(row.control, {.row = at.row,
                                          .col = at.col,
                                          .width = at.width,
                                          .height = at.height,
                                          .caption = row.caption.de,
                                          .bold = row.bold,
                                          .background = Qt::white});
            break;
        case FieldKind::Date:
            _DEFINEDATEPICKER(
                row.control,
                {.row = at.row, .col = at.col, .width = at.width, .height = at.height});
            break;
    }
}

// The control's property that shows its caption when it carries one itself.
bool CaptionedByItself(const FieldRow& row) {
    return row.captionLabel.isEmpty() && row.kind == FieldKind::Logical;
}

}  // namespace

void DefineFieldControls(const FieldRows& rows, int page) {
    QList<const FieldRow*> onPage;
    for (const FieldRow& row : rows)
        if (row.page == page) onPage.append(&row);
    std::stable_sort(onPage.begin(), onPage.end(), [](const FieldRow* a, const FieldRow* b) {
        return std::pair(a->at.row, a->at.col) < std::pair(b->at.row, b->at.col);
    });
    for (const FieldRow* row : onPage) {
        if (!row->captionLabel.isEmpty()) DefineCaptionLabel(*row);
        DefineControl(*row);
    }
}

void SetFieldCaptions(const QString& window, const FieldRows& rows,
                      const QStringList& userCaptions) {
    for (const FieldRow& row : rows) {
        const QString caption =
            row.userCaption > 0 ? userCaptions.value(row.userCaption - 1) : TEXT(row.caption);
        if (!row.captionLabel.isEmpty()) {
            SETPROPERTY(window, row.captionLabel, "caption", caption);
        } else if (CaptionedByItself(row)) {
            SETPROPERTY(window, row.control, "caption", caption);
        }
    }
}

void FillControlsFromRecord(const QString& window, const QString& alias, const FieldRows& rows) {
    for (const FieldRow& row : rows) {
        const QVariant stored = FIELD(AliasField(alias, row.field));
        switch (row.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                SETPROPERTY(window, row.control, "value", TrimBlanks(stored.toString()));
                break;
            case FieldKind::Logical:
                SETPROPERTY(window, row.control, "value", stored.toBool());
                break;
            case FieldKind::Date:
                SETPROPERTY(window, row.control, "value", stored.toDate());
                break;
            case FieldKind::DateText:
                SETPROPERTY(window, row.control, "value", DTOC(stored.toDate()));
                break;
        }
    }
}

void PrepareControlsForNewRecord(const QString& window, const FieldRows& rows) {
    for (const FieldRow& row : rows) {
        if (row.onNew == OnNew::Keep) continue;
        const bool today = row.onNew == OnNew::Today;
        switch (row.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                SETPROPERTY(window, row.control, "value", QString());
                break;
            case FieldKind::Logical:
                SETPROPERTY(window, row.control, "value", false);
                break;
            case FieldKind::Date:
                SETPROPERTY(window, row.control, "value", today ? DATE() : QDate());
                break;
            case FieldKind::DateText:
                SETPROPERTY(window, row.control, "value", DTOC(today ? DATE() : QDate()));
                break;
        }
    }
}

void WriteControlsToRecord(const QString& window, const QString& alias, const FieldRows& rows) {
    for (const FieldRow& row : rows) {
        const QVariant shown = GETPROPERTY(window, row.control, "value");
        const QString field = AliasField(alias, row.field);
        switch (row.kind) {
            case FieldKind::Text:
            case FieldKind::Memo:
                REPLACE(field, TrimBlanks(shown.toString()));
                break;
            case FieldKind::Logical:
                REPLACE(field, shown.toBool());
                break;
            case FieldKind::Date:
                REPLACE(field, shown.toDate());
                break;
            case FieldKind::DateText:
                REPLACE(field, CTOD(shown.toString()));
                break;
        }
    }
}

QString TrimmedValue(const QString& window, const QString& control) {
    return TrimBlanks(GETPROPERTY(window, control, "value").toString());
}

const FieldRow& RowOfControl(const FieldRows& rows, const QString& control) {
    for (const FieldRow& row : rows)
        if (row.control.compare(control, Qt::CaseInsensitive) == 0) return row;
    kesp::RaiseFormsFault("No field row for control " + control);
}
