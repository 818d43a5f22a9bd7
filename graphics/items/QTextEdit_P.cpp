#include "QTextEdit_P.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

#include "DGraphicsItemText.h"

QTextEdit_P::QTextEdit_P(DGraphicsItemText* item)
    : QTextEdit(nullptr)
    , m_item(item)
{
}

void QTextEdit_P::detach()
{
    m_item = nullptr;
    // Back to a document of its own, so that the item's document may go first.
    setDocument(nullptr);
}

void QTextEdit_P::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(QColor(77, 115, 153), 1, Qt::DashLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frameOnPixels(painter.deviceTransform()));
}

QRectF QTextEdit_P::frameOnPixels(const QTransform& toDevice) const
{
    // In a scene the editor may stand between the screen's pixels: a line on
    // its very edge falls half outside it and is clipped away. The frame runs
    // through the centres of the outermost pixels that lie inside it whole.
    const double hair = 1e-6;
    const QRectF area = toDevice.mapRect(QRectF(0, 0, width(), height()));
    const QRectF centres(QPointF(std::ceil(area.left() - hair) + 0.5, std::ceil(area.top() - hair) + 0.5),
                         QPointF(std::floor(area.right() + hair) - 0.5, std::floor(area.bottom() + hair) - 0.5));
    return toDevice.inverted().mapRect(centres);
}

void QTextEdit_P::keyPressEvent(QKeyEvent* event)
{
    // Escape ends the typing as a click elsewhere does, the text kept; taken
    // here, it reaches no window that would close on it.
    if (event->key() == Qt::Key_Escape && m_item) {
        event->accept();
        m_item->stopEditing();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void QTextEdit_P::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus for a moment; editing goes on.
    if (event->reason() == Qt::PopupFocusReason || QApplication::activePopupWidget())
        return;
    if (m_item)
        m_item->stopEditing();
}
