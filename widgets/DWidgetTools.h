#pragma once

#include "DWidget.h"

// A plain tool panel in a white frame.
class DWidgetTools : public DWidget
{
    Q_OBJECT
public:
    explicit DWidgetTools(DCanvas* canvas);

    void addTool(QWidget* tool);
    QList<QWidget*> tools() const { return m_tools; }
    void reset() override;

private:
    QList<QWidget*> m_tools;
};
