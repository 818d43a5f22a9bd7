#pragma once

#include "DPropertyDialogEditor.h"

// A colour cell: a swatch beside the text, and a colour dialog with alpha.
class DPropertyColorEditor : public DPropertyDialogEditor
{
    Q_OBJECT
public:
    explicit DPropertyColorEditor(QWidget* parent = nullptr);

protected:
    QPixmap swatch(const QVariant& value) const override;
    QVariant choose(const QVariant& current) override;
};
