#ifndef DCREATEPROMPT_H
#define DCREATEPROMPT_H

#include <QPointer>
#include <QVector3D>

#include "DEventFilter.h"
#include "DGraphicsItem.h"

class QGraphicsSceneMouseEvent;
class QKeyEvent;

// A one-shot tool that turns mouse gestures on the scene into one new item.
// It builds a sample of its kind among the scene's own items, shows live values
// in the drawn cursor's label, and ends either with finish() (the sample
// becomes a selected item of the active layer) or with cancel().
class DCreatePrompt : public DEventFilter
{
    Q_OBJECT
public:
    DCreatePrompt();
    ~DCreatePrompt() override;

    void start(DCanvas* canvas) override;
    bool eventFilter(QEvent* event) override;
    void onStart() override;
    void onRemoved() override;

    virtual bool mousePress(QGraphicsSceneMouseEvent* event);
    virtual bool mouseRelease(QGraphicsSceneMouseEvent* event);
    virtual bool mouseDoubleClick(QGraphicsSceneMouseEvent* event);
    virtual bool mouseMove(QGraphicsSceneMouseEvent* event);
    virtual bool keyPress(QKeyEvent* event);
    virtual bool keyRelease(QKeyEvent* event);
    virtual DGraphicsItem* createSample() const = 0;
    virtual void onStop();

    void finish();
    void cancel();
    void resetSample();
    void removeSample();
    void snapMouse(QGraphicsSceneMouseEvent* event);

    DGraphicsItem* sample() const { return m_pSample; }

    using DEventFilter::eventFilter;

signals:
    void finished(DCreatePrompt* prompt);
    void cancelled(DCreatePrompt* prompt);

protected:
    // The label text for a scene position, "(x,y)".
    static QString positionText(const QPointF& pos);
    // A scene position as a point in the items' frame (z 0).
    static QVector3D toVector(const QPointF& pos);
    // A right press: during a drag only the sample goes and the user may
    // start again; with nothing drawn yet the prompt is cancelled.
    void dropSampleOrCancel();

    // Guarded: the sample may be deleted by its layer once it is handed over,
    // or by a scene torn down without telling its prompts.
    QPointer<DGraphicsItem> m_pSample;
    // Set by finish(): the sample belongs to the active layer from then on.
    bool m_bSampleHandedOver = false;
};

#endif // DCREATEPROMPT_H
