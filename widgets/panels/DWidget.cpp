#include "DWidget.h"

#include <QEasingCurve>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QLayout>
#include <QPalette>
#include <QPointer>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include "DCanvas.h"

struct DWidgetPrivate
{
    QWidget* content = nullptr;
    QWidget* frame = nullptr;
    QLayout* contentLayout = nullptr;
    QPropertyAnimation* fading = nullptr;
    QGraphicsOpacityEffect* opacityEffect = nullptr;
    QGraphicsDropShadowEffect* dropShadow = nullptr;
    // Guarded: a widget deleted by whoever holds it leaves the list instead
    // of being deleted a second time by reset().
    QList<QPointer<QWidget>> widgets;
    QList<QLayout*> subLayouts;
};

namespace {
const double kShownOpacity = 0.9;
const int kFadeDuration = 400;

void makeTransparent(QWidget* widget)
{
    widget->setAutoFillBackground(false);
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::transparent, Qt::SolidPattern));
    widget->setPalette(palette);
}
}

DWidget::DWidget(DCanvas* canvas)
    : QWidget(canvas)
    , d(new DWidgetPrivate)
{
    makeTransparent(this);

    d->frame = new QWidget(this);
    d->content = new QWidget(d->frame);
    QVBoxLayout* frameLayout = new QVBoxLayout(d->frame);
    frameLayout->setSpacing(0);
    frameLayout->setContentsMargins(5, 5, 5, 5);   // room for the shadow
    frameLayout->addWidget(d->content);

    QVBoxLayout* contentLayout = new QVBoxLayout(d->content);
    contentLayout->setSpacing(3);
    contentLayout->setContentsMargins(3, 3, 3, 3);
    d->contentLayout = contentLayout;

    makeTransparent(d->content);
    makeTransparent(d->frame);

    setDropShadow(true);
    setVisible(false);
}

DWidget::~DWidget()
{
    // The animation is a child of this panel; it must not run on into the
    // effect while the children go.
    if (d->fading)
        d->fading->stop();
    delete d;
}

DCanvas* DWidget::canvas() const
{
    return qobject_cast<DCanvas*>(parentWidget());
}

QLayout* DWidget::layout() const
{
    return d->contentLayout;
}

QPropertyAnimation* DWidget::animationFading() const
{
    return d->fading;
}

QWidget* DWidget::content() const
{
    return d->content;
}

QWidget* DWidget::frame() const
{
    return d->frame;
}

QList<QWidget*> DWidget::widgets() const
{
    return alive(d->widgets);
}

QList<QWidget*> DWidget::alive(const QList<QPointer<QWidget>>& guarded)
{
    QList<QWidget*> result;
    for (const QPointer<QWidget>& widget : guarded) {
        if (widget)
            result.append(widget);
    }
    return result;
}

QList<QLayout*> DWidget::subLayouts() const
{
    return d->subLayouts;
}

void DWidget::setStyle(const QString& styleSheet)
{
    d->content->setStyleSheet(styleSheet);
}

void DWidget::setDropShadow(bool on)
{
    if (on) {
        QGraphicsDropShadowEffect* shadow = new QGraphicsDropShadowEffect(d->frame);
        shadow->setOffset(0, 0);
        shadow->setBlurRadius(5.0);
        d->frame->setGraphicsEffect(shadow);   // deletes a previous effect
        d->dropShadow = shadow;
    } else {
        d->frame->setGraphicsEffect(nullptr);
        d->dropShadow = nullptr;
    }
}

