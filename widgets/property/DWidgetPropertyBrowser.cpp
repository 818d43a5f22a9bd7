#include "DWidgetPropertyBrowser.h"

#include <QDebug>
#include <QScopedValueRollback>

#include "DCanvas.h"
#include "DEditorFactoryVector3D.h"
#include "DGraphicsItem.h"
#include "DMetaPropertyList.h"
#include "DPropertyManagerVariant.h"
#include "DPropertyManagerVector3D.h"
#include "QtBrowserItem.h"
#include "QtVariantEditorFactory.h"
#include "QtVariantProperty.h"

namespace {
using VariantSlot = void (DWidgetPropertyBrowser::*)(QtProperty*, const QVariant&);
using VectorSlot = void (DWidgetPropertyBrowser::*)(QtProperty*, const QVector3D&);
}

DWidgetPropertyBrowser::DWidgetPropertyBrowser(QWidget* parent, DCanvas* canvas)
    : QtTreePropertyBrowser(parent)
    , m_canvas(canvas)
{
    m_variantManager = new DPropertyManagerVariant(this);
    m_variantFactory = new QtVariantEditorFactory(this);
    m_vectorManager = new DPropertyManagerVector3D(m_variantManager, this);
    m_vectorFactory = new DEditorFactoryVector3D(this);
    if (canvas)
        connect(canvas, &DCanvas::selectionChanged, this, &DWidgetPropertyBrowser::setItems);
    setFactoryForManager(m_variantManager, m_variantFactory);
    setFactoryForManager(m_vectorManager, m_vectorFactory);
    connectSignals();
}

DWidgetPropertyBrowser::~DWidgetPropertyBrowser()
{
    // Nothing may reach this panel while it comes apart; the managers go
    // before their factories' browser does, the vector manager before the
    // variant manager that holds its sub-rows.
    if (m_canvas)
        disconnect(m_canvas, nullptr, this, nullptr);
    unwatchItems();
    discardOpenEditors();
    disconnectSignals();
    disconnect(this, &QtTreePropertyBrowser::collapsed, this, &DWidgetPropertyBrowser::onCollaplsed);
    disconnect(this, &QtTreePropertyBrowser::expanded, this, &DWidgetPropertyBrowser::onExpanded);
    QtAbstractPropertyBrowser::clear();
    delete m_vectorFactory;
    delete m_vectorManager;
    delete m_variantFactory;
    delete m_variantManager;
}

void DWidgetPropertyBrowser::connectSignals()
{
    connect(m_variantManager, &QtVariantPropertyManager::valueChanged, this,
            static_cast<VariantSlot>(&DWidgetPropertyBrowser::onValueChanged));
    connect(m_variantManager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &DWidgetPropertyBrowser::onPropertyDestroyed);
    connect(m_vectorManager, &DPropertyManagerVector3D::valueChanged, this,
            static_cast<VectorSlot>(&DWidgetPropertyBrowser::onValueChanged));
    connect(m_vectorManager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &DWidgetPropertyBrowser::onPropertyDestroyed);
}

void DWidgetPropertyBrowser::disconnectSignals()
{
    disconnect(m_variantManager, &QtVariantPropertyManager::valueChanged, this,
               static_cast<VariantSlot>(&DWidgetPropertyBrowser::onValueChanged));
    disconnect(m_variantManager, &QtAbstractPropertyManager::propertyDestroyed, this,
               &DWidgetPropertyBrowser::onPropertyDestroyed);
    disconnect(m_vectorManager, &DPropertyManagerVector3D::valueChanged, this,
               static_cast<VectorSlot>(&DWidgetPropertyBrowser::onValueChanged));
    disconnect(m_vectorManager, &QtAbstractPropertyManager::propertyDestroyed, this,
               &DWidgetPropertyBrowser::onPropertyDestroyed);
}

void DWidgetPropertyBrowser::setItems(QList<DGraphicsItem*> items)
{
    items.removeAll(nullptr);
    // An edit still open belongs to the items it was opened for, some of
    // which may be going: it is dropped rather than written anywhere.
    discardOpenEditors();
    unwatchItems();
    m_items = items;
    resetProperties();
    watchItems();
}

void DWidgetPropertyBrowser::onValueChanged(QtProperty* row, const QVariant& value)
{
    if (m_discardingEdits)
        return;
    auto it = m_rows.constFind(row);
    if (it == m_rows.constEnd())
        return;
    // Items keep their numbers in single precision, where a larger one would
    // become an infinity: it is not written, and the row shows the items'
    // value again.
    if (value.type() == QVariant::Double && !DPropertyManagerVector3D::fitsFloat(value.toDouble())) {
        updateProperties();
        return;
    }
    const QMetaProperty property = it->property();
    // Each write refreshes the rows; an item that went meanwhile is skipped.
    const QList<DGraphicsItem*> items = m_items;
    for (DGraphicsItem* item : items) {
        if (m_items.contains(item))
            property.write(item, value);
    }
}

void DWidgetPropertyBrowser::onValueChanged(QtProperty* row, const QVector3D& value)
{
    onValueChanged(row, QVariant(value));
}

void DWidgetPropertyBrowser::onPropertyDestroyed(QtProperty* row)
{
    m_rows.remove(row);
}

void DWidgetPropertyBrowser::onItemChanged(const DGraphicsItem*)
{
    updateProperties();
}

