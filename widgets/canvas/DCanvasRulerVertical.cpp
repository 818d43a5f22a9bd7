#include "DCanvasRulerVertical.h"

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
    moveMark(pos, Qt::Vertical);
}

void DCanvasRulerVertical::paintEvent(QPaintEvent* event)
{
    paintRuler(event, Qt::Vertical);
}
