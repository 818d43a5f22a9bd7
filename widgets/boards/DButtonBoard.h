#pragma once

#include <QIcon>
#include <QSize>
#include <QVariant>
#include <QVector>
#include <QWidget>

class QGridLayout;
class QMenu;
class QToolButton;
class QVBoxLayout;
class DToolButton;

// A drop-down board under a tool button: a grid of checkable buttons, one per
// value, that reports the value the user chooses. The board lives in the tool
// button's menu (a widget action of it) and so as long as the tool button.
class DButtonBoard : public QWidget
{
    Q_OBJECT
public:
    explicit DButtonBoard(QToolButton* toolButton);

    // Replaces the values; one button each, `columns` to a row.
    void createButtons(const QVector<QVariant>& data, int columns);
    // The button of the first value that names the same choice as v, or null.
    DToolButton* getButton(const QVariant& v) const;

    virtual QIcon createButtonIcon(const QVariant& v) const = 0;
    virtual DToolButton* createButton(const QVariant& v);
    // Closes the board, checks exactly the buttons of v and, for a valid v,
    // reports it.
    virtual void finalSelectedData(const QVariant& v);

    QToolButton* toolButton() const { return m_pToolButton; }
    QMenu* menu() const { return m_pMenu; }
    const QVector<QVariant>& data() const { return m_data; }
    const QVector<DToolButton*>& buttons() const { return m_buttons; }
    QSize buttonSize() const { return m_buttonSize; }

signals:
    void dataSelected(const QVariant& value);

public slots:
    void onGridButtonClicked(int id);

protected:
    // Whether a button's value and a chosen value are the same choice.
    virtual bool isSameData(const QVariant& buttonValue, const QVariant& chosen) const;

    QVBoxLayout* m_pMainLayout;
    QGridLayout* m_pGrid;
    QSize m_buttonSize;
    QToolButton* m_pToolButton;   // not owned
    QVector<QVariant> m_data;
    QVector<DToolButton*> m_buttons;
    QMenu* m_pMenu;               // a child of the tool button
};
