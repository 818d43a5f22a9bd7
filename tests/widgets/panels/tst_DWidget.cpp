#include <QtTest>

#include <QBoxLayout>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSettings>

#include "DCanvas.h"
#include "DConfig.h"
#include "DHelpBalloon.h"
#include "DWidget.h"
#include "DWidgetTools.h"

namespace {

const char* const kProbeVariable = "ZORVEL_BALLOON_PROBE";

double opacityOf(QWidget* widget)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void sendEnter(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget, &enter);
}

void sendLeave(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

QLabel* dontShowLink(DHelpBalloon* balloon)
{
    return balloon->findChild<QLabel*>(QStringLiteral("labelDontShowAgain"));
}

} // namespace

class tst_DWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void panelConstruction();
    void opacityLifeCycle();
    void showWithoutFade();
    void fadeInEndsAtNinetyPercent();
    void fadeOutHidesAtTheEnd();
    void hideTwiceRestartsTheFade();
    void hoverHoldsAFade();
    void subLayoutsAndWidgets();
    void resetEmptiesTheContent();
    void resetLayoutMovesTheWidgets();
    void widgetDeletedElsewhereLeavesThePanel();
    void toolPanel();

    void balloonConstruction();
    void balloonPlacement_data();
    void balloonPlacement();
    void balloonFadeTiming();
    void balloonShownAgainRestartsItsTiming();
    void balloonHoverHoldsItsFade();
    void dontShowAgainIsRemembered();
    void dontShowAgainSurvivesARestart();
    void titleWithASlashIsNested();

private:
    DCanvas* m_canvas = nullptr;
};

void tst_DWidget::initTestCase()
{
    QVERIFY(DConfig::_instance());
    QVERIFY(DConfig::_instance()->m_pSettings);
}

void tst_DWidget::cleanupTestCase()
{
    delete DConfig::_instance();
}

void tst_DWidget::init()
{
    m_canvas = new DCanvas;
    m_canvas->resize(600, 400);
    m_canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_canvas));
}

void tst_DWidget::cleanup()
{
    delete m_canvas;
    m_canvas = nullptr;
}

void tst_DWidget::panelConstruction()
{
    DWidget panel(m_canvas);
    QCOMPARE(panel.canvas(), m_canvas);
    QVERIFY(!panel.isVisible());
    QVERIFY(panel.isHidden());
    QVERIFY(!panel.autoFillBackground());
    QCOMPARE(panel.palette().color(QPalette::Window).alpha(), 0);
    QCOMPARE(panel.frame()->parentWidget(), static_cast<QWidget*>(&panel));
    QCOMPARE(panel.content()->parentWidget(), panel.frame());
    QCOMPARE(panel.frame()->layout()->contentsMargins(), QMargins(5, 5, 5, 5));
    QCOMPARE(panel.layout()->contentsMargins(), QMargins(3, 3, 3, 3));
    QCOMPARE(panel.layout()->spacing(), 3);
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(panel.frame()->graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->offset(), QPointF(0, 0));
    QCOMPARE(shadow->blurRadius(), 5.0);
    QVERIFY(!panel.animationFading());
    QVERIFY(!panel.graphicsEffect());

    panel.setDropShadow(false);
    QVERIFY(!panel.frame()->graphicsEffect());
    panel.setStyle(".QWidget{color: red;}");
    QCOMPARE(panel.content()->styleSheet(), QString(".QWidget{color: red;}"));
}

void tst_DWidget::opacityLifeCycle()
{
    DWidget panel(m_canvas);
    panel.setOpacity(0.5);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(panel.graphicsEffect());
    QVERIFY(effect);
    QCOMPARE(effect->opacity(), 0.5);
    QPropertyAnimation* fading = panel.animationFading();
    QVERIFY(fading);
    QCOMPARE(fading->targetObject(), static_cast<QObject*>(effect));
    QCOMPARE(fading->propertyName(), QByteArray("opacity"));
    QCOMPARE(fading->duration(), 400);
    QCOMPARE(fading->easingCurve().type(), QEasingCurve::InOutSine);

    panel.setOpacity(0.7);
    QCOMPARE(panel.animationFading(), fading);   // kept, same effect
    QCOMPARE(effect->opacity(), 0.7);

    QPointer<QGraphicsOpacityEffect> effectGuard(effect);
    QPointer<QPropertyAnimation> fadingGuard(fading);
    panel.setOpacity(1.0);
    QVERIFY(!panel.animationFading());
    QVERIFY(!panel.graphicsEffect());
    QVERIFY(!effectGuard);
    QVERIFY(!fadingGuard);
}

