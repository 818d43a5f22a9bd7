#ifndef DPROPERTYTREEPROBE_H
#define DPROPERTYTREEPROBE_H

#include <QApplication>
#include <QHeaderView>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

// Reads and drives a property browser's tree the way a user sees it: rows by
// their names, the text of their value cells, presses on those cells.
class DPropertyTreeProbe
{
public:
    explicit DPropertyTreeProbe(QWidget* browser)
        : m_tree(browser->findChild<QTreeWidget*>())
    {
    }

    QTreeWidget* tree() const { return m_tree; }

    // Every row as "name=value", depth-first, sub-rows indented by two spaces.
    QStringList rows() const
    {
        QStringList result;
        std::function<void(const QTreeWidgetItem*, const QString&)> walk = [&](const QTreeWidgetItem* item,
                                                                             const QString& indent) {
            result << indent + item->text(0) + "=" + item->text(1);
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), indent + "  ");
        };
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            walk(m_tree->topLevelItem(i), QString());
        return result;
    }

    // The names of the top-level rows, in order.
    QStringList names() const
    {
        QStringList result;
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            result << m_tree->topLevelItem(i)->text(0);
        return result;
    }

    // The row at a path of names, "Position/X"; null when there is none.
    QTreeWidgetItem* row(const QString& path) const
    {
        QTreeWidgetItem* found = nullptr;
        for (const QString& name : path.split('/')) {
            const int count = found ? found->childCount() : m_tree->topLevelItemCount();
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < count && !next; ++i) {
                QTreeWidgetItem* candidate = found ? found->child(i) : m_tree->topLevelItem(i);
                if (candidate->text(0) == name)
                    next = candidate;
            }
            if (!next)
                return nullptr;
            found = next;
        }
        return found;
    }

    QString value(const QString& path) const
    {
        const QTreeWidgetItem* item = row(path);
        return item ? item->text(1) : QStringLiteral("<no row %1>").arg(path);
    }

    bool isEnabled(const QString& path) const
    {
        const QTreeWidgetItem* item = row(path);
        return item && (item->flags() & Qt::ItemIsEnabled);
    }

    // Shows the row (expanding its parents) and clicks its value cell; the
    // editor that opened there, or null.
    QWidget* openEditor(const QString& path) const
    {
        QTreeWidgetItem* item = row(path);
        if (!item)
            return nullptr;
        for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
            parent->setExpanded(true);
        m_tree->scrollToItem(item);
        const QRect rowRect = m_tree->visualItemRect(item);
        const QPoint cell(m_tree->header()->sectionViewportPosition(1) + m_tree->header()->sectionSize(1) / 2,
                          rowRect.center().y());
        QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        return openEditorWidget();
    }

    // The editor shown in the tree, or null.
    QWidget* openEditorWidget() const
    {
        QWidget* editor = nullptr;
        for (QObject* child : m_tree->viewport()->children()) {
            QWidget* widget = qobject_cast<QWidget*>(child);
            if (widget && widget->isVisible())
                editor = widget;
        }
        return editor;
    }

    // Runs action, during which a modal dialog of type Dialog is expected;
    // answer is called on it once it is up (and should close it).
    template <class Dialog>
    static bool answerDialog(const std::function<void()>& action, const std::function<void(Dialog*)>& answer)
    {
        bool answered = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (Dialog* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                answered = true;
                answer(dialog);
            }
        });
        poll.start();
        action();
        poll.stop();
        return answered;
    }

private:
    QTreeWidget* m_tree;
};

#endif // DPROPERTYTREEPROBE_H
