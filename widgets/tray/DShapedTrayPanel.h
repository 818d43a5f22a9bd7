#ifndef DSHAPEDTRAYPANEL_H
#define DSHAPEDTRAYPANEL_H

#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QPaintEvent;
class QPainterPath;
class QResizeEvent;
class QToolButton;

// The instant panel of the tray icon: a frameless, translucent top-level window
// drawn as a dark rounded box whose arrow points at the tray icon. The main
// window fills it with one large button per capture mode.
class DShapedTrayPanel : public QWidget
{
    Q_OBJECT
public:
    explicit DShapedTrayPanel(QWidget* owner);

    void addWidget(QWidget* widget);
    // A 40 x 40 button; a click first hides the panel, then calls the member.
    QToolButton* addButton(const QIcon& icon, const QString& text, const QObject* receiver, const char* member);
    // Opens the panel beside the tray icon whose global geometry is given: below
    // it when the icon sits in the upper half of its screen, above it otherwise.
    // It comes on top without taking the keyboard focus.
    void show(const QRect& trayGeometry);

    QWidget* owner() const { return m_pOwner; }
    bool isArrowAtBottom() const { return m_nArrowAtBottom != 0; }
    QPoint anchor() const { return m_ptAnchor; }
    // The outline of the frame for a panel of the given size on the current side.
    QPainterPath outline(const QSize& size) const;
    // Distance of the arrow's tip from the panel's left edge: the middle, unless
    // the screen's edge kept the panel from centring on the icon.
    int arrowOffset(const QSize& size) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void createBackground(const QSize& size);

private:
    void placeBesideAnchor(const QSize& size);
    void ensureBackground();
    // The window's shape: the frame itself without a compositing manager,
    // the whole rectangle (translucent where the frame is) with one.
    void updateShape();

    QPixmap m_pixBackground;
    QWidget* m_pOwner;
    int m_nArrowAtBottom;
    QPoint m_ptAnchor;
    // Side the cached background was drawn for: a change of side keeps the size
    // but needs a new background.
    int m_nBackgroundArrowAtBottom;
    // Set by the placement: how far the panel was pushed left (negative) or
    // right (positive) of its centred place to stay on the screen.
    int m_nShift;
    int m_nBackgroundShift;
};

#endif // DSHAPEDTRAYPANEL_H
