#pragma once

#include "DButtonBoardColor.h"

// The colour board of fill colours: a further "No Fill" row chooses a colour
// with alpha 0, which an item takes as no fill at all.
class DButtonBoardColorWithNoFill : public DButtonBoardColor
{
    Q_OBJECT
public:
    DButtonBoardColorWithNoFill(QToolButton* toolButton, const QVariant& current, const QPixmap& icon);

public slots:
    void onNoFillSelected();
};
