// The print preview: the recorded pages of one job shown one at a time, as
// wide as the view (zoom: button, mouse click, Ctrl + wheel), with page
// navigation (also by the Home, Page Up, Page Down and End keys), a page
// number to go to, thumbnails, saving as a PDF file and printing. Its texts
// are in the interface language; every action of its bar stays in sight. The preview owns the
// pages; they are removed with it when it closes.
//
// Only one preview may be open at a time: IsOpen() tells the printing
// services to refuse a new job while one is shown.
#pragma once

#include "reports/page_folder.h"

#include <QDialog>
#include <QImage>

#include <memory>

class QLabel;
class QListWidget;
class QScrollArea;
class QStackedWidget;

class PrintPreview : public QDialog {
  public:
    PrintPreview(std::unique_ptr<RecordedPages> pages, QWidget* parent = nullptr);
    ~PrintPreview() override;

    static bool IsOpen();

    // 0-based page shown.
    int currentPage() const { return current_; }
    int pageCount() const { return pages_->pageCount(); }
    bool zoomed() const { return zoomed_; }
    const RecordedPages& pages() const { return *pages_; }

    void firstPage() { showPage(0); }
    void previousPage() { showPage(current_ - 1); }
    void nextPage() { showPage(current_ + 1); }
    void lastPage() { showPage(pageCount() - 1); }
    void goToPage();
    void toggleZoom();
    void showThumbnails();
    void save();
    void print();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showPage(int index);
    void renderCurrent();
    double fittingDpi() const;

    std::unique_ptr<RecordedPages> pages_;
    int current_ = 0;
    bool zoomed_ = false;
    double zoomDpi_ = 110;
    QStackedWidget* views_;
    QScrollArea* scroll_;
    QLabel* pageView_;
    QLabel* position_;
    QLabel* waitText_;
    QListWidget* thumbnails_;
};
