#pragma once

#include <QList>
#include <QPointer>

#include "DWidgetTools.h"

class DGraphicsItem;
class DMetaProperty;

// The strip of quick editors beside the canvas's selection: one compact
// editor for each property that all selected items share and mark for quick
// editing. A change writes into every selected item and is remembered as the
// property's most recent value.
class DQuickEditorWidget : public DWidgetTools
{
    Q_OBJECT
public:
    explicit DQuickEditorWidget(DCanvas* canvas);
    ~DQuickEditorWidget() override;

    // Rebuilds the strip for the items and shows it beside them.
    void show(const QList<DGraphicsItem*>& items);
    using DWidgetTools::show;
    // Places the strip beside its items again and fades it in.
    void restore();
    // Writes the value into all items and records it as the recent value.
    void propertyChanged(const DMetaProperty& property, const QVariant& value);

    // The items being edited that still exist.
    QList<DGraphicsItem*> items() const;

private:
    void addEditors(const QList<DMetaProperty>& properties, const DGraphicsItem* first);

    // Guarded: the canvas's selection, whose items may go while the strip
    // is hidden.
    QList<QPointer<DGraphicsItem>> m_items;
};
