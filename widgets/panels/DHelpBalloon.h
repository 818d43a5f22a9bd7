#pragma once

#include "DWidget.h"

class QLabel;

// A balloon with a bold title, a rich text and a "Don't Show me this Again."
// link; it fades out by itself. A title dismissed with the link is never
// shown again (the setting "ShowBalloon/" + title).
class DHelpBalloon : public DWidget
{
    Q_OBJECT
public:
    explicit DHelpBalloon(DCanvas* canvas);

    void show(const QString& title, const QString& text, const Qt::Alignment& alignment);
    using DWidget::show;
    // Keeps 5 pixels from the canvas edges the alignment names.
    void reposition(const Qt::Alignment& alignment);

    QString title() const;
    QString text() const;

public slots:
    void onDontShowAgain();

private:
    QLabel* m_pTitle;
    QLabel* m_pText;
};
