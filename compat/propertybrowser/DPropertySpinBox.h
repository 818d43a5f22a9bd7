#pragma once

#include <QAbstractSpinBox>

// A spin box of the property browser. An editor opened on a property without
// one value to show holds no number; with no number in its field there is
// nothing to step from, so the arrows, keys and wheel do nothing until the
// user types one.
template <class SpinBox>
class DPropertySpinBox : public SpinBox
{
public:
    explicit DPropertySpinBox(QWidget* parent = nullptr)
        : SpinBox(parent)
    {
    }

protected:
    QAbstractSpinBox::StepEnabled stepEnabled() const override
    {
        return this->cleanText().isEmpty() ? QAbstractSpinBox::StepNone : SpinBox::stepEnabled();
    }
};
