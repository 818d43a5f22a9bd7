#pragma once

#include "DPropertyDialogEditor.h"

// A colour cell: the text beside its swatch, and a colour dialog with alpha.
class DPropertyColorEditor : public DPropertyDialogEditor
{
    Q_OBJECT
public:
    explicit DPropertyColorEditor(QWidget* parent = nullptr);

protected:
    QVariant choose(const QVariant& current) override;
};
