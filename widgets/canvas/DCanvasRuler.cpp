#include "DCanvasRuler.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "DCanvas.h"
#include "DGraphicsView.h"

namespace {
const int kBaseLine = 15;       // across the ruler, where ticks end
const int kHalfTickStart = 6;
const int kMinorTickStart = 10;
const int kLabelBaseline = 8;
const int kLabelGap = 2;

// Both rulers are drawn along their own axis: "along" runs with the ruler,
// "across" over its thickness. This turns such a line into widget pixels.
QLine ruleLine(Qt::Orientation orientation, int along1, int across1, int along2, int across2)
{
    if (orientation == Qt::Horizontal)
        return QLine(along1, across1, along2, across2);
    return QLine(across1, along1, across2, along2);
}
}

DCanvasRuler::DCanvasRuler(DCanvas* canvas)
    : QWidget(canvas)
    , m_pCanvas(canvas)
    , m_nCurrentPos(-1)
{
}

DCanvasRulerTicks DCanvasRuler::calcTicks(double sceneStart, double sceneLength, int pixelLength)
{
    DCanvasRulerTicks ticks;
    if (pixelLength <= 0)
        return ticks;
    // Scene units per 50 ruler pixels, brought to at least 10 by powers of ten.
    double u = sceneLength * 50.0 / pixelLength;
    if (!(u > 0.0) || !std::isfinite(u))
        return ticks;
    double d = 1.0;
    while (u < 10.0) {
        u *= 10.0;
        d *= 10.0;
    }
    // u rounded up to the next multiple of 10 (with a tolerance of 0.1).
    double step = (int(u - 0.1 + 10.0) / 10 * 10) / d;
    if (step < 1.0)
        step = 0.5;
    ticks.step = step;
    ticks.first = int(sceneStart / step - 1.0) * step;
    ticks.last = int((sceneStart + sceneLength) / step + 1.0) * step;
    const int whole = int(step);
    ticks.halfTick = step >= 1.0 && whole % 2 == 0;
    if (step <= 1.0)
        ticks.minorCount = 5;
    else if (whole % 10 == 0)
        ticks.minorCount = 10;
    else
        ticks.minorCount = whole;
    return ticks;
}

void DCanvasRuler::moveMark(int pos, Qt::Orientation orientation)
{
    // Only the 3-pixel strips of the old and the new mark need repainting.
    auto strip = [this, orientation](int at) {
        return orientation == Qt::Horizontal ? QRect(at - 1, 0, 3, height())
                                             : QRect(0, at - 1, width(), 3);
    };
    update(strip(m_nCurrentPos));
    m_nCurrentPos = pos;
    update(strip(m_nCurrentPos));
}

void DCanvasRuler::paintRuler(QPaintEvent* event, Qt::Orientation orientation)
{
    const QRect exposed = event->rect();
    if (exposed.width() == 0 || exposed.height() == 0 || !m_pCanvas->view())
        return;
    const bool horizontal = orientation == Qt::Horizontal;

    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter.drawRect(exposed);
    painter.setBrush(Qt::NoBrush);

    // The ruler's pixels along its axis are the viewport's pixels.
    const QTransform toView = m_pCanvas->view()->viewportTransform();
    const QRectF scene = toView.inverted().mapRect(QRectF(exposed));
    const DCanvasRulerTicks ticks = horizontal
        ? calcTicks(scene.x(), scene.width(), exposed.width())
        : calcTicks(scene.y(), scene.height(), exposed.height());
    auto pixel = [&toView, horizontal](double v) {
        return horizontal ? int(toView.map(QPointF(v, 0.0)).x()) : int(toView.map(QPointF(0.0, v)).y());
    };
    auto drawRule = [&painter, orientation](int along1, int across1, int along2, int across2) {
        painter.drawLine(ruleLine(orientation, along1, across1, along2, across2));
    };
    QVector<double> labelled;
    for (int i = 0; ticks.step > 0 && ticks.first + i * ticks.step <= ticks.last; ++i)
        labelled.append(ticks.first + i * ticks.step);

    QPen tickPen(Qt::gray);
    tickPen.setCosmetic(true);
    painter.setPen(tickPen);
    const double minor = ticks.step / qMax(1, ticks.minorCount);
    for (double v : qAsConst(labelled)) {
        drawRule(pixel(v), 0, pixel(v), kBaseLine);
        if (ticks.halfTick)
            drawRule(pixel(v + ticks.step / 2), kHalfTickStart, pixel(v + ticks.step / 2), kBaseLine);
        for (int k = 1; k < ticks.minorCount; ++k)
            drawRule(pixel(v + k * minor), kMinorTickStart, pixel(v + k * minor), kBaseLine);
    }

    // Vertical labels read bottom to top: drawn in a frame turned by -90
    // degrees, each ending 2 pixels past its tick.
    QFont font = painter.font();
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60, 255));
    const QFontMetrics metrics(font);
    if (!horizontal)
        painter.rotate(-90);
    for (double v : qAsConst(labelled)) {
        const QString text = QString::number(v, 'g', 6);
        const int at = horizontal ? pixel(v) + kLabelGap
                                  : -(metrics.horizontalAdvance(text) + pixel(v) + kLabelGap);
        painter.drawText(QPoint(at, kLabelBaseline), text);
    }
    if (!horizontal)
        painter.rotate(90);

    QPen basePen(Qt::black);
    basePen.setCosmetic(true);
    painter.setPen(basePen);
    if (horizontal)
        drawRule(exposed.left(), kBaseLine, exposed.right(), kBaseLine);
    else
        drawRule(0, kBaseLine, exposed.bottom(), kBaseLine);

    QPen markPen(Qt::blue);
    markPen.setStyle(Qt::DashLine);
    markPen.setCosmetic(true);
    painter.setPen(markPen);
    const QPoint markProbe = horizontal ? QPoint(m_nCurrentPos, 1) : QPoint(1, m_nCurrentPos);
    if (exposed.contains(markProbe))
        drawRule(m_nCurrentPos, 0, m_nCurrentPos, kBaseLine);
}
