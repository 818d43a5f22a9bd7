#include "DToolButton.h"

#include <QPainter>

namespace {
const QColor kCheckedOuter(239, 72, 16);
const QColor kFrameInner(255, 226, 148);
const QColor kHoverOuter(242, 148, 54);
const double kHoverOpacity = 0.8;
}

DToolButton::DToolButton(QWidget* parent)
    : QToolButton(parent)
    , m_id(-1)
    , m_hovered(false)
{
    connect(this, &QAbstractButton::clicked, this, &DToolButton::onClicked);
}

void DToolButton::onClicked(bool)
{
    emit clicked(m_id);
}

void DToolButton::enterEvent(QEvent* event)
{
    QToolButton::enterEvent(event);
    m_hovered = true;
    update();
}

void DToolButton::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    m_hovered = false;
    update();
}

void DToolButton::paintEvent(QPaintEvent*)
{
    // No bevel and no text: the icon is the whole face of the button.
    QPainter painter(this);
    icon().paint(&painter, rect(), Qt::AlignCenter, QIcon::Normal, QIcon::Off);

    // Outlines are given by their corners; a one-pixel pen covers the far
    // corner's pixel too, so the outer frame runs round the whole button.
    const int w = width();
    const int h = height();
    const QRect outer(QPoint(0, 0), QPoint(w - 2, h - 2));
    const QRect inner(QPoint(1, 1), QPoint(w - 3, h - 3));
    painter.setBrush(Qt::NoBrush);
    if (isChecked()) {
        painter.setPen(kCheckedOuter);
        painter.drawRect(outer);
        painter.setPen(kFrameInner);
        painter.drawRect(inner);
    }
    if (m_hovered) {
        painter.setOpacity(kHoverOpacity);
        painter.setPen(kHoverOuter);
        painter.drawRoundedRect(QRect(0, 0, w - 1, h - 1), 1.0, 1.0, Qt::AbsoluteSize);
        painter.setPen(kFrameInner);
        painter.drawRect(inner);
    }
}
