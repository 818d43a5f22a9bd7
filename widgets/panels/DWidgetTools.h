#pragma once

#include "DWidget.h"

// A plain tool panel in a white frame.
class DWidgetTools : public DWidget
{
    Q_OBJECT
public:
    explicit DWidgetTools(DCanvas* canvas);

    void addTool(QWidget* tool);
    QList<QWidget*> tools() const;
    void reset() override;

private:
    QList<QPointer<QWidget>> m_tools;   // guarded: a tool may be deleted elsewhere
};
