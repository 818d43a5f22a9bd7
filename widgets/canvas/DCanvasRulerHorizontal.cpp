#include "DCanvasRulerHorizontal.h"

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
    moveMark(pos, Qt::Horizontal);
}

void DCanvasRulerHorizontal::paintEvent(QPaintEvent* event)
{
    paintRuler(event, Qt::Horizontal);
}
