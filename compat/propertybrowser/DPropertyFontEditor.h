#pragma once

#include "DPropertyDialogEditor.h"

// A font cell: the text, and a font dialog.
class DPropertyFontEditor : public DPropertyDialogEditor
{
    Q_OBJECT
public:
    explicit DPropertyFontEditor(QWidget* parent = nullptr);

protected:
    QVariant choose(const QVariant& current) override;
};
