#pragma once

#include <QColor>
#include <QPixmap>

#include "DButtonBoard.h"

// The colour board: a title, 70 swatches in seven rows of ten, and a row with
// the current colour and "More Colors..." (the colour dialog). The tool button
// shows its own image with a bar of the chosen colour along its bottom edge.
class DButtonBoardColor : public DButtonBoard
{
    Q_OBJECT
public:
    DButtonBoardColor(QToolButton* toolButton, const QVariant& current, const QPixmap& icon);

    // The swatches, in button order: base colours, five rows of their shades,
    // strong colours.
    static QVector<QVariant> colors();

    // A 13 x 13 swatch with a grey border; crossed out when it has no colour.
    QIcon createButtonIcon(const QVariant& v) const override;
    void setToolButtonIcon(const QColor& c);
    void finalSelectedData(const QVariant& v) override;

    QVariant current() const { return m_current; }
    DToolButton* currentColorButton() const { return m_pCurrentColorButton; }

public slots:
    void onColorDialog();
    void onCurrentColorClicked();

protected:
    // Swatches are made in HSV and item colours are RGB; colours of two specs
    // never compare equal, so choices are compared by their RGBA value.
    bool isSameData(const QVariant& buttonValue, const QVariant& chosen) const override;
    // The main layout's place of the row that holds the current colour.
    int currentColorRowIndex() const;

private:
    void addTitle();
    void addCurrentColorRow();

    QVariant m_current;
    DToolButton* m_pCurrentColorButton;
    QPixmap m_iconImage;
};
