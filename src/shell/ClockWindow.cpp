#include "shell/ClockWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "platform/Text.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace corvane {

// The three round buttons in the top-left corner.
class WindowButtons : public QWidget {
public:
    static constexpr int kDiameter = 14;
    static constexpr int kGap = 8;
    static constexpr int kInset = 12;

    explicit WindowButtons(ClockWindow* window) : QWidget(window), window_(window) {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
        setFixedSize(3 * kDiameter + 2 * kGap, kDiameter);
        setToolTip(QString());
    }

    void setDark(bool dark) {
        dark_ = dark;
        update();
    }

    int buttonAt(const QPoint& p) const {
        for (int i = 0; i < 3; ++i)
            if (circle(i).contains(p)) return i;
        return -1;
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave || e->type() == QEvent::HoverMove) {
            const bool inside = e->type() != QEvent::HoverLeave;
            if (inside != hovered_) {
                hovered_ = inside;
                update();
            }
        }
        if (e->type() == QEvent::ToolTip) {
            auto* he = static_cast<QHelpEvent*>(e);
            static const char* const tips[] = {"Schließen", "Im Dock ablegen", "Vollbild ein/aus"};
            const int i = buttonAt(he->pos());
            setToolTip(i >= 0 ? tr(tips[i]) : QString());
        }
        return QWidget::event(e);
    }

    void mousePressEvent(QMouseEvent* e) override {
        pressed_ = e->button() == Qt::LeftButton ? buttonAt(e->position().toPoint()) : -1;
        e->accept();
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        const int i = buttonAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && i >= 0 && i == pressed_) {
            if (i == 0) Q_EMIT window_->closeRequested();
            if (i == 1) Q_EMIT window_->minimizeRequested();
            if (i == 2) Q_EMIT window_->fullScreenToggleRequested();
        }
        pressed_ = -1;
        e->accept();
    }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        // Quiet grey dots that show their colour and symbol only under the
        // pointer, so they don't compete with the clocks.
        static const QColor hoverColors[] = {QColor(0xE0, 0x48, 0x3E), QColor(0xE8, 0xA3, 0x2C), QColor(0x3B, 0xB5, 0x4A)};
        const QColor idle = dark_ ? QColor(255, 255, 255, 70) : QColor(0, 0, 0, 60);
        for (int i = 0; i < 3; ++i) {
            const QRectF c = circle(i);
            p.setPen(Qt::NoPen);
            p.setBrush(hovered_ ? hoverColors[i] : idle);
            p.drawEllipse(c.adjusted(0.5, 0.5, -0.5, -0.5));
            if (!hovered_) continue;
            p.setPen(QPen(QColor(0, 0, 0, 150), 1.3, Qt::SolidLine, Qt::RoundCap));
            const QPointF m = c.center();
            const double r = kDiameter * 0.22;
            if (i == 0) {
                p.drawLine(m + QPointF(-r, -r), m + QPointF(r, r));
                p.drawLine(m + QPointF(-r, r), m + QPointF(r, -r));
            } else if (i == 1) {
                p.drawLine(m + QPointF(-r * 1.2, 0), m + QPointF(r * 1.2, 0));
            } else {
                p.setBrush(QColor(0, 0, 0, 150));
                p.setPen(Qt::NoPen);
                QPolygonF a{m + QPointF(-r * 1.1, -r * 1.1), m + QPointF(r * 0.5, -r * 1.1), m + QPointF(-r * 1.1, r * 0.5)};
                QPolygonF b{m + QPointF(r * 1.1, r * 1.1), m + QPointF(-r * 0.5, r * 1.1), m + QPointF(r * 1.1, -r * 0.5)};
                p.drawPolygon(a);
                p.drawPolygon(b);
            }
        }
    }

private:
    QRect circle(int i) const { return QRect(i * (kDiameter + kGap), 0, kDiameter, kDiameter); }

    ClockWindow* window_;
    bool dark_ = true;
    bool hovered_ = false;
    int pressed_ = -1;
};

namespace {

// With CORVANE_REPORT_FIRST_FRAME set, the first paint of anything in the
// window prints the time since the process started (for start-up
// measurements; /proc counts in clock ticks, so 10 ms steps).
class FirstFrameReporter : public QObject {
public:
    explicit FirstFrameReporter(QWidget* window) : QObject(window), window_(window) {}

