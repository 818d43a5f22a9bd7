#pragma once

#include "DCanvasRuler.h"

// The ruler along the left of the view: scene y.
class DCanvasRulerVertical : public DCanvasRuler
{
    Q_OBJECT
public:
    explicit DCanvasRulerVertical(DCanvas* canvas);
    void setCurrentPos(int pos) override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
