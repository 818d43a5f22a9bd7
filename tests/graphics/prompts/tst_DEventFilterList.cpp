#include <QtTest>

#include <QFocusEvent>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QPointer>

#include "DCanvas.h"
#include "DEventFilter.h"
#include "DEventFilterList.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"

namespace {

// Records what it is offered into a shared log and consumes what it is told to.
class RecordingFilter : public DEventFilter
{
    Q_OBJECT
public:
    RecordingFilter(const QString& name, int priority, QStringList* log)
        : m_name(name), m_log(log)
    {
        setPriority(priority);
    }

    bool eventFilter(QEvent* event) override
    {
        if (m_log)
            m_log->append(m_name);
        offered.append(event->type());
        if (onEvent)
            return onEvent(this, event);
        return consumed.contains(event->type());
    }
    void onStart() override { ++started; }
    void onRemoved() override
    {
        ++removed;
        if (removedLog)
            removedLog->append(m_name);
    }

    QString m_name;
    QStringList* m_log;
    QList<QEvent::Type> consumed;
    QList<QEvent::Type> offered;
    std::function<bool(RecordingFilter*, QEvent*)> onEvent;
    QStringList* removedLog = nullptr;
    int started = 0;
    int removed = 0;
};

class DerivedFilter : public RecordingFilter
{
    Q_OBJECT
public:
    using RecordingFilter::RecordingFilter;
};

class OtherFilter : public DEventFilter
{
    Q_OBJECT
public:
    bool eventFilter(QEvent*) override { return false; }
};

// An item of the scene's own that counts the presses it gets.
class PressCounter : public QGraphicsRectItem
{
public:
    PressCounter() : QGraphicsRectItem(0, 0, 100, 100) {}
    int presses = 0;
protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
};

QStringList names(const DEventFilterList& list)
{
    QStringList result;
    for (const DEventFilterPointer& entry : list) {
        if (auto* f = qobject_cast<RecordingFilter*>(entry.data()))
            result.append(f->m_name);
        else
            result.append(entry ? QStringLiteral("?") : QStringLiteral("null"));
    }
    return result;
}

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_DEventFilterList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startPutsFilterInSceneList();
    void mapToSceneUsesTheCanvasView();
    void orderByPriorityNewestFirst();
    void consumedPressReachesNeitherLaterFiltersNorScene();
    void unconsumedPressReachesLaterFiltersAndScene();
    void inactiveFilterIsSkippedButStillRemoved();
    void allowedEvents_data();
    void allowedEvents();
    void sceneWithoutViewOffersNothing();
    void removeByTypeTakesDerivedClassesOnly();
    void removeTwiceTellsAndDeletesOnce();
    void removeUnlistedFilterDoesNothing();
    void clearRemovesEveryFilterLastFirst();
    void destroyedFilterIsNeverDereferenced();
    void filterDeletedWhileConsumingEndsDispatchSafely();
    void filterDeletingALaterOneSkipsIt();
    void filterRemovingItselfKeepsDispatchGoing();

private:
    void sendPress(const QPoint& pos);

    DCanvas* m_canvas = nullptr;
    QStringList m_log;
};

void tst_DEventFilterList::init()
{
    m_log.clear();
    m_canvas = new DCanvas;
    m_canvas->resize(400, 300);
    m_canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_canvas));
}

void tst_DEventFilterList::cleanup()
{
    delete m_canvas;
    m_canvas = nullptr;
    flushDeferredDeletes();
}

void tst_DEventFilterList::sendPress(const QPoint& pos)
{
    QWidget* viewport = m_canvas->view()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, pos);
}

void tst_DEventFilterList::startPutsFilterInSceneList()
{
    QPointer<RecordingFilter> filter = new RecordingFilter("a", 2, &m_log);
    filter->start(m_canvas);
    QCOMPARE(filter->scene(), m_canvas->scene());
    QCOMPARE(filter->canvas(), m_canvas);
    QCOMPARE(filter->started, 1);
    QCOMPARE(m_canvas->scene()->eventFilterList().count(), 1);
    QCOMPARE(m_canvas->scene()->eventFilterList().first().data(), filter.data());
}

