#include "DCanvasRulerHorizontal.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "DCanvas.h"
#include "DGraphicsView.h"

DCanvasRulerHorizontal::DCanvasRulerHorizontal(DCanvas* canvas)
    : DCanvasRuler(canvas)
{
    setFixedHeight(16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(canvas->view()->horizontalScrollBar(), &QScrollBar::valueChanged,
            this, QOverload<>::of(&QWidget::repaint));
}

void DCanvasRulerHorizontal::setCurrentPos(int pos)
{
    update(QRect(m_nCurrentPos - 1, 0, 3, height()));
    m_nCurrentPos = pos;
    update(QRect(m_nCurrentPos - 1, 0, 3, height()));
}

void DCanvasRulerHorizontal::paintEvent(QPaintEvent* event)
{
    const QRect exposed = event->rect();
    if (exposed.width() == 0 || exposed.height() == 0 || !m_pCanvas->view())
        return;

    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter.drawRect(exposed);
    painter.setBrush(Qt::NoBrush);

    const QTransform toView = m_pCanvas->view()->viewportTransform();
    const QRectF scene = toView.inverted().mapRect(QRectF(exposed));
    const DCanvasRulerTicks ticks = calcTicks(scene.x(), scene.width(), exposed.width());
    auto pixel = [&toView](double v) { return int(toView.map(QPointF(v, 0.0)).x()); };

    QPen tickPen(Qt::gray);
    tickPen.setCosmetic(true);
    painter.setPen(tickPen);
    const double minor = ticks.step / qMax(1, ticks.minorCount);
    for (int i = 0; ticks.step > 0 && ticks.first + i * ticks.step <= ticks.last; ++i) {
        const double v = ticks.first + i * ticks.step;
        painter.drawLine(pixel(v), 0, pixel(v), 15);
        if (ticks.halfTick)
            painter.drawLine(pixel(v + ticks.step / 2), 6, pixel(v + ticks.step / 2), 15);
        for (int k = 1; k < ticks.minorCount; ++k)
            painter.drawLine(pixel(v + k * minor), 10, pixel(v + k * minor), 15);
    }

    QFont font = painter.font();
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60, 255));
    for (int i = 0; ticks.step > 0 && ticks.first + i * ticks.step <= ticks.last; ++i) {
        const double v = ticks.first + i * ticks.step;
        painter.drawText(QPoint(pixel(v) + 2, 8), QString::number(v, 'g', 6));
    }

    QPen basePen(Qt::black);
    basePen.setCosmetic(true);
    painter.setPen(basePen);
    painter.drawLine(exposed.left(), 15, exposed.right(), 15);

    QPen markPen(Qt::blue);
    markPen.setStyle(Qt::DashLine);
    markPen.setCosmetic(true);
    painter.setPen(markPen);
    if (exposed.contains(QPoint(m_nCurrentPos, 1)))
        painter.drawLine(m_nCurrentPos, 0, m_nCurrentPos, 15);
}
