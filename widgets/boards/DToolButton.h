#pragma once

#include <QToolButton>

// A button of a board: it paints only its icon, with a frame while it is
// checked or under the mouse, and reports its index with clicked(int).
class DToolButton : public QToolButton
{
    Q_OBJECT
public:
    explicit DToolButton(QWidget* parent);

    // The index a board gave the button; -1 until then.
    int id() const { return m_id; }
    void setId(int id) { m_id = id; }
    bool isHovered() const { return m_hovered; }

signals:
    void clicked(int id);

public slots:
    void onClicked(bool checked);

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_id;
    // Kept by the enter and leave events themselves: the frame follows
    // exactly the events the button was given.
    bool m_hovered;
};