void tst_DEventFilterList::mapToSceneUsesTheCanvasView()
{
    m_canvas->view()->setScale(2.0);
    RecordingFilter* filter = new RecordingFilter("a", 2, &m_log);
    filter->start(m_canvas);
    const QPoint point(30, 40);
    QCOMPARE(filter->mapToScene(point), m_canvas->view()->mapToScene(point));
    QVERIFY(filter->mapToScene(QPoint(0, 0)) != filter->mapToScene(QPoint(10, 0)));
}

void tst_DEventFilterList::orderByPriorityNewestFirst()
{
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    (new RecordingFilter("A", 2, &m_log))->start(m_canvas);
    (new RecordingFilter("B", 0, &m_log))->start(m_canvas);
    QCOMPARE(names(list), QStringList({"B", "A"}));
    (new RecordingFilter("C", 0, &m_log))->start(m_canvas);
    QCOMPARE(names(list), QStringList({"C", "B", "A"}));
    (new RecordingFilter("D", 2, &m_log))->start(m_canvas);
    QCOMPARE(names(list), QStringList({"C", "B", "D", "A"}));

    // Dispatch follows the same order.
    sendPress(QPoint(50, 50));
    QCOMPARE(m_log.mid(0, 4), QStringList({"C", "B", "D", "A"}));
}

void tst_DEventFilterList::consumedPressReachesNeitherLaterFiltersNorScene()
{
    PressCounter* item = new PressCounter;
    m_canvas->scene()->addItem(item);
    RecordingFilter* first = new RecordingFilter("first", 0, &m_log);
    first->consumed << QEvent::GraphicsSceneMousePress;
    RecordingFilter* second = new RecordingFilter("second", 2, &m_log);
    first->start(m_canvas);
    second->start(m_canvas);

    const QPoint onItem = m_canvas->view()->mapFromScene(QPointF(50, 50));
    sendPress(onItem);
    QCOMPARE(item->presses, 0);
    QVERIFY(first->offered.contains(QEvent::GraphicsSceneMousePress));
    QVERIFY(!second->offered.contains(QEvent::GraphicsSceneMousePress));
    // The release was not consumed: both saw it.
    QVERIFY(second->offered.contains(QEvent::GraphicsSceneMouseRelease));
}

void tst_DEventFilterList::unconsumedPressReachesLaterFiltersAndScene()
{
    PressCounter* item = new PressCounter;
    m_canvas->scene()->addItem(item);
    RecordingFilter* first = new RecordingFilter("first", 0, &m_log);
    RecordingFilter* second = new RecordingFilter("second", 2, &m_log);
    first->start(m_canvas);
    second->start(m_canvas);

    sendPress(m_canvas->view()->mapFromScene(QPointF(50, 50)));
    QCOMPARE(item->presses, 1);
    QVERIFY(first->offered.contains(QEvent::GraphicsSceneMousePress));
    QVERIFY(second->offered.contains(QEvent::GraphicsSceneMousePress));
}

void tst_DEventFilterList::inactiveFilterIsSkippedButStillRemoved()
{
    QPointer<RecordingFilter> sleeping = new RecordingFilter("sleeping", 0, &m_log);
    sleeping->setActive(false);
    sleeping->start(m_canvas);
    RecordingFilter* awake = new RecordingFilter("awake", 2, &m_log);
    awake->start(m_canvas);

    sendPress(QPoint(10, 10));
    QVERIFY(sleeping->offered.isEmpty());
    QVERIFY(!awake->offered.isEmpty());
    QCOMPARE(m_canvas->scene()->eventFilterList().count(), 2);

    m_canvas->scene()->removeEventFilter(sleeping.data());
    QCOMPARE(sleeping->removed, 1);
    QVERIFY(sleeping);          // deleted later, not at once
    flushDeferredDeletes();
    QVERIFY(!sleeping);
}

