#pragma once

#include <QHash>
#include <QPointer>

#include "QtAbstractPropertyBrowser.h"

class QAbstractButton;
class DPropertyBrowserDelegate;
class QModelIndex;
class QMouseEvent;
class QTreeWidget;
class QTreeWidgetItem;

// A two-column tree, "Property" and "Value", with a divider the user can drag
// (it stays in the middle until then). Pressing an enabled row whose manager
// has a factory opens that factory's editor in the value cell, as F2 and
// Enter do for the current row from either column; an editor that is itself
// a button (a bool's check box) is pressed by the left click that opened it,
// and by Space. Rows start collapsed and report the user's expanding and
// collapsing.
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* editorFor(const QModelIndex& index, QWidget* parent);
    QtBrowserItem* browserItemAt(const QModelIndex& index) const;
    // Enabled itself and under enabled parents, with a value and a factory.
    bool isEditable(const QtBrowserItem* item) const;
    void refresh(QtBrowserItem* item, QTreeWidgetItem* treeItem);
    void onItemPressed(QTreeWidgetItem* treeItem);
    // Opens the row's editor in its value cell; the editor, or null.
    QWidget* openEditor(QtBrowserItem* item);
    bool onTreeKey(int key, Qt::KeyboardModifiers modifiers);
    void onViewportReleased(const QMouseEvent* release);
    void placeDivider();

    QTreeWidget* m_tree;
    DPropertyBrowserDelegate* m_delegate;
    // The editor most recently opened.
    QPointer<QWidget> m_openEditor;
    // The button editor that a press has just opened, which its release
    // presses.
    QPointer<QAbstractButton> m_pressedButton;
    bool m_dividerMoved = false;
    bool m_placingDivider = false;
    QHash<const QtBrowserItem*, QTreeWidgetItem*> m_treeItems;
    QHash<const QTreeWidgetItem*, QtBrowserItem*> m_browserItems;
};
