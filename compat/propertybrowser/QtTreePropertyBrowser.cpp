#include "QtTreePropertyBrowser.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DPropertyBrowserDelegate.h"
#include "QtBrowserItem.h"
#include "QtProperty.h"

namespace {
const int kNameColumn = 0;
const int kValueColumn = 1;
// Where each tree row keeps the browser item it shows.
const int kBrowserItemRole = Qt::UserRole + 1;
}

QtTreePropertyBrowser::QtTreePropertyBrowser(QWidget* parent)
    : QtAbstractPropertyBrowser(parent)
    , m_tree(new QTreeWidget(this))
{
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("Property"), tr("Value")});
    m_tree->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_tree->setAlternatingRowColors(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // Editors open on a press (below) or the edit key; never merely because
    // the current row moved, which also happens while rows are removed.
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_delegate = new DPropertyBrowserDelegate(
        [this](const QModelIndex& index, QWidget* editorParent) { return editorFor(index, editorParent); }, m_tree);
    m_tree->setItemDelegate(m_delegate);

    connect(m_tree, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item) { onItemPressed(item); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (QtBrowserItem* browserItem = m_browserItems.value(item))
            emit expanded(browserItem);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (QtBrowserItem* browserItem = m_browserItems.value(item))
            emit collapsed(browserItem);
    });
}

QtTreePropertyBrowser::~QtTreePropertyBrowser()
{
    // Rows go while this part is whole; then the tree, before the base class
    // and its members are gone.
    detachAll();
    disconnect(m_tree, nullptr, this, nullptr);
    delete m_tree;
}

void QtTreePropertyBrowser::setExpanded(QtBrowserItem* item, bool expanded)
{
    if (QTreeWidgetItem* treeItem = m_treeItems.value(item))
        treeItem->setExpanded(expanded);
}

bool QtTreePropertyBrowser::isExpanded(QtBrowserItem* item) const
{
    QTreeWidgetItem* treeItem = m_treeItems.value(item);
    return treeItem && treeItem->isExpanded();
}

void QtTreePropertyBrowser::itemInserted(QtBrowserItem* item, QtBrowserItem* afterItem)
{
    QTreeWidgetItem* treeItem = new QTreeWidgetItem;
    treeItem->setData(kNameColumn, kBrowserItemRole, QVariant::fromValue(quintptr(item)));
    m_treeItems.insert(item, treeItem);
    m_browserItems.insert(treeItem, item);

    QTreeWidgetItem* parent = item->parent() ? m_treeItems.value(item->parent()) : nullptr;
    QTreeWidgetItem* after = afterItem ? m_treeItems.value(afterItem) : nullptr;
    if (parent) {
        parent->insertChild(after ? parent->indexOfChild(after) + 1 : 0, treeItem);
    } else {
        m_tree->insertTopLevelItem(after ? m_tree->indexOfTopLevelItem(after) + 1 : 0, treeItem);
    }
    refresh(item, treeItem);
}

void QtTreePropertyBrowser::itemRemoved(QtBrowserItem* item)
{
    QTreeWidgetItem* treeItem = m_treeItems.take(item);
    m_browserItems.remove(treeItem);
    delete treeItem;
}

void QtTreePropertyBrowser::itemChanged(QtBrowserItem* item)
{
    if (QTreeWidgetItem* treeItem = m_treeItems.value(item))
        refresh(item, treeItem);
}

void QtTreePropertyBrowser::closeEditors()
{
    m_delegate->closeOpenEditors();
}

QWidget* QtTreePropertyBrowser::editorFor(const QModelIndex& index, QWidget* parent)
{
    QtBrowserItem* item = browserItemAt(index);
    if (!item || index.column() != kValueColumn || !isEditable(item))
        return nullptr;
    return createEditor(item->property(), parent);
}

QtBrowserItem* QtTreePropertyBrowser::browserItemAt(const QModelIndex& index) const
{
    const quintptr stored = index.sibling(index.row(), kNameColumn).data(kBrowserItemRole).value<quintptr>();
    // Only a row this browser still shows names an item.
    for (auto it = m_browserItems.cbegin(); it != m_browserItems.cend(); ++it) {
        if (quintptr(it.value()) == stored)
            return it.value();
    }
    return nullptr;
}

bool QtTreePropertyBrowser::isEditable(const QtBrowserItem* item) const
{
    for (const QtBrowserItem* node = item; node; node = node->parent()) {
        if (!node->property()->isEnabled())
            return false;
    }
    return item->property()->hasValue() && hasFactory(item->property());
}

void QtTreePropertyBrowser::refresh(QtBrowserItem* item, QTreeWidgetItem* treeItem)
{
    QtProperty* property = item->property();
    treeItem->setText(kNameColumn, property->propertyName());
    treeItem->setText(kValueColumn, property->valueText());
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (property->isEnabled())
        flags |= Qt::ItemIsEnabled;
    // Whether a parent is enabled is checked when an editor is asked for:
    // the tree greys the rows under a disabled parent by itself.
    if (property->hasValue() && hasFactory(property))
        flags |= Qt::ItemIsEditable;
    treeItem->setFlags(flags);
}

void QtTreePropertyBrowser::onItemPressed(QTreeWidgetItem* treeItem)
{
    QtBrowserItem* item = m_browserItems.value(treeItem);
    if (!item || !isEditable(item))
        return;
    // One editor at a time: the open one finishes (an editor made of several
    // widgets does not notice the focus leaving by itself).
    closeEditors();
    treeItem = m_treeItems.value(item);
    if (!treeItem)
        return;
    m_tree->setCurrentItem(treeItem, kValueColumn);
    m_tree->editItem(treeItem, kValueColumn);
}
