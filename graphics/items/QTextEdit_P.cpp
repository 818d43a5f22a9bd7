#include "QTextEdit_P.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

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
    painter.drawRect(0, 0, width() - 1, height() - 1);
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