void DWidget::setOpacity(double opacity)
{
    if (qFuzzyCompare(opacity, 1.0)) {
        if (d->fading) {
            d->fading->stop();
            delete d->fading;
            d->fading = nullptr;
        }
        if (d->opacityEffect) {
            setGraphicsEffect(nullptr);         // deletes the effect
            d->opacityEffect = nullptr;
        }
        return;
    }
    if (!d->opacityEffect) {
        d->opacityEffect = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(d->opacityEffect);
    }
    d->opacityEffect->setOpacity(opacity);
    if (d->fading) {
        d->fading->setTargetObject(d->opacityEffect);
        return;
    }
    d->fading = new QPropertyAnimation(d->opacityEffect, "opacity", this);
    connect(d->fading, &QPropertyAnimation::finished, this, &DWidget::onFadingFinished);
    d->fading->setDuration(kFadeDuration);
    d->fading->setEasingCurve(QEasingCurve::InOutSine);
}

void DWidget::show(bool fade)
{
    if (fade) {
        if (d->fading)
            d->fading->stop();
        setOpacity(kShownOpacity);
        d->fading->setStartValue(0.0);
        d->fading->setEndValue(kShownOpacity);
        d->fading->start();
    }
    setVisible(true);
}

void DWidget::hide(bool fade)
{
    if (!fade) {
        setVisible(false);
        return;
    }
    if (d->fading)
        d->fading->stop();
    setOpacity(kShownOpacity);
    d->fading->setStartValue(kShownOpacity);
    d->fading->setEndValue(0.0);
    d->fading->start();
}

void DWidget::addWidget(QWidget* widget)
{
    if (!widget)
        return;
    widget->setParent(d->content);
    if (!d->subLayouts.isEmpty()) {
        QLayout* last = d->subLayouts.last();
        if (QBoxLayout* box = qobject_cast<QBoxLayout*>(last))
            box->addWidget(widget);
        else
            last->addWidget(widget);
    } else {
        d->contentLayout->addWidget(widget);
    }
    d->widgets.append(widget);
    widget->show();
    adjustSize();
}

void DWidget::addSubLayout(QLayout* layout)
{
    if (!layout)
        return;
    layout->setSpacing(3);
    layout->setContentsMargins(3, d->subLayouts.isEmpty() ? 3 : 0, 3, 3);
    d->subLayouts.append(layout);
    if (QBoxLayout* box = qobject_cast<QBoxLayout*>(d->contentLayout))
        box->addLayout(layout);
    else
        d->contentLayout->addItem(layout);
}

void DWidget::resetLayout(QLayout* layout)
{
    if (!layout || layout == d->contentLayout)
        return;
    // Deleting the old layout deletes its sub-layouts with it; the widgets
    // stay children of the content area.
    delete d->contentLayout;
    d->subLayouts.clear();
    d->contentLayout = layout;
    d->content->setLayout(layout);
    for (QWidget* widget : widgets())
        layout->addWidget(widget);
    adjustSize();
}

void DWidget::reset()
{
    // Guarded to the end: deleting one widget may take others with it (a
    // parent, or the same widget added twice).
    const QList<QPointer<QWidget>> doomed = d->widgets;
    d->widgets.clear();
    for (const QPointer<QWidget>& widget : doomed)
        delete widget.data();
    for (QLayout* sub : qAsConst(d->subLayouts)) {
        d->contentLayout->removeItem(sub);
        delete sub;
    }
    d->subLayouts.clear();
}

void DWidget::adjustSize()
{
    d->content->adjustSize();
    d->frame->adjustSize();
    QWidget::adjustSize();
}

void DWidget::enterEvent(QEvent* event)
{
    if (d->fading && d->fading->state() == QAbstractAnimation::Running) {
        d->fading->pause();
        if (d->opacityEffect)
            d->opacityEffect->setOpacity(kShownOpacity);
    }
    QWidget::enterEvent(event);
}

void DWidget::leaveEvent(QEvent* event)
{
    if (d->fading && d->fading->state() == QAbstractAnimation::Paused)
        d->fading->resume();
    QWidget::leaveEvent(event);
}

void DWidget::paintEvent(QPaintEvent*)
{
    // The panel itself is transparent: only its frame and content draw.
}

void DWidget::onFadingFinished()
{
    if (d->opacityEffect && d->opacityEffect->opacity() == 0.0)
        setVisible(false);
}
