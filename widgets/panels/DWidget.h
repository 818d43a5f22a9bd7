#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QLayout;
class QPropertyAnimation;
class DCanvas;
struct DWidgetPrivate;

// Base of the panels floating over the canvas: a transparent widget holding a
// framed, style-sheeted content area with a soft shadow. It fades in and out
// through an opacity effect and holds a fade while the mouse rests on it.
class DWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DWidget(DCanvas* canvas);
    ~DWidget() override;

    DCanvas* canvas() const;
    // The layout of the content area.
    QLayout* layout() const;
    // Null before the first opacity below 1 and again once it is back at 1.
    QPropertyAnimation* animationFading() const;
    QWidget* content() const;
    QWidget* frame() const;
    QList<QWidget*> widgets() const;
    QList<QLayout*> subLayouts() const;

    // Style sheet of the content area.
    void setStyle(const QString& styleSheet);
    using QWidget::setStyle;
    void setDropShadow(bool on);
    void setOpacity(double opacity);
    // With fade true: fades in from 0 to 0.9. Shows the panel either way.
    void show(bool fade);
    // With fade false: hides at once; with true: fades out, then hides.
    void hide(bool fade);
    using QWidget::show;
    using QWidget::hide;

    void addWidget(QWidget* widget);
    void addSubLayout(QLayout* layout);
    void resetLayout(QLayout* layout);
    // Deletes the added widgets and sub-layouts; the panel's own layouts stay.
    virtual void reset();
    void adjustSize();

public slots:
    void onFadingFinished();

protected:
    // The widgets of a guarded list that still exist, in order.
    static QList<QWidget*> alive(const QList<QPointer<QWidget>>& guarded);

    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    DWidgetPrivate* d;
};
