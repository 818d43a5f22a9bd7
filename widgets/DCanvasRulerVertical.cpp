#include "DCanvasRulerVertical.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "DCanvas.h"
#include "DGraphicsView.h"

DCanvasRulerVertical::DCanvasRulerVertical(DCanvas* canvas)
    : DCanvasRuler(canvas)
{
    setFixedWidth(16);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    connect(canvas->view()->verticalScrollBar(), &QScrollBar::valueChanged,
            this, QOverload<>::of(&QWidget::repaint));
}

void DCanvasRulerVertical::setCurrentPos(int pos)
{
    update(QRect(0, m_nCurrentPos - 1, width(), 3));
    m_nCurrentPos = pos;
    update(QRect(0, m_nCurrentPos - 1, width(), 3));
}

void DCanvasRulerVertical::paintEvent(QPaintEvent* event)
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
    const DCanvasRulerTicks ticks = calcTicks(scene.y(), scene.height(), exposed.height());
    auto pixel = [&toView](double v) { return int(toView.map(QPointF(0.0, v)).y()); };

    QPen tickPen(Qt::gray);
    tickPen.setCosmetic(true);
    painter.setPen(tickPen);
    const double minor = ticks.step / qMax(1, ticks.minorCount);
    for (int i = 0; ticks.step > 0 && ticks.first + i * ticks.step <= ticks.last; ++i) {
        const double v = ticks.first + i * ticks.step;
        painter.drawLine(0, pixel(v), 15, pixel(v));
        if (ticks.halfTick)
            painter.drawLine(6, pixel(v + ticks.step / 2), 15, pixel(v + ticks.step / 2));
        for (int k = 1; k < ticks.minorCount; ++k)
            painter.drawLine(10, pixel(v + k * minor), 15, pixel(v + k * minor));
    }

    // Labels read bottom to top: drawn in a frame turned by -90 degrees, each
    // ending 2 pixels past its tick, baseline 8 pixels from the left edge.
    QFont font = painter.font();
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60, 255));
    const QFontMetrics metrics(font);
    painter.rotate(-90);
    for (int i = 0; ticks.step > 0 && ticks.first + i * ticks.step <= ticks.last; ++i) {
        const double v = ticks.first + i * ticks.step;
        const QString text = QString::number(v, 'g', 6);
        const int w = metrics.horizontalAdvance(text);
        painter.drawText(QPoint(-(w + pixel(v) + 2), 8), text);
    }
    painter.rotate(90);

    QPen basePen(Qt::black);
    basePen.setCosmetic(true);
    painter.setPen(basePen);
    painter.drawLine(15, 0, 15, exposed.bottom());

    QPen markPen(Qt::blue);
    markPen.setStyle(Qt::DashLine);
    markPen.setCosmetic(true);
    painter.setPen(markPen);
    if (exposed.contains(QPoint(1, m_nCurrentPos)))
        painter.drawLine(0, m_nCurrentPos, 15, m_nCurrentPos);
}
