#include "DPropertyBrowserDelegate.h"

namespace {
// Room around an editor, so that spin boxes and buttons fit the row.
const int kRowPadding = 6;
}

DPropertyBrowserDelegate::DPropertyBrowserDelegate(const EditorMaker& makeEditor, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_makeEditor(makeEditor)
{
}

QWidget* DPropertyBrowserDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                                const QModelIndex& index) const
{
    QWidget* editor = m_makeEditor ? m_makeEditor(index, parent) : nullptr;
    if (editor) {
        m_openEditors.removeAll(nullptr);
        m_openEditors.append(editor);
    }
    return editor;
}

void DPropertyBrowserDelegate::setEditorData(QWidget*, const QModelIndex&) const
{
}

void DPropertyBrowserDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
}

QSize DPropertyBrowserDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rheight() += kRowPadding;
    return size;
}

void DPropertyBrowserDelegate::closeOpenEditors()
{
    const QList<QPointer<QWidget>> editors = m_openEditors;
    m_openEditors.clear();
    for (const QPointer<QWidget>& editor : editors) {
        if (editor)
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}
