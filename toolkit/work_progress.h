// A long piece of work the user watches and may stop. Work that ends within a
// moment (half a second) shows nothing; longer work shows a window with how
// far it has come and a Cancel button, and the program stays responsive
// meanwhile: the work reports as it goes, and the window's events are handled
// there (at most twenty times a second, so that reporting costs next to
// nothing). What a cancel undoes is the work's own business.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;

namespace kesp {

class WorkProgress {
  public:
    // `total` steps are to be done; `label` says what the work is doing,
    // `cancelCaption` is the button's caption.
    WorkProgress(QString label, QString cancelCaption, int total);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // `done` of the steps are done; false once the user has cancelled (and
    // from then on).
    bool Advance(int done);

  private:
    QString label_;
    QString cancelCaption_;
    int total_;
    QElapsedTimer clock_;
    qint64 lastShown_ = 0;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace kesp
