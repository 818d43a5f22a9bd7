#pragma once

#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

// The item delegate of the tree browser. Its editors come from the browser
// (through the editor maker it is given) and write through their property's
// manager themselves, so nothing is copied between editor and model.
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

    // Asks the view to close every editor this delegate opened; each one
    // loses its focus (and may commit) before this returns.
    void closeOpenEditors();

private:
    EditorMaker m_makeEditor;
    mutable QList<QPointer<QWidget>> m_openEditors;
};
