#include "apps/words/word_list_progress.h"

#include "apps/words/word_list_texts.h"
#include "kernel/public_variables.h"
#include "toolkit/forms.h"

namespace {

constexpr char kWindow[] = "woerter_frm";

}  // namespace

void ShowWordListStatus(const QString& text) {
    SETPROPERTY(kWindow, "Label_12", "value", text);
}

void ShowWordListProgress(int value) {
    SETPROPERTY(kWindow, "ProgressBar_1", "value", value);
}

void BeginWordListWork() {
    SETPROPERTY(kWindow, "ProgressBar_1", "visible", true);
}

void EndWordListWork() {
    SETPROPERTY(kWindow, "ProgressBar_1", "visible", false);
}

void ShowReadyWithCount(int pairs) {
    THE_ANZAHL = pairs;
    ShowWordListStatus(TEXT(word_texts::kReady) + QString::number(pairs));
}

void ShowFoundWords(int pairs) {
    THE_ANZAHL = pairs;
    ShowWordListStatus(TEXT(word_texts::kFoundWords).arg(pairs));
}
