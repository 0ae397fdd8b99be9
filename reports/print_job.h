// One print job at a time. A job runs from the moment a printing service
// accepts it until its pages are printed or its preview is closed; while it
// runs, the windows stay responsive (events are processed once per record), so
// the user can start another print. That second job must not run: it would
// move the record pointer of the view the first one is printing.
#pragma once

class PrintJob {
  public:
    // True when no other job runs; then this one runs until destroyed.
    PrintJob() : accepted_(!running_) {
        if (accepted_) running_ = true;
    }
    ~PrintJob() {
        if (accepted_) running_ = false;
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    bool accepted() const { return accepted_; }

  private:
    static inline bool running_ = false;
    const bool accepted_;
};
