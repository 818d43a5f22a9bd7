// The tray icon's menu and instant-panel poll, and the panel's shape, size and
// placement, driven offscreen through the poll with given pointer positions.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainterPath>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "DConfig.h"
#include "DFakeDesktopCompositor.h"
#include "DMainWindowStandIn.h"
#include "DShapedTrayPanel.h"
#include "DSystemTrayIcon.h"

Q_DECLARE_METATYPE(QMargins)

class tst_DSystemTrayIcon : public QObject
{
    Q_OBJECT

private:
    QStringList visibleEntries(QMenu* menu) const;
    QSettings* settings() { return DConfig::_instance()->m_pSettings; }

    QTemporaryDir m_dir;
    // An icon geometry in the upper half and one in the lower half of the 800 x 600 screen.
    const QRect m_rcTopIcon = QRect(600, 0, 24, 24);
    const QRect m_rcBottomIcon = QRect(400, 576, 24, 24);

private slots:
    void initTestCase();
    void init();
    void menuHasShowHideAndExit();
    void menuFollowsTheWindow();
    void exitQuitsTheApplication();
    void addedEntriesSitBetweenTheirSeparators();
    void addedEntryCallsItsSlot();
    void showMainWindowRestoresAMinimisedWindow();
    void doubleClickShowsTheWindow();
    void hoverOpensAndLeavingClosesThePanel();
    void gapBetweenIconAndPanelKeepsItOpen();
    void settingOffKeepsThePanelShut();
    void openMenuKeepsThePanelShut();
    void clickKeepsThePanelShutUntilThePointerLeaves();
    void panelButtonsHideThePanelBeforeTheAction();
    void panelSizeWithFourButtons();
    void panelSide_data();
    void panelSide();
    void panelMovesWithTheIconWithoutAResize();
    void backgroundFollowsTheSide();
    void outlineTipPositions();
    void panelStaysOnTheScreen_data();
    void panelStaysOnTheScreen();
    void panelTakesTheFrameAsShapeWithoutACompositor();
    void panelStaysRectangularUnderACompositor();
};

QStringList tst_DSystemTrayIcon::visibleEntries(QMenu* menu) const
{
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible())
            continue;
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return entries;
}

void tst_DSystemTrayIcon::initTestCase()
{
    QVERIFY(m_dir.isValid());
    delete DConfig::_instance()->m_pSettings;
    DConfig::_instance()->m_pSettings = new QSettings(m_dir.filePath("tray.ini"), QSettings::IniFormat);
}

void tst_DSystemTrayIcon::init()
{
    settings()->clear();
}

