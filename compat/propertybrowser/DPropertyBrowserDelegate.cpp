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
        // The view hands this delegate the editor's events alone; a part
        // that has the focus (a cell's button) takes keys before the editor
        // sees them, so the parts are heard too.
        const QList<QWidget*> parts = editor->findChildren<QWidget*>();
        for (QWidget* part : parts)
            part->installEventFilter(const_cast<DPropertyBrowserDelegate*>(this));
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
    // Closed editors and their parts, which go later, are left alone.
    QWidget* editor = editorOf(object);
    if (!editor)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            discard(editor);
            return true;
        }
        // A part that has the focus (a cell's button) would pass Tab and
        // Backtab along the window's focus chain, out of the view and with
        // the editor left open; they move on from the editor as a whole.
        if (object != editor && (key == Qt::Key_Tab || key == Qt::Key_Backtab))
            return QStyledItemDelegate::eventFilter(editor, event);
    }
    // Everything else a part handles itself, or passes up to its editor.
    return object == editor && QStyledItemDelegate::eventFilter(object, event);
}

QWidget* DPropertyBrowserDelegate::editorOf(QObject* object) const
{
    QWidget* widget = qobject_cast<QWidget*>(object);
    for (const QPointer<QWidget>& editor : qAsConst(m_openEditors)) {
        if (editor && widget && (editor == widget || editor->isAncestorOf(widget)))
            return editor;
    }
    return nullptr;
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
