#pragma once

#include <QObject>
#include <QVariant>

#include "DMetaProperty.h"

class QWidget;
class DQuickEditorWidget;

// Ties one quick editor to its property: the editor's change signal reaches a
// slot of the adapter, which hands the new value to the strip. The adapter is
// a child of its editor and goes with it.
class DQuickEditorAdapterAbstract : public QObject
{
    Q_OBJECT
public:
    DQuickEditorAdapterAbstract(QWidget* editor, DQuickEditorWidget* strip, const DMetaProperty& property);

    void propertyChanged(const QVariant& value);

    DQuickEditorWidget* strip() const { return m_pStrip; }
    const DMetaProperty& property() const { return m_property; }

private:
    DQuickEditorWidget* m_pStrip;
    DMetaProperty m_property;
};
