// Recorded pages kept in one file ("pages.kpg") in a folder of their own under
// the temporary folder, one after another with their places remembered, so
// that a long report does not have to be held in memory while it is
// previewed. The folder and its file are removed when the PageFolder goes
// away (the preview closing, or the print job ending).
#pragma once

#include "reports/recorded_page.h"
#include "reports/report_layout.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

// Pages to show or print, read by 0-based index.
class RecordedPages {
  public:
    virtual ~RecordedPages() = default;
    virtual int pageCount() const = 0;
    // Requires: 0 <= index < pageCount().
    virtual RecordedPage page(int index) const = 0;
};

class PageFolder : public PageSink, public RecordedPages {
  public:
    // Creating the folder or writing a page that fails is a fault.
    PageFolder();
    void addPage(RecordedPage page) override;
    int pageCount() const override { return count_; }
    RecordedPage page(int index) const override;
    QString path() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
    mutable QFile file_;
    std::vector<qint64> starts_;  // of each page in the file, and its end
    int count_ = 0;
};

// Pages held in memory: tests, and single-page jobs.
class PageList : public PageSink, public RecordedPages {
  public:
    void addPage(RecordedPage page) override { pages_.push_back(std::move(page)); }
    int pageCount() const override { return int(pages_.size()); }
    RecordedPage page(int index) const override { return pages_[size_t(index)]; }
    const std::vector<RecordedPage>& pages() const { return pages_; }

  private:
    std::vector<RecordedPage> pages_;
};
