#pragma once

#include "DQuickEditorAdapterAbstract.h"

// Writes the spin box's value.
class DQuickEditorAdapterSpinBox : public DQuickEditorAdapterAbstract
{
    Q_OBJECT
public:
    using DQuickEditorAdapterAbstract::DQuickEditorAdapterAbstract;

public slots:
    void onValueChanged(int value);
};
