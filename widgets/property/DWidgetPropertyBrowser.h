#ifndef DWIDGETPROPERTYBROWSER_H
#define DWIDGETPROPERTYBROWSER_H

#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector3D>

#include "DMetaProperty.h"
#include "QtTreePropertyBrowser.h"

class DCanvas;
class DEditorFactoryVector3D;
class DGraphicsItem;
class DPropertyManagerVariant;
class DPropertyManagerVector3D;
class DPropertyVariousChecker;
class QtAbstractPropertyManager;
class QtBrowserItem;
class QtProperty;
class QtVariantEditorFactory;

// What a row shows when its value differs among the selected items; set when
// the library loads.
extern QString s_VARIOUS;

// A side panel that lists, as a tree of editable rows, the properties that
// every selected item of a canvas shares and that its class marks for the
// browser. Values that differ read "*VARIOUS*"; editing a row writes every
// selected item. A host creates it with its canvas and places it beside it.
class DWidgetPropertyBrowser : public QtTreePropertyBrowser
{
    Q_OBJECT
public:
    DWidgetPropertyBrowser(QWidget* parent, DCanvas* canvas);
    ~DWidgetPropertyBrowser() override;

    QList<DGraphicsItem*> items() const { return m_items; }

public slots:
    void setItems(QList<DGraphicsItem*> items);
    void onValueChanged(QtProperty* row, const QVariant& value);
    void onValueChanged(QtProperty* row, const QVector3D& value);
    void onPropertyDestroyed(QtProperty* row);
    void onItemChanged(const DGraphicsItem* item);
    void onCollaplsed(QtBrowserItem* item);
    void onExpanded(QtBrowserItem* item);

private:
    void connectSignals();
    void disconnectSignals();
    void resetProperties();
    void updateProperties();
    QtProperty* addRow(const DMetaProperty& meta);
    // Sets the row's various mark and shows the row again, unless it was
    // and stays unmarked.
    static void markVarious(QtAbstractPropertyManager* manager, DPropertyVariousChecker* marks, QtProperty* row,
                            bool various);
    // The value every item has, or an invalid QVariant when they differ.
    QVariant sharedValue(const QMetaProperty& property) const;
    bool isEnabledForAll(const DMetaProperty& meta) const;

    // Items can go while they are shown (deleted, or their layer cleared):
    // the panel follows each one and drops it when it is destroyed.
    void watchItems();
    void unwatchItems();
    void onItemDestroyed(DGraphicsItem* item);
    // Closes open editors without writing what they held into any item.
    void discardOpenEditors();

    QPointer<DCanvas> m_canvas;
    QList<DGraphicsItem*> m_items;
    QMap<QtProperty*, DMetaProperty> m_rows;
    DPropertyManagerVariant* m_variantManager;
    QtVariantEditorFactory* m_variantFactory;
    DPropertyManagerVector3D* m_vectorManager;
    DEditorFactoryVector3D* m_vectorFactory;
    QSet<QString> m_expandedNames;

    QList<QMetaObject::Connection> m_itemConnections;
    bool m_discardingEdits = false;
};

#endif // DWIDGETPROPERTYBROWSER_H
