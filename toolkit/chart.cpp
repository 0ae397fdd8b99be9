#include "toolkit/chart.h"

#include "toolkit/chart_painter.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"

#include <QPainter>

#include <optional>

namespace kesp {
namespace {

const QString kGraphControl = QStringLiteral("Graph");

// The drawing on a window: transparent where nothing is drawn, so the
// window's background shows through, and deaf to the mouse, so the controls
// under it stay usable.
class ChartCanvas : public QWidget {
  public:
    explicit ChartCanvas(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void draw(const ChartRequest& request) {
        request_ = request;
        setGeometry(QRect(QPoint(request.left, request.top),
                          QPoint(request.right - 1, request.bottom - 1)));
        show();
        raise();
        update();
    }
    void erase() {
        request_.reset();
        update();
    }
    bool drawn() const { return request_.has_value(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!request_) return;
        QPainter painter(this);
        PaintChart(painter, rect(), *request_);
    }

  private:
    std::optional<ChartRequest> request_;
};

class ChartControl : public Control {
  public:
    ChartControl(ChartCanvas* canvas) : Control(kGraphControl, canvas), canvas_(canvas) {}
    ChartCanvas* canvas() const { return canvas_; }

  private:
    ChartCanvas* canvas_;
};

ChartCanvas* CanvasOf(FormWindow* window, bool create) {
    if (auto* chart = dynamic_cast<ChartControl*>(window->findControl(kGraphControl)))
        return chart->canvas();
    if (!create) return nullptr;
    auto* canvas = new ChartCanvas(window);
    window->addControl(std::make_unique<ChartControl>(canvas));
    return canvas;
}

}  // namespace
}  // namespace kesp

void DRAWGRAPH(const QString& window, const ChartRequest& request) {
    kesp::FormWindow* form = kesp::FormWindowNamed(window);
    form->setProperty("chartRect", QRect(QPoint(request.left, request.top),
                                         QPoint(request.right - 1, request.bottom - 1)));
    kesp::CanvasOf(form, true)->draw(request);
}

void ERASEWINDOW(const QString& window) {
    if (kesp::ChartCanvas* canvas = kesp::CanvasOf(kesp::FormWindowNamed(window), false))
        canvas->erase();
}
