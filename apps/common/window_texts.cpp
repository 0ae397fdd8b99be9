#include "apps/common/window_texts.h"

#include "toolkit/forms.h"

void SetWindowTexts(const QString& window, const QList<ControlText>& texts) {
    for (const ControlText& entry : texts) {
        if (entry.control.isEmpty()) {
            SETPROPERTY(window, "Title", TEXT(entry.text));
        } else if (entry.index > 0) {
            SETPROPERTY(window, entry.control, entry.property, entry.index, TEXT(entry.text));
        } else {
            SETPROPERTY(window, entry.control, entry.property, TEXT(entry.text));
        }
    }
}

QString WindowWording::operator()(const QString& control, const QString& property,
                                  const Texts& text) {
    texts_.append({control, property, 0, text});
    return TEXT(text);
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}
