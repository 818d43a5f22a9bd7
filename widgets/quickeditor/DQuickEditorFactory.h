#pragma once

#include <QList>
#include <QVariant>

#include "DSingleton.h"

class QWidget;
class DMetaProperty;
class DQuickEditorFactoryAbstract;
class DQuickEditorWidget;

// The process-wide registry of quick-editor factories, at most one per value
// type, in order of registration. It owns its factories.
class DQuickEditorFactory : public DSingleton<DQuickEditorFactory>
{
    friend class DSingleton<DQuickEditorFactory>;

public:
    // Registers a factory in place of the one serving the same type, if any,
    // and hands that one back to the caller, who then owns it.
    DQuickEditorFactoryAbstract* addFactory(DQuickEditorFactoryAbstract* factory);
    // The editor for the property's type; null when no factory serves it.
    QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property, const QVariant& value);

    const QList<DQuickEditorFactoryAbstract*>& factories() const { return m_factories; }

private:
    DQuickEditorFactory();
    ~DQuickEditorFactory() override;

    QList<DQuickEditorFactoryAbstract*> m_factories;
};

// Registers the stock editors (bool, int, colour, font) while the library
// loads; the load sequence keeps the result in bRegisterStockEditor.
bool registerStockEditor();
extern bool bRegisterStockEditor;
