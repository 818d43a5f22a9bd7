#ifndef DOVERLAYLAYOUT_H
#define DOVERLAYLAYOUT_H

#include <QHash>
#include <QPixmap>
#include <QPointF>
#include <QScreen>
#include <QSpinBox>
#include <QString>
#include <QToolButton>

#include "DCanvas.h"
#include "DFullScreenSelector.h"
#include "DGraphicsItem.h"
#include "DGraphicsScene.h"
#include "ui_DFullScreenSelector.h"

// Where the capture overlay's bars and buttons are once its bars are in, in
// the overlay's own coordinates (Qt's, before any scale): laid out by an
// overlay of the test's process on the same screen, at the same scale, so that
// a test can press the real program's buttons. For tests that link the
// program's core and find its generated form.
struct DOverlayLayout
{
    // The centres of the main bar's buttons and of the sub-tool bar's buttons
    // of both sets, by object name.
    QHash<QString, QPointF> buttons;
    int mainBarTop = 0;
    int subBarTop = 0;
};

// The layout on `screen` for a screenshot of `screenshotSize`.
inline DOverlayLayout measureOverlayLayout(QScreen* screen, const QSize& screenshotSize)
{
    DOverlayLayout layout;
    DFullScreenSelector probe;
    probe.setCaptureScreen(screen);
    probe.initialize(QPixmap(screenshotSize));
    probe.hide();
    Ui_DFullScreenSelector* ui = probe.form();
    layout.mainBarTop = screen->geometry().height() - ui->widgetMainTool->height();
    layout.subBarTop = layout.mainBarTop - ui->widgetSubTool->height();
    // Where a bar's shown buttons are once the bar stands at `top`.
    auto measure = [&layout](QWidget* bar, int top) {
        bar->show();
        bar->layout()->activate();
        for (QToolButton* button : bar->findChildren<QToolButton*>()) {
            if (button->isVisibleTo(bar))
                layout.buttons[button->objectName()] = QPointF(button->geometry().center()) + QPointF(0, top);
        }
    };
    measure(ui->widgetMainTool, layout.mainBarTop);
    for (bool capture : {true, false}) {
        probe.setCaptureToolsVisibility(capture);
        measure(ui->widgetSubTool, layout.subBarTop);
    }
    return layout;
}

// Where the stroke-width field of the quick-editor strip is (the overlay's own
// coordinates, as above) while `piece` (an item of the kind the capture
// makes, at its place; taken over) is the one selected item: laid out by an
// overlay of the test's process on the same screen, so that a test can edit
// the real program's piece. A null point when the strip shows no such field.
inline QPointF measureStrokeWidthField(QScreen* screen, const QSize& screenshotSize, DGraphicsItem* piece)
{
    DFullScreenSelector probe;
    probe.setCaptureScreen(screen);
    probe.initialize(QPixmap(screenshotSize));
    probe.form()->canvas->scene()->addPersistenItem(piece, true);
    QCoreApplication::processEvents();
    QPointF centre;
    for (QSpinBox* field : probe.form()->canvas->findChildren<QSpinBox*>()) {
        if (field->toolTip() == QLatin1String("Stroke Width") && field->isVisibleTo(&probe))
            centre = QPointF(field->mapTo(&probe, field->rect().center()));
    }
    probe.hide();
    return centre;
}

#endif // DOVERLAYLAYOUT_H