void tst_DWidget::showWithoutFade()
{
    DWidget fresh(m_canvas);
    fresh.show(false);
    QVERIFY(fresh.isVisible());
    QVERIFY(!fresh.graphicsEffect());            // fully opaque

    DWidget dimmed(m_canvas);
    dimmed.setOpacity(0.9);
    dimmed.show(false);
    QVERIFY(dimmed.isVisible());
    QCOMPARE(opacityOf(&dimmed), 0.9);
    QCOMPARE(dimmed.animationFading()->state(), QAbstractAnimation::Stopped);
}

void tst_DWidget::fadeInEndsAtNinetyPercent()
{
    DWidget panel(m_canvas);
    panel.show(true);
    QVERIFY(panel.isVisible());
    QPropertyAnimation* fading = panel.animationFading();
    QVERIFY(fading);
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->startValue().toDouble(), 0.0);
    QCOMPARE(fading->endValue().toDouble(), 0.9);
    QCOMPARE(opacityOf(&panel), 0.0);
    fading->setCurrentTime(fading->duration());
    QCOMPARE(fading->state(), QAbstractAnimation::Stopped);
    QCOMPARE(opacityOf(&panel), 0.9);
    QVERIFY(panel.isVisible());
}

void tst_DWidget::fadeOutHidesAtTheEnd()
{
    DWidget panel(m_canvas);
    panel.show(false);
    panel.hide(true);
    QPropertyAnimation* fading = panel.animationFading();
    QVERIFY(fading);
    QCOMPARE(fading->startValue().toDouble(), 0.9);
    QCOMPARE(fading->endValue().toDouble(), 0.0);
    QVERIFY(panel.isVisible());                 // until the fade ends
    fading->setCurrentTime(200);
    QVERIFY(opacityOf(&panel) < 0.9 && opacityOf(&panel) > 0.0);
    QVERIFY(panel.isVisible());
    fading->setCurrentTime(fading->duration());
    QVERIFY(!panel.isVisible());
    // Effect and animation stay for the next show.
    QVERIFY(panel.animationFading());
    QCOMPARE(opacityOf(&panel), 0.0);
    panel.show(true);
    QVERIFY(panel.isVisible());
    QCOMPARE(opacityOf(&panel), 0.0);
    QCOMPARE(panel.animationFading()->state(), QAbstractAnimation::Running);

    panel.hide(false);
    QVERIFY(!panel.isVisible());
}

void tst_DWidget::hideTwiceRestartsTheFade()
{
    DWidget panel(m_canvas);
    panel.show(false);
    panel.hide(true);
    QPropertyAnimation* fading = panel.animationFading();
    fading->setCurrentTime(300);
    QVERIFY(opacityOf(&panel) < 0.5);
    panel.hide(true);
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->currentTime(), 0);
    QCOMPARE(opacityOf(&panel), 0.9);
}

void tst_DWidget::hoverHoldsAFade()
{
    DWidget panel(m_canvas);
    panel.show(false);
    panel.hide(true);
    QPropertyAnimation* fading = panel.animationFading();
    fading->setCurrentTime(250);
    QVERIFY(opacityOf(&panel) < 0.9);

    sendEnter(&panel);
    QCOMPARE(fading->state(), QAbstractAnimation::Paused);
    QCOMPARE(opacityOf(&panel), 0.9);
    QCOMPARE(fading->currentTime(), 250);

    sendLeave(&panel);
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->currentTime(), 250);

    // Entering a panel that does not fade changes nothing.
    fading->stop();
    sendEnter(&panel);
    QCOMPARE(fading->state(), QAbstractAnimation::Stopped);
}

