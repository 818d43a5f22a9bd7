#include "DQuickEditorFactory.h"

#include "DMetaProperty.h"
#include "DQuickEditorFactoryBool.h"
#include "DQuickEditorFactoryColor.h"
#include "DQuickEditorFactoryFont.h"
#include "DQuickEditorFactoryInt.h"

DQuickEditorFactory::DQuickEditorFactory() = default;

DQuickEditorFactory::~DQuickEditorFactory()
{
    qDeleteAll(m_factories);
    m_factories.clear();
}

DQuickEditorFactoryAbstract* DQuickEditorFactory::addFactory(DQuickEditorFactoryAbstract* factory)
{
    // A factory registered twice would be handed back while still in use.
    if (!factory || m_factories.contains(factory))
        return nullptr;
    for (int i = 0; i < m_factories.count(); ++i) {
        if (m_factories.at(i)->type() == factory->type()) {
            DQuickEditorFactoryAbstract* replaced = m_factories.at(i);
            m_factories[i] = factory;
            return replaced;
        }
    }
    m_factories.append(factory);
    return nullptr;
}

QWidget* DQuickEditorFactory::createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                           const QVariant& value)
{
    const QVariant::Type type = property.property().type();
    for (DQuickEditorFactoryAbstract* factory : qAsConst(m_factories)) {
        if (factory->type() == type)
            return factory->createEditor(strip, property, value);
    }
    return nullptr;
}

bool registerStockEditor()
{
    // A factory handed back (a second registration) is ours to delete.
    DQuickEditorFactory* registry = DQuickEditorFactory::instance();
    delete registry->addFactory(new DQuickEditorFactoryBool);
    delete registry->addFactory(new DQuickEditorFactoryInt);
    delete registry->addFactory(new DQuickEditorFactoryColor);
    delete registry->addFactory(new DQuickEditorFactoryFont);
    return true;
}
