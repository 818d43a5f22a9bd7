#include "DButtonBoardColor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

#include "DColorDialog.h"
#include "DToolButton.h"

namespace {
const int kColumns = 10;
const int kSwatchSize = 13;

struct Hsv
{
    double hue;   // degrees
    double saturation;
    double value;
};

const Hsv kBaseColors[kColumns] = {
    {0, 0, 1},        {0, 0, 0},        {51, 0.05, 0.93},  {213, 0.75, 0.49}, {213, 0.58, 0.74},
    {2, 0.60, 0.75},  {80, 0.52, 0.73}, {267, 0.38, 0.64}, {193, 0.62, 0.78}, {27, 0.72, 0.97},
};

const Hsv kStrongColors[kColumns] = {
    {0, 1, 0.75},      {0, 1, 1},        {45, 1, 1},    {60, 1, 1},    {89, 0.62, 0.82},
    {147, 1, 0.69},    {196, 1, 0.94},   {205, 1, 0.75}, {220, 1, 0.38}, {274, 0.70, 0.63},
};

QColor fromDegrees(const Hsv& c)
{
    return QColor::fromHsvF(c.hue / 360.0, c.saturation, c.value, 1.0);
}

// The colour a value shows; a value without a valid colour shows none.
QColor shownColor(const QVariant& v)
{
    const QColor c = v.value<QColor>();
    return c.isValid() ? c : QColor(Qt::transparent);
}

bool hasColor(const QVariant& v, QColor* color)
{
    if (!v.isValid())
        return false;
    *color = v.value<QColor>();
    return color->isValid();
}
}

DButtonBoardColor::DButtonBoardColor(QToolButton* toolButton, const QVariant& current, const QPixmap& icon)
    : DButtonBoard(toolButton)
    , m_current(current)
    , m_pCurrentColorButton(nullptr)
    , m_iconImage(icon)
{
    m_buttonSize = QSize(kSwatchSize, kSwatchSize);
    m_pGrid->setVerticalSpacing(0);
    m_pGrid->setHorizontalSpacing(3);
    m_pGrid->setRowMinimumHeight(0, 19);
    m_pGrid->setRowMinimumHeight(6, 23);
    createButtons(colors(), kColumns);
    addTitle();
    DToolButton* swatch = getButton(m_current);
    if (swatch)
        swatch->setChecked(true);
    m_pCurrentColorButton = createButton(m_current);
    m_pCurrentColorButton->setChecked(!swatch);
    addCurrentColorRow();
    setToolButtonIcon(m_current.value<QColor>());
}

void DButtonBoardColor::addTitle()
{
    QLabel* title = new QLabel(tr("Standard Colors"), this);
    QFont font = title->font();
    font.setWeight(75);
    title->setFont(font);
    QPalette palette = title->palette();
    palette.setBrush(QPalette::Window, palette.color(QPalette::Button));
    title->setPalette(palette);
    m_pMainLayout->insertWidget(0, title);
}

void DButtonBoardColor::addCurrentColorRow()
{
    QToolButton* more = new QToolButton(this);
    more->setIcon(QIcon(QStringLiteral(":/images/colors.png")));
    more->setText(tr("More Colors..."));
    more->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    more->setAutoRaise(true);
    more->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    QHBoxLayout* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(m_pCurrentColorButton);
    row->addWidget(more);
    m_pMainLayout->addLayout(row);

    connect(more, &QToolButton::clicked, this, &DButtonBoardColor::onColorDialog);
    connect(m_pCurrentColorButton, &QToolButton::clicked, this, &DButtonBoardColor::onCurrentColorClicked);
}

int DButtonBoardColor::currentColorRowIndex() const
{
    for (int i = 0; i < m_pMainLayout->count(); ++i) {
        QLayout* row = m_pMainLayout->itemAt(i)->layout();
        if (row && row->indexOf(m_pCurrentColorButton) >= 0)
            return i;
    }
    return m_pMainLayout->count();
}