void DWidgetPropertyBrowser::onCollaplsed(QtBrowserItem* item)
{
    m_expandedNames.remove(item->property()->propertyName());
}

void DWidgetPropertyBrowser::onExpanded(QtBrowserItem* item)
{
    m_expandedNames.insert(item->property()->propertyName());
}

void DWidgetPropertyBrowser::resetProperties()
{
    QtAbstractPropertyBrowser::clear();
    m_vectorManager->clear();
    m_variantManager->clear();
    if (m_items.isEmpty())
        return;

    // Building the tree expands and collapses rows; that is not the user's.
    disconnect(this, &QtTreePropertyBrowser::collapsed, this, &DWidgetPropertyBrowser::onCollaplsed);
    disconnect(this, &QtTreePropertyBrowser::expanded, this, &DWidgetPropertyBrowser::onExpanded);

    DMetaPropertyList shared = m_items.first()->properties();
    for (int i = 1; i < m_items.count(); ++i)
        shared.intersect(m_items.at(i)->properties());
    for (const DMetaProperty& meta : shared.shown()) {
        if (!(meta.editorFlags() & DMetaProperty::PropertyBrowser))
            continue;
        QtProperty* row = addRow(meta);
        if (!row) {
            qDebug() << "Failed to add property:" << meta.label();
            continue;
        }
        QtBrowserItem* item = addProperty(row);
        m_rows.insert(row, meta);
        setExpanded(item, m_expandedNames.contains(meta.label()));
    }

    connect(this, &QtTreePropertyBrowser::collapsed, this, &DWidgetPropertyBrowser::onCollaplsed);
    connect(this, &QtTreePropertyBrowser::expanded, this, &DWidgetPropertyBrowser::onExpanded);
    updateProperties();
}

QtProperty* DWidgetPropertyBrowser::addRow(const DMetaProperty& meta)
{
    // By the enum: the number of QVector3D differs between Qt versions.
    const int type = meta.property().type();
    if (type == QVariant::Vector3D)
        return m_vectorManager->addProperty(meta.label());
    QtVariantProperty* row = m_variantManager->addProperty(type, meta.label());
    if (row) {
        const QMap<QString, QVariant>& options = meta.options();
        for (auto it = options.cbegin(); it != options.cend(); ++it)
            row->setAttribute(it.key(), it.value());
    }
    return row;
}

void DWidgetPropertyBrowser::updateProperties()
{
    // The values set here come from the items: they must not go back.
    disconnectSignals();
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        QtProperty* row = it.key();
        const DMetaProperty& meta = it.value();
        const QVariant shared = sharedValue(meta.property());
        // A various row keeps its last value in the manager; only its text
        // changes.
        const bool various = !shared.isValid();
        if (meta.property().type() == QVariant::Vector3D) {
            markVarious(m_vectorManager, m_vectorManager, row, various);
            if (!various)
                m_vectorManager->setValue(row, shared.value<QVector3D>());
        } else {
            markVarious(m_variantManager, m_variantManager, row, various);
            if (!various)
                m_variantManager->setValue(row, shared);
        }
        row->setEnabled(isEnabledForAll(meta));
        const QList<QtProperty*> subRows = row->subProperties();
        for (QtProperty* subRow : subRows)
            subRow->setEnabled(shared.isValid());
    }
    connectSignals();
}

void DWidgetPropertyBrowser::markVarious(QtAbstractPropertyManager* manager, DPropertyVariousChecker* marks,
                                         QtProperty* row, bool various)
{
    if (!various && !marks->isPropertyVarious(row))
        return;
    marks->setPropertyVarious(row, various);
    emit manager->propertyChanged(row);
}

QVariant DWidgetPropertyBrowser::sharedValue(const QMetaProperty& property) const
{
    if (m_items.isEmpty())
        return QVariant();
    const QVariant first = property.read(m_items.first());
    for (int i = 1; i < m_items.count(); ++i) {
        if (property.read(m_items.at(i)) != first)
            return QVariant();
    }
    return first;
}

bool DWidgetPropertyBrowser::isEnabledForAll(const DMetaProperty& meta) const
{
    if (m_items.isEmpty())
        return false;
    for (const DGraphicsItem* item : m_items) {
        if (!meta.isEnabled(item))
            return false;
    }
    return true;
}

void DWidgetPropertyBrowser::watchItems()
{
    for (DGraphicsItem* item : qAsConst(m_items)) {
        m_itemConnections.append(connect(item, &DGraphicsItem::changed, this, &DWidgetPropertyBrowser::onItemChanged));
        // Only the pointer is used: the item is being destroyed.
        m_itemConnections.append(connect(item, &QObject::destroyed, this, [this, item] { onItemDestroyed(item); }));
    }
}

void DWidgetPropertyBrowser::unwatchItems()
{
    for (const QMetaObject::Connection& connection : qAsConst(m_itemConnections))
        disconnect(connection);
    m_itemConnections.clear();
}

void DWidgetPropertyBrowser::onItemDestroyed(DGraphicsItem* item)
{
    if (!m_items.contains(item))
        return;
    discardOpenEditors();
    m_items.removeAll(item);
    resetProperties();
}

void DWidgetPropertyBrowser::discardOpenEditors()
{
    const QScopedValueRollback<bool> discarding(m_discardingEdits, true);
    closeEditors();
}
