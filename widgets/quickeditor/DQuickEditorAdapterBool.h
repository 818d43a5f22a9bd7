#pragma once

#include "DQuickEditorAdapterAbstract.h"

// Writes the check button's new state.
class DQuickEditorAdapterBool : public DQuickEditorAdapterAbstract
{
    Q_OBJECT
public:
    using DQuickEditorAdapterAbstract::DQuickEditorAdapterAbstract;

public slots:
    void onClicked(bool checked);
};
