#pragma once

#include <QCheckBox>

// The editor of a bool value: a check box over the whole cell, toggled by a
// click anywhere on it or by Space. It paints nothing of its own: the cell
// beneath shows the value's check box, which follows every change.
class DPropertyCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit DPropertyCheckBox(QWidget* parent = nullptr);

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
};
