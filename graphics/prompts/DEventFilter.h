#pragma once

#include <QObject>
#include <QPointF>

class QEvent;
class QPoint;
class DCanvas;
class DGraphicsScene;

// A tool that takes over the scene's mouse and keyboard for a while. It is
// started once on a canvas; from then on the scene's filter list owns it and
// deletes it (later) when it is removed.
class DEventFilter : public QObject
{
    Q_OBJECT
public:
    DEventFilter();

    // Takes the canvas and its scene, hands itself to the scene's filter list,
    // then calls onStart().
    virtual void start(DCanvas* canvas);
    // True consumes the event: later filters and the scene never see it.
    virtual bool eventFilter(QEvent* event) = 0;
    // Called once the filter stands in the list.
    virtual void onStart();
    // Called by the list when it takes the filter out, before deleteLater().
    virtual void onRemoved();

    // A point in the canvas's view coordinates, mapped to the scene.
    QPointF mapToScene(const QPoint& point) const;

    int priority() const { return m_nPriority; }
    void setPriority(int priority) { m_nPriority = priority; }
    bool isActive() const { return m_bActive; }
    void setActive(bool active) { m_bActive = active; }
    DGraphicsScene* scene() const { return m_pScene; }
    DCanvas* canvas() const { return m_pCanvas; }

    // The two-argument QObject::eventFilter stays reachable.
    using QObject::eventFilter;

protected:
    int m_nPriority;            // lower values are asked first
    DGraphicsScene* m_pScene;   // set by start()
    DCanvas* m_pCanvas;         // set by start()
    bool m_bActive;             // an inactive filter stays listed but is not asked
};