void tst_DEventFilterList::allowedEvents_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("offered");
    QTest::newRow("key press 6") << int(QEvent::KeyPress) << true;
    QTest::newRow("key release 7") << int(QEvent::KeyRelease) << true;
    QTest::newRow("scene mouse press 156") << int(QEvent::GraphicsSceneMousePress) << true;
    QTest::newRow("scene wheel 168") << int(QEvent::GraphicsSceneWheel) << true;
    QTest::newRow("focus in 8") << int(QEvent::FocusIn) << false;
    QTest::newRow("shortcut override 51") << int(QEvent::ShortcutOverride) << false;
    QTest::newRow("mouse move 5") << int(QEvent::MouseMove) << false;
    QTest::newRow("154") << 154 << false;
    QTest::newRow("169") << 169 << false;
}

void tst_DEventFilterList::allowedEvents()
{
    QFETCH(int, type);
    QFETCH(bool, offered);
    RecordingFilter* filter = new RecordingFilter("f", 2, &m_log);
    filter->consumed << QEvent::Type(type);
    filter->start(m_canvas);

    QEvent event(static_cast<QEvent::Type>(type));
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    QCOMPARE(list.eventFilter(m_canvas->scene(), &event), offered);
    QCOMPARE(filter->offered.contains(QEvent::Type(type)), offered);
}

void tst_DEventFilterList::sceneWithoutViewOffersNothing()
{
    DGraphicsScene scene;
    DEventFilterList& list = scene.eventFilterList();
    RecordingFilter* filter = new RecordingFilter("f", 2, &m_log);
    filter->consumed << QEvent::KeyPress << QEvent::GraphicsSceneMousePress;
    list.add(filter);
    QEvent key(QEvent::KeyPress);
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    QVERIFY(!list.eventFilter(&scene, &key));
    QVERIFY(!list.eventFilter(&scene, &press));
    QVERIFY(filter->offered.isEmpty());
}

void tst_DEventFilterList::removeByTypeTakesDerivedClassesOnly()
{
    QPointer<RecordingFilter> base = new RecordingFilter("base", 2, &m_log);
    QPointer<DerivedFilter> derived = new DerivedFilter("derived", 0, &m_log);
    QPointer<OtherFilter> other = new OtherFilter;
    base->start(m_canvas);
    derived->start(m_canvas);
    other->start(m_canvas);

    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    list.removeByType(&RecordingFilter::staticMetaObject);
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.first().data(), static_cast<DEventFilter*>(other.data()));
    QCOMPARE(base->removed, 1);
    QCOMPARE(derived->removed, 1);
    flushDeferredDeletes();
    QVERIFY(!base);
    QVERIFY(!derived);
    QVERIFY(other);
}

void tst_DEventFilterList::removeTwiceTellsAndDeletesOnce()
{
    QPointer<RecordingFilter> filter = new RecordingFilter("f", 2, &m_log);
    filter->start(m_canvas);
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    QVERIFY(list.remove(filter));
    QVERIFY(!list.remove(filter));
    QCOMPARE(filter->removed, 1);
    flushDeferredDeletes();
    QVERIFY(!filter);
}

void tst_DEventFilterList::removeUnlistedFilterDoesNothing()
{
    RecordingFilter filter("f", 2, &m_log);
    QVERIFY(!m_canvas->scene()->eventFilterList().remove(&filter));
    QCOMPARE(filter.removed, 0);
    flushDeferredDeletes();   // a deleteLater() would crash on this stack object
}

void tst_DEventFilterList::clearRemovesEveryFilterLastFirst()
{
    QStringList removedOrder;
    QPointer<RecordingFilter> a = new RecordingFilter("a", 0, &m_log);
    QPointer<RecordingFilter> b = new RecordingFilter("b", 2, &m_log);
    for (RecordingFilter* f : {a.data(), b.data()}) {
        f->removedLog = &removedOrder;
        f->start(m_canvas);
    }
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    list.clear();
    QVERIFY(list.isEmpty());
    QCOMPARE(removedOrder, QStringList({"b", "a"}));
    QVERIFY(a && b);
    flushDeferredDeletes();
    QVERIFY(!a);
    QVERIFY(!b);
}

