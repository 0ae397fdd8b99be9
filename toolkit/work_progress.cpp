#include "toolkit/work_progress.h"

#include "toolkit/driver_seam.h"

#include <QApplication>
#include <QProgressDialog>

#include <utility>

namespace kesp {
namespace {

constexpr qint64 kMomentMs = 500;    // work shorter than this shows nothing
constexpr qint64 kShowEveryMs = 50;  // how often the window is brought up to date

}  // namespace

WorkProgress::WorkProgress(QString label, QString cancelCaption, int total)
    : label_(std::move(label)), cancelCaption_(std::move(cancelCaption)), total_(total) {
    clock_.start();
}

WorkProgress::~WorkProgress() = default;

bool WorkProgress::Advance(int done) {
    if (cancelled_) return false;
    if (seam::cancelWork) {
        cancelled_ = seam::cancelWork(done, total_);
        return !cancelled_;
    }
    const qint64 now = clock_.elapsed();
    if (now < kMomentMs || now - lastShown_ < kShowEveryMs) return true;
    lastShown_ = now;
    if (!dialog_) {
        dialog_ = std::make_unique<QProgressDialog>(label_, cancelCaption_, 0, total_,
                                                    QApplication::activeWindow());
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
    }
    dialog_->setValue(done);  // a modal progress window handles the events here
    QApplication::processEvents();
    cancelled_ = dialog_->wasCanceled();
    return !cancelled_;
}

}  // namespace kesp
