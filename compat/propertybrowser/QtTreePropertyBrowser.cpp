#include "QtTreePropertyBrowser.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
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
    QHeaderView* header = m_tree->header();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionResized, this, [this](int section) {
        if (section == kNameColumn && !m_placingDivider)
            m_dividerMoved = true;
    });
    m_tree->setAlternatingRowColors(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // Editors open on a press (below) or the edit key; never merely because
    // the current row moved, which also happens while rows are removed.
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_delegate = new DPropertyBrowserDelegate(
        [this](const QModelIndex& index, QWidget* editorParent) { return editorFor(index, editorParent); }, m_tree);
    m_tree->setItemDelegate(m_delegate);

    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);
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
    disconnect(m_tree->header(), nullptr, this, nullptr);
    m_tree->removeEventFilter(this);
    m_tree->viewport()->removeEventFilter(this);
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

bool QtTreePropertyBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const QKeyEvent* key = static_cast<QKeyEvent*>(event);
        return onTreeKey(key->key(), key->modifiers());
    }
    if (watched == m_tree->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_pressedButton.clear();
        else if (event->type() == QEvent::MouseButtonRelease)
            onViewportReleased(static_cast<QMouseEvent*>(event));
        else if (event->type() == QEvent::Resize)
            placeDivider();
    }
    return QtAbstractPropertyBrowser::eventFilter(watched, event);
}

bool QtTreePropertyBrowser::onTreeKey(int key, Qt::KeyboardModifiers modifiers)
{
    // Keys that reach the tree from an open editor (one that let Enter
    // through, say) are the editor's.
    const bool opens = key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!opens || (modifiers & ~Qt::KeypadModifier) || !m_tree->hasFocus())
        return false;
    QtBrowserItem* item = m_browserItems.value(m_tree->currentItem());
    if (!item || !isEditable(item))
        return false;
    QWidget* editor = openEditor(item);
    if (QAbstractButton* button = qobject_cast<QAbstractButton*>(editor)) {
        if (key == Qt::Key_Space)
            button->click();
    }
    return editor != nullptr;
}

void QtTreePropertyBrowser::onViewportReleased(const QMouseEvent* release)
{
    QPointer<QAbstractButton> button = m_pressedButton;
    m_pressedButton.clear();
    // As on the button itself, only the left button clicks it.
    if (release->button() == Qt::LeftButton && button && button->isVisible() &&
        button->geometry().contains(release->pos()))
        button->click();
}

void QtTreePropertyBrowser::placeDivider()
{
    if (m_dividerMoved)
        return;
    const QScopedValueRollback<bool> placing(m_placingDivider, true);
    m_tree->header()->resizeSection(kNameColumn, m_tree->viewport()->width() / 2);
}

QWidget* QtTreePropertyBrowser::editorFor(const QModelIndex& index, QWidget* parent)
{
    QtBrowserItem* item = browserItemAt(index);
    if (!item || index.column() != kValueColumn || !isEditable(item))
        return nullptr;
    QWidget* editor = createEditor(item->property(), parent);
    m_openEditor = editor;
    return editor;
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
    treeItem->setIcon(kValueColumn, property->valueIcon());
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
    m_pressedButton = qobject_cast<QAbstractButton*>(openEditor(item));
}

QWidget* QtTreePropertyBrowser::openEditor(QtBrowserItem* item)
{
    // One editor at a time: the open one finishes (an editor made of several
    // widgets does not notice the focus leaving by itself).
    closeEditors();
    QTreeWidgetItem* treeItem = m_treeItems.value(item);
    if (!treeItem)
        return nullptr;
    m_openEditor.clear();
    m_tree->setCurrentItem(treeItem, kValueColumn);
    m_tree->editItem(treeItem, kValueColumn);
    return m_openEditor;
}