void tst_DEventFilterList::destroyedFilterIsNeverDereferenced()
{
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    RecordingFilter* gone = new RecordingFilter("gone", 0, &m_log);
    gone->start(m_canvas);
    RecordingFilter* kept = new RecordingFilter("kept", 2, &m_log);
    kept->start(m_canvas);
    delete gone;   // destroyed behind the list's back

    sendPress(QPoint(10, 10));   // dispatch skips the null entry
    QVERIFY(!kept->offered.isEmpty());
    QVERIFY(!m_log.contains("gone"));

    // Ordering and casting drop the null entry first.
    (new RecordingFilter("new", 1, &m_log))->start(m_canvas);
    QCOMPARE(names(list), QStringList({"new", "kept"}));
    RecordingFilter* gone2 = new RecordingFilter("gone2", 0, &m_log);
    gone2->start(m_canvas);
    delete gone2;
    list.removeByType(&OtherFilter::staticMetaObject);
    QCOMPARE(names(list), QStringList({"new", "kept"}));

    // Comparing with a destroyed entry never reaches through it.
    const DEventFilterPointer none;
    const DEventFilterPointer live(kept);
    QVERIFY(live < none);
    QVERIFY(!(none < live));
    QVERIFY(!(none < none));
}

void tst_DEventFilterList::filterDeletedWhileConsumingEndsDispatchSafely()
{
    // As if the filter had been deleted in a nested event loop it started.
    RecordingFilter* doomed = new RecordingFilter("doomed", 0, &m_log);
    doomed->onEvent = [](RecordingFilter* self, QEvent* event) {
        if (event->type() != QEvent::GraphicsSceneMousePress)
            return false;
        delete self;
        return true;
    };
    doomed->start(m_canvas);
    RecordingFilter* later = new RecordingFilter("later", 2, &m_log);
    later->start(m_canvas);

    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    DEventFilterList& list = m_canvas->scene()->eventFilterList();
    QVERIFY(list.eventFilter(m_canvas->scene(), &press));
    QVERIFY(later->offered.isEmpty());
    QCOMPARE(names(list), QStringList({"null", "later"}));
    QVERIFY(!list.remove(nullptr));
    QCOMPARE(names(list), QStringList({"later"}));
}

void tst_DEventFilterList::filterDeletingALaterOneSkipsIt()
{
    RecordingFilter* killer = new RecordingFilter("killer", 0, &m_log);
    QPointer<RecordingFilter> victim = new RecordingFilter("victim", 2, &m_log);
    killer->onEvent = [victim](RecordingFilter*, QEvent*) {
        delete victim.data();
        return false;
    };
    killer->start(m_canvas);
    victim->start(m_canvas);
    RecordingFilter* last = new RecordingFilter("last", 3, &m_log);
    last->start(m_canvas);

    QEvent key(QEvent::KeyPress);
    QVERIFY(!m_canvas->scene()->eventFilterList().eventFilter(m_canvas->scene(), &key));
    QVERIFY(!victim);
    QCOMPARE(m_log, QStringList({"killer", "last"}));
}

void tst_DEventFilterList::filterRemovingItselfKeepsDispatchGoing()
{
    QPointer<RecordingFilter> leaving = new RecordingFilter("leaving", 0, &m_log);
    leaving->onEvent = [](RecordingFilter* self, QEvent*) {
        self->scene()->removeEventFilter(self);
        return false;
    };
    leaving->start(m_canvas);
    RecordingFilter* staying = new RecordingFilter("staying", 2, &m_log);
    staying->start(m_canvas);

    QEvent key(QEvent::KeyPress);
    QVERIFY(!m_canvas->scene()->eventFilterList().eventFilter(m_canvas->scene(), &key));
    QCOMPARE(m_log, QStringList({"leaving", "staying"}));
    QCOMPARE(leaving->removed, 1);
    QVERIFY(leaving);   // still alive until the event loop deletes it
    flushDeferredDeletes();
    QVERIFY(!leaving);
}

QTEST_MAIN(tst_DEventFilterList)
#include "tst_DEventFilterList.moc"
