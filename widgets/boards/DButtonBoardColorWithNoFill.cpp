#include "DButtonBoardColorWithNoFill.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

DButtonBoardColorWithNoFill::DButtonBoardColorWithNoFill(QToolButton* toolButton, const QVariant& current,
                                                         const QPixmap& icon)
    : DButtonBoardColor(toolButton, current, icon)
{
    QLabel* crossedOut = new QLabel(this);
    crossedOut->setPixmap(createButtonIcon(QColor(Qt::transparent)).pixmap(m_buttonSize));

    QToolButton* noFill = new QToolButton(this);
    noFill->setText(tr("No Fill"));
    noFill->setAutoRaise(true);
    noFill->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(noFill, &QToolButton::clicked, this, &DButtonBoardColorWithNoFill::onNoFillSelected);

    // Between the grid and the row of the current colour.
    QHBoxLayout* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(crossedOut);
    row->addWidget(noFill);
    m_pMainLayout->insertLayout(currentColorRowIndex(), row);
}

void DButtonBoardColorWithNoFill::onNoFillSelected()
{
    finalSelectedData(QColor(Qt::transparent));
}