void tst_DWidget::subLayoutsAndWidgets()
{
    DWidget panel(m_canvas);
    QLabel* direct = new QLabel("direct");
    panel.addWidget(direct);
    QCOMPARE(direct->parentWidget(), panel.content());
    QVERIFY(panel.layout()->indexOf(direct) >= 0);
    QVERIFY(!direct->isHidden());

    QHBoxLayout* firstRow = new QHBoxLayout;
    QHBoxLayout* secondRow = new QHBoxLayout;
    panel.addSubLayout(firstRow);
    panel.addSubLayout(secondRow);
    QCOMPARE(firstRow->contentsMargins(), QMargins(3, 3, 3, 3));
    QCOMPARE(secondRow->contentsMargins(), QMargins(3, 0, 3, 3));
    QCOMPARE(firstRow->spacing(), 3);
    QCOMPARE(panel.subLayouts(), QList<QLayout*>({firstRow, secondRow}));

    QPushButton* button = new QPushButton("b");
    panel.addWidget(button);
    QVERIFY(secondRow->indexOf(button) >= 0);
    QVERIFY(firstRow->indexOf(button) < 0);
    QCOMPARE(panel.widgets(), QList<QWidget*>({direct, button}));
}

void tst_DWidget::resetEmptiesTheContent()
{
    DWidget panel(m_canvas);
    QLayout* own = panel.layout();
    QPointer<QLabel> label = new QLabel("x");
    panel.addWidget(label);
    QHBoxLayout* row = new QHBoxLayout;
    panel.addSubLayout(row);
    QPointer<QPushButton> button = new QPushButton("b");
    panel.addWidget(button);

    panel.reset();
    QVERIFY(!label);
    QVERIFY(!button);
    QVERIFY(panel.widgets().isEmpty());
    QVERIFY(panel.subLayouts().isEmpty());
    QCOMPARE(panel.layout(), own);
    QCOMPARE(own->count(), 0);
    // The panel takes new content afterwards.
    QLabel* again = new QLabel("again");
    panel.addWidget(again);
    QVERIFY(own->indexOf(again) >= 0);
}

void tst_DWidget::resetLayoutMovesTheWidgets()
{
    DWidget panel(m_canvas);
    QLabel* a = new QLabel("a");
    QLabel* b = new QLabel("b");
    panel.addWidget(a);
    panel.addSubLayout(new QHBoxLayout);
    panel.addWidget(b);
    QPointer<QLayout> old = panel.layout();

    QHBoxLayout* replacement = new QHBoxLayout;
    panel.resetLayout(replacement);
    QVERIFY(!old);
    QCOMPARE(panel.layout(), static_cast<QLayout*>(replacement));
    QCOMPARE(panel.content()->layout(), static_cast<QLayout*>(replacement));
    QVERIFY(panel.subLayouts().isEmpty());
    QCOMPARE(replacement->indexOf(a), 0);
    QCOMPARE(replacement->indexOf(b), 1);
}

void tst_DWidget::widgetDeletedElsewhereLeavesThePanel()
{
    DWidgetTools* tools = m_canvas->creatWidgetTools();
    QPushButton* gone = new QPushButton("gone");
    QPointer<QPushButton> kept = new QPushButton("kept");
    tools->addTool(gone);
    tools->addTool(kept);
    delete gone;    // by whoever made it
    QCOMPARE(tools->widgets(), QList<QWidget*>({kept.data()}));
    QCOMPARE(tools->tools(), QList<QWidget*>({kept.data()}));

    // A new layout takes the widgets that are left; reset() deletes only
    // those (a second delete of the first button would be fatal).
    QVBoxLayout* replacement = new QVBoxLayout;
    tools->resetLayout(replacement);
    QCOMPARE(replacement->count(), 1);
    // A parent and its child both listed: the child goes with its parent.
    QWidget* parent = new QWidget;
    QPointer<QLabel> child = new QLabel("child", parent);
    tools->addWidget(parent);
    tools->addWidget(child);
    child->setParent(parent);
    tools->reset();
    QVERIFY(!kept);
    QVERIFY(!child);
    QVERIFY(tools->widgets().isEmpty());
    QVERIFY(tools->tools().isEmpty());

    // Nothing to add is ignored.
    tools->addTool(nullptr);
    tools->addWidget(nullptr);
    tools->addSubLayout(nullptr);
    tools->resetLayout(nullptr);
    QVERIFY(tools->widgets().isEmpty());
    QVERIFY(tools->subLayouts().isEmpty());
    QCOMPARE(tools->layout(), static_cast<QLayout*>(replacement));
}