void tst_DSystemTrayIcon::menuHasShowHideAndExit()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    QCOMPARE(tray.parent(), &window);
    QCOMPARE(tray.contextMenu(), tray.menu());
    QCOMPARE(visibleEntries(tray.menu()),
             (QStringList{QStringLiteral("&Show Main Window"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    QCOMPARE(tray.menu()->actions().size(), 4);
    QCOMPARE(tray.menu()->actions().at(1)->text(), QStringLiteral("&Hide Main Window"));
    QVERIFY(tray.panel());
    QCOMPARE(tray.panel()->owner(), &window);
    QVERIFY(tray.panel()->isWindow());
    QVERIFY(!tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::menuFollowsTheWindow()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    QVERIFY(tray.showAction()->isVisible());
    QVERIFY(!tray.hideAction()->isVisible());
    window.show();
    QVERIFY(!tray.showAction()->isVisible());
    QVERIFY(tray.hideAction()->isVisible());
    tray.hideAction()->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(tray.showAction()->isVisible());
    QVERIFY(!tray.hideAction()->isVisible());
    tray.showAction()->trigger();
    QVERIFY(window.isVisible());
    QVERIFY(tray.hideAction()->isVisible());

    // Built while the window is already on screen, the menu offers to hide it.
    DSystemTrayIcon second(&window, QIcon());
    QVERIFY(!second.showAction()->isVisible());
    QVERIFY(second.hideAction()->isVisible());
}

void tst_DSystemTrayIcon::exitQuitsTheApplication()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    QAction* exit = tray.menu()->actions().last();
    QCOMPARE(exit->text(), QStringLiteral("E&xit"));
    QVERIFY(!exit->icon().pixmap(16, 16).isNull());
    QTimer::singleShot(0, exit, &QAction::trigger);
    // Guards against an entry that does not quit.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void tst_DSystemTrayIcon::addedEntriesSitBetweenTheirSeparators()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.addAction(QIcon(), QStringLiteral("First"), &window, SLOT(onCapture()), QKeySequence());
    QCOMPARE(visibleEntries(tray.menu()),
             (QStringList{QStringLiteral("&Show Main Window"), QStringLiteral("-"), QStringLiteral("First"),
                          QStringLiteral("-"), QStringLiteral("E&xit")}));
    tray.addAction(QStringLiteral("Second"), &window, SLOT(onCapture()), QKeySequence(Qt::Key_F9));
    QCOMPARE(visibleEntries(tray.menu()),
             (QStringList{QStringLiteral("&Show Main Window"), QStringLiteral("-"), QStringLiteral("First"),
                          QStringLiteral("Second"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    QCOMPARE(tray.menu()->actions().at(4)->shortcut(), QKeySequence(Qt::Key_F9));
}

void tst_DSystemTrayIcon::addedEntryCallsItsSlot()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    QAction* action = tray.addAction(QIcon(), QStringLiteral("Capture"), &window, SLOT(onCapture()), QKeySequence());
    QCOMPARE(action->parent(), tray.menu());
    action->trigger();
    QCOMPARE(window.m_nTriggered, 1);
}

void tst_DSystemTrayIcon::showMainWindowRestoresAMinimisedWindow()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    window.showMinimized();
    QVERIFY(window.isMinimized());
    tray.onShowMainWindow();
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
}

void tst_DSystemTrayIcon::doubleClickShowsTheWindow()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.onActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!window.isVisible());
    QVERIFY(tray.isPanelSuppressed());
    tray.onActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(window.isVisible());
}

void tst_DSystemTrayIcon::hoverOpensAndLeavingClosesThePanel()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.panel()->addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
    tray.pollInstantPanel(QPoint(10, 300), m_rcTopIcon);
    QVERIFY(!tray.panel()->isVisible());
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
    QCOMPARE(tray.hotRect(), m_rcTopIcon.united(tray.panel()->frameGeometry()));
    // Still on the icon: stays open.
    tray.pollInstantPanel(m_rcTopIcon.topLeft(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
    // On the panel itself: stays open.
    tray.pollInstantPanel(tray.panel()->frameGeometry().center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
    // Away: closes.
    tray.pollInstantPanel(QPoint(10, 300), m_rcTopIcon);
    QVERIFY(!tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::gapBetweenIconAndPanelKeepsItOpen()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.panel()->addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
    // A flat icon: the panel opens 13 px below its centre, below its lower edge.
    const QRect icon(700, 0, 24, 16);
    tray.pollInstantPanel(icon.center(), icon);
    QVERIFY(tray.panel()->isVisible());
    const QRect panel = tray.panel()->frameGeometry();
    QVERIFY(panel.top() > icon.bottom() + 1);
    const QPoint gap(icon.center().x(), icon.bottom() + 1);
    QVERIFY(!icon.contains(gap) && !panel.contains(gap));
    tray.pollInstantPanel(gap, icon);
    QVERIFY(tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::settingOffKeepsThePanelShut()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    settings()->setValue(QStringLiteral("ShowTrayInstantMenu"), false);
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(!tray.panel()->isVisible());
    // Turned on again, the next tick opens it: no restart needed.
    settings()->setValue(QStringLiteral("ShowTrayInstantMenu"), true);
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::openMenuKeepsThePanelShut()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.menu()->popup(QPoint(100, 100));
    QVERIFY(tray.menu()->isVisible());
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(!tray.panel()->isVisible());
    tray.menu()->hide();
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::clickKeepsThePanelShutUntilThePointerLeaves()
{
    MainWindowStandIn window;
    DSystemTrayIcon tray(&window, QIcon());
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
    tray.onActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!tray.panel()->isVisible());
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(!tray.panel()->isVisible());
    tray.pollInstantPanel(QPoint(10, 300), m_rcTopIcon);
    QVERIFY(!tray.isPanelSuppressed());
    tray.pollInstantPanel(m_rcTopIcon.center(), m_rcTopIcon);
    QVERIFY(tray.panel()->isVisible());
}

void tst_DSystemTrayIcon::panelButtonsHideThePanelBeforeTheAction()
{
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    bool panelVisibleWhenCalled = true;
    QToolButton* button = panel.addButton(QIcon(), QStringLiteral("Capture Window"), &window, SLOT(onCapture()));
    connect(button, &QToolButton::clicked, [&] { panelVisibleWhenCalled = panel.isVisible(); });
    QCOMPARE(button->text(), QStringLiteral("Capture Window"));
    QCOMPARE(button->toolTip(), QStringLiteral("Capture Window"));
    QCOMPARE(button->size(), QSize(40, 40));
    QCOMPARE(button->iconSize(), QSize(32, 32));
    QVERIFY(button->autoRaise());
    QVERIFY(button->styleSheet().contains(QStringLiteral("border-radius: 3px;")));
    panel.show(m_rcTopIcon);
    QVERIFY(panel.isVisible());
    button->click();
    QVERIFY(!panel.isVisible());
    QVERIFY(!panelVisibleWhenCalled);
    QCOMPARE(window.m_nTriggered, 1);
}

void tst_DSystemTrayIcon::panelSizeWithFourButtons()
{
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    for (int i = 0; i < 4; ++i)
        panel.addButton(QIcon(), QString::number(i), &window, SLOT(onCapture()));
    panel.show(m_rcTopIcon);
    QCOMPARE(panel.sizeHint(), QSize(189, 70));
    QCOMPARE(panel.size(), QSize(189, 70));
    // Opacity is kept in 8 bits.
    QVERIFY(qAbs(panel.windowOpacity() - 0.9) < 0.01);
    QVERIFY(panel.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(panel.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(panel.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(panel.windowFlags() & Qt::X11BypassWindowManagerHint);
}

void tst_DSystemTrayIcon::panelSide_data()
{
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<bool>("arrowAtBottom");
    QTest::addColumn<QMargins>("margins");
    QTest::newRow("upper half: below the icon") << m_rcTopIcon << false << QMargins(7, 18, 7, 6);
    QTest::newRow("lower half: above the icon") << m_rcBottomIcon << true << QMargins(7, 6, 7, 18);
    QTest::newRow("middle line: above the icon") << QRect(100, 289, 24, 24) << true << QMargins(7, 6, 7, 18);
}

void tst_DSystemTrayIcon::panelSide()
{
    QFETCH(QRect, icon);
    QFETCH(bool, arrowAtBottom);
    QFETCH(QMargins, margins);
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    for (int i = 0; i < 4; ++i)
        panel.addButton(QIcon(), QString::number(i), &window, SLOT(onCapture()));
    panel.show(icon);
    const QPoint anchor((icon.left() + icon.right()) / 2, (icon.top() + icon.bottom()) / 2);
    QCOMPARE(panel.anchor(), anchor);
    QCOMPARE(panel.isArrowAtBottom(), arrowAtBottom);
    QCOMPARE(panel.contentsMargins(), margins);
    const int expectedY = arrowAtBottom ? anchor.y() - 13 - panel.height() : anchor.y() + 13;
    QCOMPARE(panel.pos(), QPoint(anchor.x() + 1 - panel.width() / 2, expectedY));
    QVERIFY(QRect(0, 0, 800, 600).contains(panel.frameGeometry()));
}

void tst_DSystemTrayIcon::panelMovesWithTheIconWithoutAResize()
{
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    panel.addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
    panel.show(m_rcTopIcon);
    const QSize size = panel.size();
    panel.hide();
    // Same side, so the same size and no resize event: still placed by the icon.
    const QRect moved = m_rcTopIcon.translated(-300, 0);
    panel.show(moved);
    QCOMPARE(panel.size(), size);
    QCOMPARE(panel.pos().x(), moved.center().x() + 1 - size.width() / 2);
    // A change of side keeps the size too (the margins swap), and is placed anew.
    panel.hide();
    panel.show(m_rcBottomIcon);
    QCOMPARE(panel.size(), size);
    QCOMPARE(panel.pos().y(), (m_rcBottomIcon.top() + m_rcBottomIcon.bottom()) / 2 - 13 - size.height());
}

void tst_DSystemTrayIcon::backgroundFollowsTheSide()
{
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    panel.addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
    auto paint = [&panel] {
        QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        panel.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    };
    // Beside the arrow's base, near the upper edge: empty when the arrow is on
    // top (the box starts lower), dark box when the arrow is at the bottom.
    panel.show(m_rcTopIcon);
    const QPoint probe(panel.width() / 2 - 20, 7);
    QImage image = paint();
    QCOMPARE(qAlpha(image.pixel(probe)), 0);
    const QPoint tipSide(panel.width() / 2, 8);
    QVERIFY(qAlpha(image.pixel(tipSide)) > 200);
    panel.hide();
    panel.show(m_rcBottomIcon);
    image = paint();
    QVERIFY(qAlpha(image.pixel(probe)) > 200);
    QCOMPARE(QColor(image.pixel(probe)).rgb(), QColor(50, 50, 50).rgb());
}

void tst_DSystemTrayIcon::outlineTipPositions()
{
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    const QSize size(189, 70);
    panel.show(m_rcTopIcon);
    QRectF bounds = panel.outline(size).boundingRect();
    QCOMPARE(bounds.top(), 2.0);
    QCOMPARE(bounds.bottom(), 67.0);
    QCOMPARE(bounds.left(), 3.0);
    QCOMPARE(bounds.right(), 186.0);
    panel.show(m_rcBottomIcon);
    bounds = panel.outline(size).boundingRect();
    QCOMPARE(bounds.top(), 3.0);
    QCOMPARE(bounds.bottom(), 67.0);
    QVERIFY(panel.outline(size).contains(QPointF(94, 64)));
    QVERIFY(!panel.outline(size).contains(QPointF(60, 64)));
}

void tst_DSystemTrayIcon::panelStaysOnTheScreen_data()
{
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<int>("x");
    QTest::newRow("top right corner") << QRect(776, 0, 24, 24) << 800 - 189;
    QTest::newRow("bottom left corner") << QRect(0, 576, 24, 24) << 0;
}

void tst_DSystemTrayIcon::panelStaysOnTheScreen()
{
    QFETCH(QRect, icon);
    QFETCH(int, x);
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    for (int i = 0; i < 4; ++i)
        panel.addButton(QIcon(), QString::number(i), &window, SLOT(onCapture()));
    panel.show(icon);
    QCOMPARE(panel.pos().x(), x);
    QVERIFY(QRect(0, 0, 800, 600).contains(panel.frameGeometry()));
    // The arrow moves over towards the icon, as far as the corners allow.
    const int anchorX = (icon.left() + icon.right()) / 2;
    const int tip = panel.arrowOffset(panel.size());
    QCOMPARE(tip, qBound(22, anchorX + 1 - x, 189 - 22));
    QVERIFY(tip != 189 / 2);
    const QRectF bounds = panel.outline(panel.size()).boundingRect();
    // A point inside the arrow, just short of its tip.
    const qreal nearTip = panel.isArrowAtBottom() ? bounds.bottom() - 3 : bounds.top() + 3;
    QVERIFY(panel.outline(panel.size()).contains(QPointF(tip, nearTip)));
    QVERIFY(!panel.outline(panel.size()).contains(QPointF(189 / 2, nearTip)));
    // Back in the middle of the screen, the arrow is in the middle again.
    panel.hide();
    panel.show(QRect(300, 0, 24, 24));
    QCOMPARE(panel.arrowOffset(panel.size()), 189 / 2);
}

// Without a compositing manager the transparent corners would show black: the
// window's shape is the frame itself, and follows the side of the arrow.
void tst_DSystemTrayIcon::panelTakesTheFrameAsShapeWithoutACompositor()
{
    DFakeDesktopCompositor compositor(false);
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    for (int i = 0; i < 4; ++i)
        panel.addButton(QIcon(), QString::number(i), &window, SLOT(onCapture()));
    panel.show(m_rcTopIcon);
    const int w = panel.width();
    const int h = panel.height();
    QRegion shape = panel.mask();
    for (const QPoint& corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1),
                                 QPoint(3, 14), QPoint(w - 4, h - 4)})
        QVERIFY2(!shape.contains(corner), qPrintable(QString("%1,%2").arg(corner.x()).arg(corner.y())));
    // The body, its rim, and the arrow up to near its tip belong to it.
    QVERIFY(shape.contains(QPoint(w / 2, h / 2)));
    QVERIFY(shape.contains(QPoint(3, h / 2)));
    QVERIFY(shape.contains(QPoint(w / 2, 5)));
    // Beside the arrow, above the box: nothing.
    QVERIFY(!shape.contains(QPoint(w / 2 - 20, 7)));
    // Every pixel drawn at least half opaque is inside, every clear one outside.
    const QImage image = panel.grab().toImage();
    QCOMPARE(image.size(), panel.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (alpha == 0 || alpha == 255)
                QVERIFY2(shape.contains(QPoint(x, y)) == (alpha == 255), qPrintable(QString("%1,%2").arg(x).arg(y)));
        }
    }

    // Opened above an icon at the bottom, the box reaches up to the top edge.
    panel.hide();
    panel.show(m_rcBottomIcon);
    shape = panel.mask();
    QVERIFY(shape.contains(QPoint(w / 2 - 20, 7)));
    QVERIFY(!shape.contains(QPoint(w / 2 - 20, h - 7)));
    QVERIFY(shape.contains(QPoint(w / 2, h - 5)));
}

// A compositing manager shows the translucent edges as drawn: no shape cuts them.
void tst_DSystemTrayIcon::panelStaysRectangularUnderACompositor()
{
    DFakeDesktopCompositor compositor(true);
    MainWindowStandIn window;
    DShapedTrayPanel panel(&window);
    panel.addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
    panel.show(m_rcTopIcon);
    QVERIFY(panel.mask().isEmpty());
    // A compositing manager that goes away while the panel is shut: the next
    // opening takes the shape.
    panel.hide();
    compositor.running = false;
    panel.show(m_rcTopIcon);
    QVERIFY(!panel.mask().isEmpty());
    panel.hide();
    compositor.running = true;
    panel.show(m_rcTopIcon);
    QVERIFY(panel.mask().isEmpty());
}

QTEST_MAIN(tst_DSystemTrayIcon)
#include "tst_DSystemTrayIcon.moc"
