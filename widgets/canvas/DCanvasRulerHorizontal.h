#pragma once

#include "DCanvasRuler.h"

// The ruler along the top of the view: scene x.
class DCanvasRulerHorizontal : public DCanvasRuler
{
    Q_OBJECT
public:
    explicit DCanvasRulerHorizontal(DCanvas* canvas);
    void setCurrentPos(int pos) override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