void tst_DWidget::toolPanel()
{
    DWidgetTools* tools = m_canvas->creatWidgetTools();
    QVERIFY(tools->content()->styleSheet().startsWith(".QWidget{border-radius: 3px;"));
    QVERIFY(tools->content()->styleSheet().contains("QGroupBox::title { subcontrol-origin: margin;}"));
    QVERIFY(qobject_cast<QGraphicsDropShadowEffect*>(tools->graphicsEffect()));
    QVERIFY(qobject_cast<QGraphicsDropShadowEffect*>(tools->frame()->graphicsEffect()));

    QPushButton* tool = new QPushButton("t");
    tools->addTool(tool);
    QCOMPARE(tools->tools(), QList<QWidget*>({tool}));
    QCOMPARE(tools->widgets(), QList<QWidget*>({tool}));

    // An opacity effect takes the panel's shadow's place; the frame's stays.
    tools->setOpacity(0.9);
    QVERIFY(qobject_cast<QGraphicsOpacityEffect*>(tools->graphicsEffect()));
    QVERIFY(qobject_cast<QGraphicsDropShadowEffect*>(tools->frame()->graphicsEffect()));

    QPointer<QPushButton> guard(tool);
    tools->reset();
    QVERIFY(tools->tools().isEmpty());
    QVERIFY(!guard);
}

void tst_DWidget::balloonConstruction()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    QVERIFY(!balloon->isVisible());
    QCOMPARE(balloon->layout()->contentsMargins(), QMargins(11, 11, 11, 11));
    const QList<QWidget*> parts = balloon->widgets();
    QCOMPARE(parts.count(), 4);
    QVERIFY(qobject_cast<QLabel*>(parts.at(0))->font().bold());
    QFrame* separator = qobject_cast<QFrame*>(parts.at(2));
    QVERIFY(separator);
    QCOMPARE(separator->frameShape(), QFrame::HLine);
    QCOMPARE(separator->frameShadow(), QFrame::Sunken);
    QLabel* link = dontShowLink(balloon);
    QCOMPARE(parts.at(3), static_cast<QWidget*>(link));
    QCOMPARE(link->text(), QString("<a href=\"0\">Don't Show me this Again.</a>"));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(balloon->content()->styleSheet().contains("border-color: #939393;\n"));
    QVERIFY(balloon->animationFading());
    QCOMPARE(opacityOf(balloon), 0.9);
}

void tst_DWidget::balloonPlacement_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("xRule");   // 0 left, 1 right, 2 centre
    QTest::addColumn<int>("yRule");   // 0 top, 1 bottom, 2 centre
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("right top") << int(Qt::AlignRight | Qt::AlignTop) << 1 << 0;
    QTest::newRow("left bottom") << int(Qt::AlignLeft | Qt::AlignBottom) << 0 << 1;
    QTest::newRow("centre") << int(Qt::AlignCenter) << 2 << 2;
    QTest::newRow("right bottom") << int(Qt::AlignRight | Qt::AlignBottom) << 1 << 1;
    QTest::newRow("hcentre top") << int(Qt::AlignHCenter | Qt::AlignTop) << 2 << 0;
}

void tst_DWidget::balloonPlacement()
{
    QFETCH(int, alignment);
    QFETCH(int, xRule);
    QFETCH(int, yRule);
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("Placement", "Where does it go?", Qt::Alignment(alignment));
    QVERIFY(balloon->isVisible());
    const int w = balloon->width();
    const int h = balloon->height();
    const int W = m_canvas->width();
    const int H = m_canvas->height();
    const int x = xRule == 0 ? 5 : xRule == 1 ? W - 5 - w : (W - w) / 2;
    const int y = yRule == 0 ? 5 : yRule == 1 ? H - 5 - h : (H - h) / 2;
    QCOMPARE(balloon->pos(), QPoint(x, y));
}

void tst_DWidget::balloonFadeTiming()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("Timing", "text", Qt::Alignment());
    QPropertyAnimation* fading = balloon->animationFading();
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->duration(), 5000);
    QCOMPARE(fading->startValue().toDouble(), 0.9);
    QCOMPARE(fading->endValue().toDouble(), 0.0);
    QCOMPARE(fading->keyValueAt(0.6).toDouble(), 0.9);
    QCOMPARE(opacityOf(balloon), 0.9);
    // It holds for the first part of the run, then fades out and hides itself.
    fading->setCurrentTime(2000);
    QCOMPARE(opacityOf(balloon), 0.9);
    fading->setCurrentTime(4000);
    QVERIFY(opacityOf(balloon) < 0.9);
    QVERIFY(balloon->isVisible());
    fading->setCurrentTime(5000);
    QVERIFY(!balloon->isVisible());
}

