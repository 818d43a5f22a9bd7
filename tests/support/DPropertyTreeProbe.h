#ifndef DPROPERTYTREEPROBE_H
#define DPROPERTYTREEPROBE_H

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
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

    // Shows the row, expanding its parents; its value cell in the viewport,
    // empty when there is no such row.
    QRect valueCell(const QString& path) const
    {
        QTreeWidgetItem* item = row(path);
        if (!item)
            return QRect();
        for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
            parent->setExpanded(true);
        m_tree->scrollToItem(item);
        const QRect rowRect = m_tree->visualItemRect(item);
        return QRect(m_tree->header()->sectionViewportPosition(1), rowRect.top(), m_tree->header()->sectionSize(1),
                     rowRect.height());
    }

    // Clicks the row's value cell at `across` (a fraction of its width) with
    // the button and returns the editor that opened there, or null.
    QWidget* clickValue(const QString& path, qreal across, Qt::MouseButton button = Qt::LeftButton) const
    {
        // Editors that are closing finish first; then the click lands on
        // whatever is shown at that point, an open editor included.
        QCoreApplication::processEvents();
        const QRect cell = valueCell(path);
        if (cell.isEmpty())
            return nullptr;
        const QPoint at(cell.left() + qRound(across * (cell.width() - 1)), cell.center().y());
        QWidget* target = m_tree->viewport()->childAt(at);
        if (!target)
            target = m_tree->viewport();
        QTest::mouseClick(target, button, Qt::NoModifier, target->mapFrom(m_tree->viewport(), at));
        return openEditorWidget();
    }

    // Clicks the row's value cell in its middle; the editor that opened
    // there, or null.
    QWidget* openEditor(const QString& path) const { return clickValue(path, 0.5); }

    // Qt::Checked or Qt::Unchecked when the row's value cell shows a check
    // box as the style draws one, -1 when it shows none.
    int checkState(const QString& path) const
    {
        const QTreeWidgetItem* item = row(path);
        const QIcon icon = item ? item->icon(1) : QIcon();
        if (icon.isNull() || icon.availableSizes().isEmpty())
            return -1;
        const QSize size = icon.availableSizes().first();
        const QImage shown = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int state : {int(Qt::Checked), int(Qt::Unchecked)}) {
            if (shown == checkBoxPicture(state == Qt::Checked, size))
                return state;
        }
        return -1;
    }

    // A key pressed and let go where the keyboard focus is, as the keyboard
    // does it; false when no widget has the focus.
    static bool press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return false;
        QTest::keyClick(focus, Qt::Key(key), modifiers);
        return true;
    }

    // Text typed where the keyboard focus is.
    static bool typeText(const QString& text)
    {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return false;
        QTest::keyClicks(focus, text);
        return true;
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
    // The style's check box indicator, drawn at the top left of a clear
    // picture of the given size.
    static QImage checkBoxPicture(bool checked, const QSize& size)
    {
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QStyle* style = QApplication::style();
        QStyleOptionButton option;
        option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        option.rect = QRect(0, 0, style->pixelMetric(QStyle::PM_IndicatorWidth),
                            style->pixelMetric(QStyle::PM_IndicatorHeight));
        option.palette = QApplication::palette();
        QPainter painter(&picture);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
        return picture;
    }

    QTreeWidget* m_tree;
};

#endif // DPROPERTYTREEPROBE_H
