#include "reports/print_preview.h"

#include "kernel/texts.h"
#include "reports/page_output.h"
#include "reports/report_dialogs.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
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
    setWindowTitle(TEXT({"Druckvorschau", "Print Preview", "Visualizar impressão"}));

    auto* layout = new QVBoxLayout(this);
    auto* tools = new QToolBar;
    tools->setObjectName("tools");
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto addTool = [&](const QString& name, const Texts& caption, auto slot) {
        QAction* action = tools->addAction(TEXT(caption));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    addTool("first", {"Erste Seite [Pos1]", "First Page [HOME]", "Primeira página [Home]"},
            &PrintPreview::firstPage);
    addTool("previous",
            {"Vorige Seite [Bild auf]", "Previous Page [PGUP]", "Página anterior [PgUp]"},
            &PrintPreview::previousPage);
    addTool("next", {"Nächste Seite [Bild ab]", "Next Page [PGDN]", "Próxima página [PgDn]"},
            &PrintPreview::nextPage);
    addTool("last", {"Letzte Seite [Ende]", "Last Page [END]", "Última página [End]"},
            &PrintPreview::lastPage);
    addTool("goto", {"Gehe zu Seite", "Go To Page", "Ir para a página"}, &PrintPreview::goToPage);
    addTool("zoom", {"Zoom", "Zoom", "Zoom"}, &PrintPreview::toggleZoom);
    addTool("thumbnails", {"Miniaturen", "Thumbnails", "Miniaturas"},
            &PrintPreview::showThumbnails);
    addTool("save", {"Speichern", "Save", "Salvar"}, &PrintPreview::save);
    addTool("print", {"Drucken", "Print", "Imprimir"}, &PrintPreview::print);
    addTool("close", kCloseCaption, &QDialog::accept);
    layout->addWidget(tools);
    // Every action stays on the bar, none in its overflow menu: the preview is
    // at least as wide as the bar, and as wide as the screen allows beyond.
    const int barWidth = tools->sizeHint().width() + layout->contentsMargins().left() +
                         layout->contentsMargins().right();
    setMinimumWidth(barWidth);
    const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
    resize(qMax(barWidth, qMin(900, room.width() - 40)), qMin(700, room.height() - 60));

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
    waitText_ = new QLabel(
        TEXT({"Miniaturen werden erstellt... Bitte warten...",
              "Generating Thumbnails... Please Wait...", "Gerando miniaturas... Aguarde..."}));
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

// The page as wide as the view, so that its text can be read; the rest of
// it is a scroll away.
double PrintPreview::fittingDpi() const {
    const RecordedPage page = pages_->page(current_);
    const QSizeF mm = page.paperMm.isValid() ? page.paperMm : QSizeF(215.9, 279.4);
    const int scrollBar = scroll_->verticalScrollBar()->sizeHint().width();
    const int room = scroll_->viewport()->width() - 16 -
                     (scroll_->verticalScrollBar()->isVisible() ? 0 : scrollBar);
    return qMax(kMinZoomDpi / 2, room / (mm.width() / 25.4));
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
    // The page follows the width of the view it is shown in.
    if (event->type() == QEvent::Resize && watched == scroll_->viewport() && !zoomed_)
        renderCurrent();
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
