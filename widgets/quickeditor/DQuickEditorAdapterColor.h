#pragma once

#include "DQuickEditorAdapterAbstract.h"

// Writes the colour chosen on the board, and the same colour again when the
// button's main part is clicked.
class DQuickEditorAdapterColor : public DQuickEditorAdapterAbstract
{
    Q_OBJECT
public:
    DQuickEditorAdapterColor(QWidget* editor, DQuickEditorWidget* strip, const DMetaProperty& property,
                             const QVariant& current);

    QVariant current() const { return m_current; }

public slots:
    void onDataSelected(const QVariant& value);
    void onDefaultDataSelected();

private:
    QVariant m_current;
};