QVector<QVariant> DButtonBoardColor::colors()
{
    QVector<QVariant> result(7 * kColumns);
    for (int column = 0; column < kColumns; ++column) {
        const QColor base = fromDegrees(kBaseColors[column]);
        result[column] = base;

        // Five shades of the base colour, from pale to saturated; the white
        // and black columns run through greys.
        qreal h = 0, s = 0, v = 0;
        base.getHsvF(&h, &s, &v);
        double a = s / 6;
        double b = s / 3.5;
        if (s != 0) {
            if (a < 0.01)
                a = 0.1;
            if (b < 0.09)
                b = 0.09;
        }
        const double start = v > 0.5 ? 0.95 : 0.45;
        for (int k = 0; k < 5; ++k)
            result[column + kColumns * (k + 1)] = QColor::fromHsvF(h, a + k * b, start - 0.1 * k, 1.0);

        result[6 * kColumns + column] = fromDegrees(kStrongColors[column]);
    }
    return result;
}

QIcon DButtonBoardColor::createButtonIcon(const QVariant& v) const
{
    const QColor c = shownColor(v);
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(c);
    QPainter painter(&swatch);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(kSwatchSize - 2, kSwatchSize - 2)));
    if (c.alpha() == 0)
        painter.drawLine(0, 0, kSwatchSize, kSwatchSize);
    painter.end();
    return QIcon(swatch);
}

void DButtonBoardColor::setToolButtonIcon(const QColor& c)
{
    // A colour button without an image of its own still shows its bar.
    QPixmap image = m_iconImage.isNull() ? QPixmap(16, 16) : m_iconImage;
    if (m_iconImage.isNull())
        image.fill(Qt::transparent);
    const int w = image.width();
    const int h = image.height();
    QPainter painter(&image);
    if (c.isValid() && c.alpha() != 0) {
        painter.setPen(c);
        painter.setBrush(QBrush(c, Qt::SolidPattern));
    } else {
        painter.setPen(Qt::gray);
        painter.setBrush(Qt::NoBrush);
    }
    // Given by its corners: with the pen's far edge the bar fills the bottom
    // quarter of the image.
    painter.drawRect(QRect(QPoint(0, 3 * h / 4), QPoint(w - 2, 3 * h / 4 + h / 4 - 2)));
    painter.end();
    m_pToolButton->setIcon(QIcon(image));
}

void DButtonBoardColor::finalSelectedData(const QVariant& v)
{
    setToolButtonIcon(v.value<QColor>());
    DButtonBoard::finalSelectedData(v);
    // The current colour is a choice like the swatches: checked exactly when
    // it is the colour chosen and no swatch shows that colour, as when the
    // board was made.
    m_pCurrentColorButton->setChecked(isSameData(m_current, v) && !getButton(v));
}

void DButtonBoardColor::onCurrentColorClicked()
{
    // Checked by the choice itself, unless a swatch shows the colour: the
    // click toggled it already.
    finalSelectedData(m_current);
}

void DButtonBoardColor::onColorDialog()
{
    m_pMenu->hide();
    // Over the window that holds the tool button, which gets the keyboard
    // back when the dialog closes.
    QPointer<QWidget> window = m_pToolButton->window();
    QPointer<DButtonBoardColor> self(this);
    QPointer<DColorDialog> dialog = new DColorDialog(window);
    dialog->setCurrentColor(m_current.value<QColor>());
    const bool accepted = dialog->exec() == QDialog::Accepted;
    const QColor chosen = dialog ? dialog->selectedColor() : QColor();
    delete dialog.data();
    if (window)
        window->activateWindow();
    // The strip may have been rebuilt while the dialog ran.
    if (!self || !accepted || !chosen.isValid())
        return;
    m_current = QColor::fromRgba(chosen.rgba());
    // The new current colour is checked, or its swatch when one shows it.
    finalSelectedData(m_current);
    m_pCurrentColorButton->setIcon(createButtonIcon(m_current));
}

bool DButtonBoardColor::isSameData(const QVariant& buttonValue, const QVariant& chosen) const
{
    QColor a;
    QColor b;
    return hasColor(buttonValue, &a) && hasColor(chosen, &b) && a.rgba() == b.rgba();
}
