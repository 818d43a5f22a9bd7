#pragma once

#include <QVariant>

class QWidget;
class DMetaProperty;
class DQuickEditorWidget;

// Makes the quick editor of one value type: a compact widget showing the
// value, with an adapter that writes each change into the strip's items.
class DQuickEditorFactoryAbstract
{
public:
    explicit DQuickEditorFactoryAbstract(QVariant::Type type);
    // The registry deletes its factories through this base.
    virtual ~DQuickEditorFactoryAbstract();

    QVariant::Type type() const { return m_type; }

    // The editor's value is set before its adapter is connected, so making
    // an editor writes nothing into the items.
    virtual QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                  const QVariant& value) = 0;

    // The editor width the property asks for, in pixels.
    static int editorWidth(const DMetaProperty& property);

private:
    QVariant::Type m_type;
};
