#include "DButtonBoard.h"

#include <QGridLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include "DToolButton.h"

DButtonBoard::DButtonBoard(QToolButton* toolButton)
    : QWidget(nullptr)
    , m_pMainLayout(new QVBoxLayout(this))
    , m_pGrid(new QGridLayout)
    , m_buttonSize(16, 16)
    , m_pToolButton(toolButton)
    , m_pMenu(nullptr)
{
    m_pMainLayout->setSpacing(0);
    m_pMainLayout->setContentsMargins(3, 0, 3, 0);
    m_pMainLayout->addLayout(m_pGrid);

    // The menu owns the action and the action owns the board. The arrow
    // opens the board; the button itself keeps its own action.
    m_pMenu = new QMenu(toolButton);
    QWidgetAction* action = new QWidgetAction(m_pMenu);
    action->setDefaultWidget(this);
    m_pMenu->addAction(action);
    toolButton->setMenu(m_pMenu);
    toolButton->setPopupMode(QToolButton::MenuButtonPopup);
    setVisible(true);
}

void DButtonBoard::createButtons(const QVector<QVariant>& data, int columns)
{
    m_data = data;
    for (int i = 0; i < m_data.count(); ++i) {
        DToolButton* button = createButton(m_data.at(i));
        m_buttons.append(button);
        button->setId(i);
        connect(button, QOverload<int>::of(&DToolButton::clicked), this, &DButtonBoard::onGridButtonClicked);
        m_pGrid->addWidget(button, i / columns, i % columns, Qt::AlignCenter);
    }
}

DToolButton* DButtonBoard::createButton(const QVariant& v)
{
    DToolButton* button = new DToolButton(this);
    button->setIcon(createButtonIcon(v));
    button->setToolTip(v.toString());
    button->setFixedSize(m_buttonSize);
    button->setCheckable(true);
    return button;
}

DToolButton* DButtonBoard::getButton(const QVariant& v) const
{
    for (int i = 0; i < m_data.count() && i < m_buttons.count(); ++i) {
        if (isSameData(m_data.at(i), v))
            return m_buttons.at(i);
    }
    return nullptr;
}

void DButtonBoard::onGridButtonClicked(int id)
{
    if (id >= 0 && id < m_data.count())
        finalSelectedData(m_data.at(id));
}

void DButtonBoard::finalSelectedData(const QVariant& v)
{
    m_pMenu->hide();
    for (int i = 0; i < m_buttons.count(); ++i)
        m_buttons.at(i)->setChecked(isSameData(m_data.value(i), v));
    if (v.isValid())
        emit dataSelected(v);
}

bool DButtonBoard::isSameData(const QVariant& buttonValue, const QVariant& chosen) const
{
    return chosen.isValid() && buttonValue == chosen;
}
