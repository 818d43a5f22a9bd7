#pragma once

#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

// The item delegate of the tree browser. Its editors come from the browser
// (through the editor maker it is given) and write through their property's
// manager themselves, so nothing is copied between editor and model. Enter
// and leaving an editor commit what it holds; Escape closes it and drops it;
// Tab and Backtab move to the next or previous row's editor, from any part of
// an editor made of several widgets.
class DPropertyBrowserDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using EditorMaker = std::function<QWidget*(const QModelIndex& index, QWidget* parent)>;

    DPropertyBrowserDelegate(const EditorMaker& makeEditor, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The whole cell, the value's picture included: an editor shows the
    // value its own way, and a click anywhere on the cell is the editor's.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Asks the view to close every editor this delegate opened; each one
    // loses its focus (and may commit) before this returns.
    void closeOpenEditors();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // Closes the editor without a word from it: an editor commits when it
    // loses the focus or is hidden, which closing does to it.
    void discard(QWidget* editor);
    // The open editor that the object is or is a part of; null for none.
    QWidget* editorOf(QObject* object) const;

    EditorMaker m_makeEditor;
    mutable QList<QPointer<QWidget>> m_openEditors;
};
