#include "DQuickEditorWidget.h"

#include <QHBoxLayout>

#include <cmath>

#include "DCanvas.h"
#include "DConfig.h"
#include "DGraphicsItem.h"
#include "DMetaPropertyList.h"
#include "DQuickEditorFactory.h"
#include "DUtility.h"

namespace {
// Units of editor width in one row before the strip opens the next.
const int kRowWidthUnits = 6;
const double kGapBesideSelection = 3.0;

// The properties that every item shows, in the first item's order.
DMetaPropertyList sharedProperties(const QList<DGraphicsItem*>& items)
{
    DMetaPropertyList shared = items.first()->properties();
    for (int i = 1; i < items.count(); ++i)
        shared.intersect(items.at(i)->properties());
    return shared;
}
}

DQuickEditorWidget::DQuickEditorWidget(DCanvas* canvas)
    : DWidgetTools(canvas)
{
    // The strip looks like the plain tool panels.
    setStyle(content()->styleSheet());
}

DQuickEditorWidget::~DQuickEditorWidget() = default;

QList<DGraphicsItem*> DQuickEditorWidget::items() const
{
    QList<DGraphicsItem*> result;
    for (const QPointer<DGraphicsItem>& item : m_items) {
        if (item)
            result.append(item.data());
    }
    return result;
}

void DQuickEditorWidget::show(const QList<DGraphicsItem*>& items)
{
    m_items.clear();
    for (DGraphicsItem* item : items) {
        if (item)
            m_items.append(item);
    }
    reset();
    const QList<DGraphicsItem*> edited = this->items();
    if (edited.isEmpty()) {
        setVisible(false);
        return;
    }
    addSubLayout(new QHBoxLayout);
    addEditors(sharedProperties(edited).shown(), edited.first());
    restore();
}

void DQuickEditorWidget::addEditors(const QList<DMetaProperty>& properties, const DGraphicsItem* first)
{
    // Editors fill a row up to its width; the one that overflows it opens
    // the next row, which starts counting afresh.
    int units = 0;
    for (const DMetaProperty& property : properties) {
        if (!(property.editorFlags() & DMetaProperty::QuickEditor))
            continue;
        const QVariant value = property.property().read(first);
        QWidget* editor = DQuickEditorFactory::instance()->createEditor(this, property, value);
        if (!editor)
            continue;
        units += property.width();
        if (units > kRowWidthUnits) {
            addSubLayout(new QHBoxLayout);
            units = 0;
        }
        addTool(editor);
    }
}

void DQuickEditorWidget::restore()
{
    const QList<DGraphicsItem*> edited = items();
    DCanvas* owner = canvas();
    if (edited.isEmpty() || !owner)
        return;
    const QSizeF size(width(), height());
    // Both corners are mapped, so that the anchor is the selection as it is
    // shown at any zoom (a mapped rectangle keeps its unzoomed size).
    const QRectF selection = DUtility::calcSceneBoundary(edited);
    const QRectF anchor(QPointF(owner->mapFromScene(selection.topLeft())),
                        QPointF(owner->mapFromScene(selection.bottomRight())));
    const QRectF bound(owner->rect());
    const QPointF best = DUtility::calcBestPosition(bound, anchor, size, kGapBesideSelection, 0.0);
    move(int(std::lround(best.x())), int(std::lround(best.y())));
    DWidget::show(true);
}

void DQuickEditorWidget::propertyChanged(const DMetaProperty& property, const QVariant& value)
{
    for (DGraphicsItem* item : items())
        property.property().write(item, value);
    DConfig::_instance()->setPropertyValue(QString::fromLatin1(property.name()), value);
}
