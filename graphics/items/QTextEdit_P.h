#ifndef QTEXTEDIT_P_H
#define QTEXTEDIT_P_H

#include <QTextEdit>

class DGraphicsItemText;

// The in-place editor of a text item: a borderless text edit with a dashed
// frame that ends the editing when the focus leaves it or on Escape.
class QTextEdit_P : public QTextEdit
{
    Q_OBJECT
public:
    explicit QTextEdit_P(DGraphicsItemText* item);

    DGraphicsItemText* item() const { return m_item; }
    // Cuts the editor loose from its item: no more calls into it, and a
    // document of its own again.
    void detach();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The dashed frame's rectangle, in the editor's coordinates.
    QRectF frameOnPixels(const QTransform& toDevice) const;

    DGraphicsItemText* m_item;
};

#endif // QTEXTEDIT_P_H
