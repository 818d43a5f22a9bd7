#pragma once

#include "DQuickEditorAdapterAbstract.h"

// Writes the number of the combo box's text at each change of the text.
class DQuickEditorAdapterComboBoxInt : public DQuickEditorAdapterAbstract
{
    Q_OBJECT
public:
    using DQuickEditorAdapterAbstract::DQuickEditorAdapterAbstract;

public slots:
    void onTextChanged(const QString& text);
};
