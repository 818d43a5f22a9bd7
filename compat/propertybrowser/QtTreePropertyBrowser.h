#pragma once

#include <QHash>

#include "QtAbstractPropertyBrowser.h"

class DPropertyBrowserDelegate;
class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

// A two-column tree, "Property" and "Value". Pressing an enabled row whose
// manager has a factory opens that factory's editor in the value cell; rows
// start collapsed and report the user's expanding and collapsing.
class QtTreePropertyBrowser : public QtAbstractPropertyBrowser
{
    Q_OBJECT
public:
    explicit QtTreePropertyBrowser(QWidget* parent = nullptr);
    ~QtTreePropertyBrowser() override;

    void setExpanded(QtBrowserItem* item, bool expanded);
    bool isExpanded(QtBrowserItem* item) const;

signals:
    void collapsed(QtBrowserItem* item);
    void expanded(QtBrowserItem* item);

protected:
    void itemInserted(QtBrowserItem* item, QtBrowserItem* afterItem) override;
    void itemRemoved(QtBrowserItem* item) override;
    void itemChanged(QtBrowserItem* item) override;
    void closeEditors() override;

private:
    QWidget* editorFor(const QModelIndex& index, QWidget* parent);
    QtBrowserItem* browserItemAt(const QModelIndex& index) const;
    // Enabled itself and under enabled parents, with a value and a factory.
    bool isEditable(const QtBrowserItem* item) const;
    void refresh(QtBrowserItem* item, QTreeWidgetItem* treeItem);
    void onItemPressed(QTreeWidgetItem* treeItem);

    QTreeWidget* m_tree;
    DPropertyBrowserDelegate* m_delegate;
    QHash<const QtBrowserItem*, QTreeWidgetItem*> m_treeItems;
    QHash<const QTreeWidgetItem*, QtBrowserItem*> m_browserItems;
};
