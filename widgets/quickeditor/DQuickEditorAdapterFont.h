#pragma once

#include <QFont>

#include "DQuickEditorAdapterAbstract.h"

// Writes the font chosen in the font box.
class DQuickEditorAdapterFont : public DQuickEditorAdapterAbstract
{
    Q_OBJECT
public:
    using DQuickEditorAdapterAbstract::DQuickEditorAdapterAbstract;

public slots:
    void onCurrentFontChanged(const QFont& font);
};