    static qint64 msecsSinceProcessStart() {
        QFile stat(QStringLiteral("/proc/self/stat"));
        if (!stat.open(QIODevice::ReadOnly)) return -1;
        const QByteArray line = stat.readAll();
        // Field 22 (starttime) counts from the closing parenthesis of the name.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 20) return -1;
        timespec now{};
        clock_gettime(CLOCK_BOOTTIME, &now);
        const double started = fields[19].toDouble() / double(sysconf(_SC_CLK_TCK));
        return qint64((double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started) * 1000.0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_) {
            std::fprintf(stderr, "corvane: first frame after %lld ms\n", msecsSinceProcessStart());
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
};

// An invisible strip along one edge or corner that starts the window
// manager's own resize.
class ResizeGrip : public QWidget {
public:
    ResizeGrip(QWidget* window, Qt::Edges edges) : QWidget(window), edges_(edges) {
        const bool h = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool v = edges & (Qt::TopEdge | Qt::BottomEdge);
        if (h && v) {
            const bool mainDiagonal = edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
            setCursor(mainDiagonal ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
        } else {
            setCursor(h ? Qt::SizeHorCursor : Qt::SizeVerCursor);
        }
    }
    Qt::Edges edges() const { return edges_; }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && window()->windowHandle()) window()->windowHandle()->startSystemResize(edges_);
        e->accept();
    }

private:
    Qt::Edges edges_;
};

constexpr int kGrip = 5;

}  // namespace

ClockWindow::ClockWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Corvane"));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kDefaultWidth, kDefaultHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (qEnvironmentVariableIsSet("CORVANE_REPORT_FIRST_FRAME")) qApp->installEventFilter(new FirstFrameReporter(this));

    buttons_ = new WindowButtons(this);
    for (Qt::Edges e : {Qt::Edges(Qt::LeftEdge), Qt::Edges(Qt::RightEdge), Qt::Edges(Qt::TopEdge),
                        Qt::Edges(Qt::BottomEdge), Qt::TopEdge | Qt::LeftEdge, Qt::TopEdge | Qt::RightEdge,
                        Qt::BottomEdge | Qt::LeftEdge, Qt::BottomEdge | Qt::RightEdge})
        grips_.append(new ResizeGrip(this, e));

    fullScreenTimeout_.setSingleShot(true);
    fullScreenTimeout_.setInterval(2000);
    connect(&fullScreenTimeout_, &QTimer::timeout, this, [this] {
        if (!isFullScreen()) Q_EMIT fullScreenFailed();
    });
    resizeSettle_.setSingleShot(true);
    resizeSettle_.setInterval(300);
    connect(&resizeSettle_, &QTimer::timeout, this, &ClockWindow::resizeSettled);
    layoutChildren();
}

ClockWindow::~ClockWindow() = default;

void ClockWindow::setContent(QWidget* content) {
    if (content_) content_->deleteLater();
    content_ = content;
    if (content_) {
        content_->setParent(this);
        content_->lower();
        content_->show();
    }
    layoutChildren();
}

void ClockWindow::setBackgroundColor(const QColor& color) {
    if (color == background_) return;
    background_ = color;
    update();
}

void ClockWindow::setDark(bool dark) { buttons_->setDark(dark); }

void ClockWindow::setFloating(bool floating) {
    if (floating == floating_) return;
    floating_ = floating;
    // Through the QWindow: QWidget::setWindowFlags would hide and re-create
    // the native window, losing its place on some window managers.
    if (QWindow* w = windowHandle()) {
        w->setFlag(Qt::WindowStaysOnTopHint, floating);
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint, floating);
    }
}

void ClockWindow::toggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
        return;
    }
    Q_EMIT fullScreenWillEnter();
    fullScreenTimeout_.start();
    showFullScreen();
}

QRect ClockWindow::windowButtonsGeometry() const { return buttons_->geometry(); }

void ClockWindow::closeEvent(QCloseEvent* event) {
    // The clock must keep running to ring alarms: closing never destroys the
    // window; the delegate decides (it minimises).
    event->ignore();
    Q_EMIT closeRequested();
}

void ClockWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool full = isFullScreen();
    if (full == wasFullScreen_) return;
    wasFullScreen_ = full;
    for (QWidget* g : grips_) g->setVisible(!full);
    buttons_->setVisible(!full);
    if (full) {
        fullScreenTimeout_.stop();
        Q_EMIT fullScreenEntered();
    } else {
        Q_EMIT fullScreenExited();
    }
}

void ClockWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    Q_EMIT moved();
}

void ClockWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
    Q_EMIT resized();
    resizeSettle_.start();
}

void ClockWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), background_);
}

void ClockWindow::mousePressEvent(QMouseEvent* event) {
    // Presses that no child took land here: the background.
    drag_.press(*event, pos());
    event->accept();
}

void ClockWindow::mouseMoveEvent(QMouseEvent* event) {
    if (const auto at = drag_.follow(*event, windowHandle())) move(*at);
}

void ClockWindow::mouseReleaseEvent(QMouseEvent* event) {
    drag_.release(*event);
    event->accept();
}

void ClockWindow::layoutChildren() {
    const int w = width(), h = height();
    if (content_) content_->setGeometry(0, 0, w, h);
    buttons_->move(WindowButtons::kInset, WindowButtons::kInset);
    buttons_->raise();
    for (QWidget* g : grips_) {
        const Qt::Edges e = static_cast<ResizeGrip*>(g)->edges();
        const bool l = e & Qt::LeftEdge, r = e & Qt::RightEdge, t = e & Qt::TopEdge, b = e & Qt::BottomEdge;
        const int x = r ? w - kGrip : (l ? 0 : kGrip);
        const int y = b ? h - kGrip : (t ? 0 : kGrip);
        const int gw = (l || r) ? kGrip : w - 2 * kGrip;
        const int gh = (t || b) ? kGrip : h - 2 * kGrip;
        g->setGeometry(x, y, gw, gh);
        g->raise();
    }
}

}  // namespace corvane
