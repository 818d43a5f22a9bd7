#include "DShapedTrayPanel.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QToolButton>

#include "DDesktopCompositor.h"

namespace {

// Gap between the tray icon's centre and the panel's near edge.
const int AnchorGap = 13;
const int ArrowHalfBase = 12;
const int ArrowHeight = 12;
const int CornerDiameter = 14;

const QString& buttonStyleSheet()
{
    static const QString sheet = QStringLiteral(
        "QToolButton {    border-width: 1px;    border-style: hidden;    border-color: silver;    border-radius: 3px;}"
        "QToolButton:hover:!pressed{    border-width: 1px;    border-style: solid;    background-color: #666;}");
    return sheet;
}

} // namespace

DShapedTrayPanel::DShapedTrayPanel(QWidget* owner)
    : QWidget(nullptr, Qt::SplashScreen | Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint
                           | Qt::WindowStaysOnTopHint)
    , m_pOwner(owner)
    , m_nArrowAtBottom(1)
    , m_ptAnchor(0, 0)
    , m_nBackgroundArrowAtBottom(1)
    , m_nShift(0)
    , m_nBackgroundShift(0)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    // The panel answers the pointer only. Taking the keyboard focus would take
    // it from the application the user types in, and a focused panel that
    // closes under the tray icon's open menu ends that menu with it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    QHBoxLayout* layout = new QHBoxLayout(this);
    layout->setSpacing(3);
    layout->setContentsMargins(3, 3, 3, 3);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setWindowOpacity(0.9);
}

void DShapedTrayPanel::addWidget(QWidget* widget)
{
    widget->setParent(this);
    layout()->addWidget(widget);
}

QToolButton* DShapedTrayPanel::addButton(const QIcon& icon, const QString& text, const QObject* receiver,
                                         const char* member)
{
    QToolButton* button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(text);
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(40, 40);
    button->setAutoRaise(true);
    button->setAutoFillBackground(false);
    layout()->addWidget(button);
    // The panel goes away before the action runs, so it is not in a screen grab.
    connect(button, SIGNAL(clicked()), this, SLOT(hide()));
    connect(button, SIGNAL(clicked()), receiver, member);
    button->setStyleSheet(buttonStyleSheet());
    return button;
}

void DShapedTrayPanel::show(const QRect& trayGeometry)
{
    m_ptAnchor = QPoint((trayGeometry.left() + trayGeometry.right()) / 2,
                        (trayGeometry.top() + trayGeometry.bottom()) / 2);
    QScreen* screen = QGuiApplication::screenAt(m_ptAnchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    if (m_ptAnchor.y() < screenHeight - m_ptAnchor.y()) {
        m_nArrowAtBottom = 0;
        setContentsMargins(7, 18, 7, 6);
    } else {
        m_nArrowAtBottom = 1;
        setContentsMargins(7, 6, 7, 18);
    }
    QWidget::show();
    // A second opening with the same size gets no resize event, yet the icon
    // (and so the anchor) may have moved: place the panel every time.
    placeBesideAnchor(size());
    updateShape();
    raise();
}

int DShapedTrayPanel::arrowOffset(const QSize& size) const
{
    // The arrow's base stays clear of the rounded corners.
    const int lowest = 3 + CornerDiameter / 2 + ArrowHalfBase;
    const int highest = size.width() - lowest;
    const int offset = size.width() / 2 - m_nShift;
    return highest < lowest ? size.width() / 2 : qBound(lowest, offset, highest);
}

QPainterPath DShapedTrayPanel::outline(const QSize& size) const
{
    const int w = size.width();
    const int h = size.height();
    const int m = arrowOffset(size);
    const bool arrowOnTop = m_nArrowAtBottom == 0;
    const int top = arrowOnTop ? 14 : 3;
    const int bottom = arrowOnTop ? h - 3 : h - 15;
    const int left = 3;
    const int right = w - 3;
    const int d = CornerDiameter;
    const int r = d / 2;

    QPainterPath path;
    if (arrowOnTop) {
        path.moveTo(left + r, top);
        path.lineTo(m - ArrowHalfBase, top);
        path.lineTo(m, top - ArrowHeight);
        path.lineTo(m + ArrowHalfBase, top);
        path.lineTo(right - r, top);
        path.arcTo(QRectF(right - d, top, d, d), 90, -90);
        path.lineTo(right, bottom - r);
        path.arcTo(QRectF(right - d, bottom - d, d, d), 0, -90);
        path.lineTo(left + r, bottom);
        path.arcTo(QRectF(left, bottom - d, d, d), 270, -90);
        path.lineTo(left, top + r);
        path.arcTo(QRectF(left, top, d, d), 180, -90);
    } else {
        path.moveTo(left + r, bottom);
        path.lineTo(m - ArrowHalfBase, bottom);
        path.lineTo(m, bottom + ArrowHeight);
        path.lineTo(m + ArrowHalfBase, bottom);
        path.lineTo(right - r, bottom);
        path.arcTo(QRectF(right - d, bottom - d, d, d), 270, 90);
        path.lineTo(right, top + r);
        path.arcTo(QRectF(right - d, top, d, d), 0, 90);
        path.lineTo(left + r, top);
        path.arcTo(QRectF(left, top, d, d), 90, 90);
        path.lineTo(left, bottom - r);
        path.arcTo(QRectF(left, bottom - d, d, d), 180, 90);
    }
    path.closeSubpath();
    return path;
}

void DShapedTrayPanel::createBackground(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    const QPainterPath path = outline(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    painter.setBrush(QColor(50, 50, 50));
    painter.drawPath(path);
    painter.end();
    m_pixBackground = pixmap;
    m_nBackgroundArrowAtBottom = m_nArrowAtBottom;
    m_nBackgroundShift = m_nShift;
}

void DShapedTrayPanel::ensureBackground()
{
    if (m_pixBackground.size() != size() || m_nBackgroundArrowAtBottom != m_nArrowAtBottom
        || m_nBackgroundShift != m_nShift)
        createBackground(size());
}

void DShapedTrayPanel::updateShape()
{
    // A compositing manager blends the translucent edges over what lies
    // behind. Without one, every transparent pixel would show black: the
    // window then takes the shape of the frame's opaque pixels instead.
    if (DDesktopCompositor::current().isRunning()) {
        clearMask();
        return;
    }
    ensureBackground();
    // Pixels at least half covered belong to the shape.
    const QRegion shape(QBitmap::fromImage(m_pixBackground.toImage().createAlphaMask()));
    if (shape != mask())
        setMask(shape);
}

void DShapedTrayPanel::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    ensureBackground();
    QPainter painter(this);
    painter.drawPixmap(rect(), m_pixBackground);
}

void DShapedTrayPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeBesideAnchor(event->size());
    updateShape();
}

void DShapedTrayPanel::placeBesideAnchor(const QSize& size)
{
    const int centred = m_ptAnchor.x() + 1 - size.width() / 2;
    int x = centred;
    // A tray in a screen corner would push half the panel, buttons and all,
    // off the screen: keep it inside the screen that holds the icon, and let
    // the arrow move over to the icon instead.
    if (QScreen* screen = QGuiApplication::screenAt(m_ptAnchor)) {
        const QRect area = screen->geometry();
        x = qMax(area.left(), qMin(x, area.right() + 1 - size.width()));
    }
    if (x - centred != m_nShift) {
        m_nShift = x - centred;
        update();
    }
    const int y = m_nArrowAtBottom == 0 ? m_ptAnchor.y() + AnchorGap : m_ptAnchor.y() - AnchorGap - size.height();
    move(x, y);
}
