#include "DWidgetTools.h"

#include <QGraphicsDropShadowEffect>

#include "DCanvas.h"

namespace {
const char* const kToolsStyle =
    ".QWidget{border-radius: 3px;border-width: 1px;border-style: solid;"
    "background-color: rgb(255, 255, 255);border-color: rgb(48, 48, 48);"
    "color: rgb(48, 48, 48);font: 10pt;}"
    "QGroupBox { border: 1px solid gray; margin-top: 6px;}"
    "QGroupBox::title { subcontrol-origin: margin;}";
}

DWidgetTools::DWidgetTools(DCanvas* canvas)
    : DWidget(canvas)
{
    setStyle(QString::fromLatin1(kToolsStyle));
    // A second shadow on the panel itself; a later opacity effect takes its
    // place (a widget holds one effect), the frame's shadow stays.
    QGraphicsDropShadowEffect* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setOffset(0, 0);
    shadow->setBlurRadius(5.0);
    setGraphicsEffect(shadow);
}

void DWidgetTools::addTool(QWidget* tool)
{
    if (!tool)
        return;
    addWidget(tool);
    m_tools.append(tool);
}

QList<QWidget*> DWidgetTools::tools() const
{
    return alive(m_tools);
}

void DWidgetTools::reset()
{
    m_tools.clear();
    DWidget::reset();
}
