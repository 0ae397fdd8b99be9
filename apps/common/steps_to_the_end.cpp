#include "apps/common/steps_to_the_end.h"

#include "kernel/problem_texts.h"
#include "toolkit/forms.h"

void StepsToTheEnd::Run(const std::function<void()>& step) {
    try {
        step();
    } catch (const kesp::WriteFailure& failure) {
        if (!firstRefusal_) firstRefusal_.emplace(failure);
    }
}

bool StepsToTheEnd::TellSavedAnyway(const QString& title) const {
    if (!firstRefusal_) return false;
    MSGEXCLAMATION(WRITE_FAILURE_AFTER_SAVE_TEXT(*firstRefusal_), title);
    return true;
}

void StepsToTheEnd::ThrowRefusal() const {
    if (firstRefusal_) throw *firstRefusal_;
}
