#include "reports/print_preview.h"

#include "reports/page_output.h"
#include "reports/report_dialogs.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

PrintPreview* theOpenPreview = nullptr;

constexpr double kThumbnailDpi = 20;
constexpr double kMinZoomDpi = 40;
constexpr double kMaxZoomDpi = 400;

}  // namespace

PrintPreview::PrintPreview(std::unique_ptr<RecordedPages> pages, QWidget* parent)
    : QDialog(parent), pages_(std::move(pages)) {
    theOpenPreview = this;
    setObjectName("PrintPreview");
    setWindowTitle("Print Preview");
    resize(900, 700);

    auto* layout = new QVBoxLayout(this);
    auto* tools = new QToolBar;
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto addTool = [&](const QString& name, const QString& caption, auto slot) {
        QAction* action = tools->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    addTool("first", "First Page [HOME]", &PrintPreview::firstPage);
    addTool("previous", "Previous Page [PGUP]", &PrintPreview::previousPage);
    addTool("next", "Next Page [PGDN]", &PrintPreview::nextPage);
    addTool("last", "Last Page [END]", &PrintPreview::lastPage);
    addTool("goto", "Go To Page", &PrintPreview::goToPage);
    addTool("zoom", "Zoom", &PrintPreview::toggleZoom);
    addTool("thumbnails", "Thumbnails", &PrintPreview::showThumbnails);
    addTool("save", "Save", &PrintPreview::save);
    addTool("print", "Print", &PrintPreview::print);
    addTool("close", "Close", &QDialog::accept);
    layout->addWidget(tools);

    views_ = new QStackedWidget;
    scroll_ = new QScrollArea;
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageView_ = new QLabel;
    pageView_->setObjectName("page");
    pageView_->installEventFilter(this);
    scroll_->viewport()->installEventFilter(this);
    scroll_->setWidget(pageView_);
    views_->addWidget(scroll_);

    auto* thumbnailPage = new QWidget;
    auto* thumbnailLayout = new QVBoxLayout(thumbnailPage);
    waitText_ = new QLabel("Generating Thumbnails... Please Wait...");
    waitText_->setObjectName("wait");
    waitText_->setAlignment(Qt::AlignCenter);
    thumbnails_ = new QListWidget;
    thumbnails_->setObjectName("thumbnails");
    thumbnails_->setViewMode(QListView::IconMode);
    thumbnails_->setResizeMode(QListView::Adjust);
    thumbnails_->setMovement(QListView::Static);
    thumbnails_->setSpacing(8);
    thumbnails_->setBackgroundRole(QPalette::Dark);
    connect(thumbnails_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(thumbnails_->row(item)); });
    connect(thumbnails_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(thumbnails_->row(item)); });
    thumbnailLayout->addWidget(waitText_);
    thumbnailLayout->addWidget(thumbnails_);
    views_->addWidget(thumbnailPage);
    layout->addWidget(views_, 1);

    position_ = new QLabel;
    position_->setObjectName("position");
    layout->addWidget(position_);

    showPage(0);
}

PrintPreview::~PrintPreview() {
    if (theOpenPreview == this) theOpenPreview = nullptr;
}

bool PrintPreview::IsOpen() {
    return theOpenPreview != nullptr;
}

void PrintPreview::showPage(int index) {
    if (pageCount() == 0) return;
    current_ = qBound(0, index, pageCount() - 1);
    views_->setCurrentIndex(0);
    position_->setText(QString::number(current_ + 1) + " / " + QString::number(pageCount()));
    renderCurrent();
}

double PrintPreview::fittingDpi() const {
    const RecordedPage page = pages_->page(current_);
    const QSizeF mm = page.paperMm.isValid() ? page.paperMm : QSizeF(215.9, 279.4);
    const QSize room = scroll_->viewport()->size() - QSize(16, 16);
    const double byWidth = room.width() / (mm.width() / 25.4);
    const double byHeight = room.height() / (mm.height() / 25.4);
    return qMax(kMinZoomDpi / 2, qMin(byWidth, byHeight));
}

void PrintPreview::renderCurrent() {
    if (pageCount() == 0) return;
    const double dpi = zoomed_ ? zoomDpi_ : fittingDpi();
    const QImage image = RenderPage(pages_->page(current_), dpi);
    pageView_->setPixmap(QPixmap::fromImage(image));
    pageView_->resize(image.size());
}

void PrintPreview::goToPage() {
    const auto number = CurrentReportDialogs().askPageNumber(this, current_ + 1, pageCount());
    if (number) showPage(*number - 1);
}

void PrintPreview::toggleZoom() {
    zoomed_ = !zoomed_;
    if (zoomed_) zoomDpi_ = qMax(zoomDpi_, fittingDpi() * 2);
    renderCurrent();
}

void PrintPreview::showThumbnails() {
    views_->setCurrentIndex(1);
    thumbnails_->clear();
    waitText_->show();
    QCoreApplication::processEvents();
    for (int i = 0; i < pageCount(); ++i) {
        QImage image = RenderPage(pages_->page(i), kThumbnailDpi);
        QPainter frame(&image);
        frame.setPen(Qt::darkGray);
        frame.drawRect(image.rect().adjusted(0, 0, -1, -1));
        frame.end();
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(image)), QString::number(i + 1));
        thumbnails_->addItem(item);
        if (i == 0) thumbnails_->setIconSize(image.size());
        QCoreApplication::processEvents();
    }
    waitText_->hide();
}

void PrintPreview::save() {
    const QString file = CurrentReportDialogs().askPdfFile(this);
    if (file.isEmpty()) return;
    QList<int> all;
    for (int i = 0; i < pageCount(); ++i)
        all.append(i);
    if (!WritePdf(file, *pages_, all)) {
        MSGEXCLAMATION("(" + file + ")  File cannot be written", "error");
    }
}

void PrintPreview::print() {
    const auto choice = CurrentReportDialogs().askPrintChoice(this, pageCount());
    if (!choice) return;
    PrintChoice c = *choice;
    if (c.printer.isEmpty() && c.pdfFile.isEmpty()) {
        c.pdfFile = CurrentReportDialogs().askPdfFile(this);
        if (c.pdfFile.isEmpty()) return;
    }
    PrintPages(*pages_, c);
}

void PrintPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Home:
            firstPage();
            return;
        case Qt::Key_PageUp:
            previousPage();
            return;
        case Qt::Key_PageDown:
            nextPage();
            return;
        case Qt::Key_End:
            lastPage();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

bool PrintPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == pageView_) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            toggleZoom();
            return true;
        }
    }
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const double base = zoomed_ ? zoomDpi_ : fittingDpi();
            zoomDpi_ =
                qBound(kMinZoomDpi, base * (wheel->angleDelta().y() > 0 ? 1.25 : 0.8), kMaxZoomDpi);
            zoomed_ = true;
            renderCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrintPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!zoomed_) renderCurrent();
}
