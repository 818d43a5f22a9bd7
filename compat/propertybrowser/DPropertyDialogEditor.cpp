#include "DPropertyDialogEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

DPropertyDialogEditor::DPropertyDialogEditor(QWidget* parent)
    : QWidget(parent)
    , m_swatch(new QLabel(this))
    , m_text(new QLabel(this))
    , m_button(new QToolButton(this))
{
    QHBoxLayout* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_swatch);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_button);
    m_swatch->hide();
    m_button->setText(QStringLiteral("..."));
    m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusProxy(m_button);
    setAutoFillBackground(true);
    connect(m_button, &QToolButton::clicked, this, &DPropertyDialogEditor::onChoose);
}

void DPropertyDialogEditor::setValue(const QVariant& value, const QString& text, const QIcon& icon)
{
    m_value = value;
    m_text->setText(text);
    const QPixmap pixmap = icon.pixmap(style()->pixelMetric(QStyle::PM_SmallIconSize));
    m_swatch->setPixmap(pixmap);
    m_swatch->setVisible(!pixmap.isNull());
}

void DPropertyDialogEditor::onChoose()
{
    // The dialog runs its own event loop, in which the browser may close
    // this editor.
    QPointer<DPropertyDialogEditor> self(this);
    const QVariant chosen = choose(m_value);
    if (self && chosen.isValid())
        emit valueChosen(chosen);
}
