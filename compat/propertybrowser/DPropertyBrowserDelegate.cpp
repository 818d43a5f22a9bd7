#include "DPropertyBrowserDelegate.h"

#include <QKeyEvent>

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

void DPropertyBrowserDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                    const QModelIndex&) const
{
    editor->setGeometry(option.rect);
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

bool DPropertyBrowserDelegate::eventFilter(QObject* object, QEvent* event)
{
    QWidget* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        discard(editor);
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void DPropertyBrowserDelegate::discard(QWidget* editor)
{
    QList<QPointer<QObject>> silenced;
    const QList<QObject*> parts = QList<QObject*>({editor}) + editor->findChildren<QObject*>();
    for (QObject* part : parts) {
        if (!part->signalsBlocked()) {
            part->blockSignals(true);
            silenced.append(part);
        }
    }
    m_openEditors.removeAll(editor);
    emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    // Hidden now, it goes later; until then it is heard again, as it must be
    // when it is destroyed.
    for (const QPointer<QObject>& part : qAsConst(silenced)) {
        if (part)
            part->blockSignals(false);
    }
}