void tst_DWidget::balloonShownAgainRestartsItsTiming()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("First", "one", Qt::Alignment());
    QPropertyAnimation* fading = balloon->animationFading();
    fading->setCurrentTime(4500);
    QVERIFY(opacityOf(balloon) < 0.5);
    balloon->show("Second", "two", Qt::Alignment());
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->currentTime(), 0);
    QCOMPARE(opacityOf(balloon), 0.9);
    QCOMPARE(balloon->title(), QString("Second"));
    QCOMPARE(fading->duration(), 5000);
}

void tst_DWidget::balloonHoverHoldsItsFade()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("Hover", "text", Qt::Alignment());
    QPropertyAnimation* fading = balloon->animationFading();
    fading->setCurrentTime(4200);
    const double fadedTo = opacityOf(balloon);
    QVERIFY(fadedTo < 0.9);
    sendEnter(balloon);
    QCOMPARE(fading->state(), QAbstractAnimation::Paused);
    QCOMPARE(opacityOf(balloon), 0.9);
    sendLeave(balloon);
    QCOMPARE(fading->state(), QAbstractAnimation::Running);
    QCOMPARE(fading->currentTime(), 4200);
}

void tst_DWidget::dontShowAgainIsRemembered()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    QSettings* settings = DConfig::_instance()->m_pSettings;
    balloon->show("How To Select Window", "Click a window.", Qt::Alignment());
    QVERIFY(balloon->isVisible());
    // A click on the link itself.
    QLabel* link = dontShowLink(balloon);
    const QPoint onLink(5, link->height() / 2);
    QTest::mousePress(link, Qt::LeftButton, Qt::NoModifier, onLink);
    QTest::mouseRelease(link, Qt::LeftButton, Qt::NoModifier, onLink);
    QVERIFY(!balloon->isVisible());
    QCOMPARE(settings->value("ShowBalloon/How To Select Window", true).toBool(), false);

    balloon->show("How To Select Window", "Click a window.", Qt::Alignment());
    QVERIFY(!balloon->isVisible());
    // Other titles still show.
    balloon->show("Another Title", "text", Qt::Alignment());
    QVERIFY(balloon->isVisible());
}

void tst_DWidget::dontShowAgainSurvivesARestart()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("Restart Title", "text", Qt::Alignment());
    emit dontShowLink(balloon)->linkActivated("0");
    DConfig::_instance()->m_pSettings->sync();

    // A new process reads the settings file back (as text) and asks again.
    auto probe = [](const QString& title) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kProbeVariable, title);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        if (!child.waitForFinished(30000))
            return QString("timeout");
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    };
    QCOMPARE(probe("Restart Title"), QString("hidden"));
    QCOMPARE(probe("Never Dismissed"), QString("shown"));
}

void tst_DWidget::titleWithASlashIsNested()
{
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    balloon->show("Tools/Line", "text", Qt::Alignment());
    emit dontShowLink(balloon)->linkActivated("0");
    QSettings* settings = DConfig::_instance()->m_pSettings;
    settings->beginGroup("ShowBalloon");
    QVERIFY(settings->childGroups().contains("Tools"));
    settings->beginGroup("Tools");
    QCOMPARE(settings->value("Line", true).toBool(), false);
    settings->endGroup();
    settings->endGroup();
}

// Run as a child with the probe variable set: shows the balloon of that
// title on a fresh canvas and prints whether it appeared.
static int runBalloonProbe(int argc, char** argv)
{
    QApplication app(argc, argv);
    DCanvas canvas;
    canvas.show();
    canvas.showBalloon(QString::fromUtf8(qgetenv(kProbeVariable)), "text", Qt::Alignment());
    fputs(canvas.helpBalloon()->isVisible() ? "shown\n" : "hidden\n", stdout);
    delete DConfig::_instance();
    return 0;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kProbeVariable))
        return runBalloonProbe(argc, argv);
    QApplication app(argc, argv);
    tst_DWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DWidget.moc"
