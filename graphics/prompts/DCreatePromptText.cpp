#include "DCreatePromptText.h"

#include "DGraphicsItemText.h"

DCreatePromptText::DCreatePromptText()
{
    // Made before anybody else can connect, so the box is settled and editing
    // runs before other receivers hear of the new item.
    connect(this, &DCreatePrompt::finished, this, &DCreatePromptText::onFinished);
}

DGraphicsItemText* DCreatePromptText::sample() const
{
    return qobject_cast<DGraphicsItemText*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptText::createSample() const
{
    return new DGraphicsItemText();
}

void DCreatePromptText::onFinished(DCreatePrompt*)
{
    DGraphicsItemText* text = sample();
    if (!text)
        return;
    // Judged on the normalised box, so a box dragged right to left behaves
    // like one dragged left to right; a narrow box wraps nothing.
    if (qAbs(text->width()) < 8.0)
        text->setWidth(0);
    text->startEditing();
}
