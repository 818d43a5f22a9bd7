#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QMouseEvent;
class QWheelEvent;
class DCanvasRulerHorizontal;
class DCanvasRulerVertical;
class DGraphicsItem;
class DGraphicsLayer;
class DGraphicsScene;
class DGraphicsView;
class DHelpBalloon;
class DQuickEditorWidget;
class DWidgetTools;

// The widget that shows a scene: a graphics view framed by a horizontal ruler
// on top and a vertical ruler on the left, with floating panels (tool panels,
// the quick-editor strip of the selection, the help balloon) laid over it. The scene and the view call its on...
// operations directly.
class DCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit DCanvas(QWidget* parent = nullptr);
    ~DCanvas() override;

    DGraphicsScene* scene() const;
    DGraphicsView* view() const { return m_pView; }
    DCanvasRulerHorizontal* horizontalRuler() const { return m_pRulerHorizontal; }
    DCanvasRulerVertical* verticalRuler() const { return m_pRulerVertical; }
    DQuickEditorWidget* quickEditor() const { return m_pQuickEditor; }
    DHelpBalloon* helpBalloon() const { return m_pHelpBalloon; }
    QList<DWidgetTools*> widgetTools() const { return m_widgetTools; }
    QList<DGraphicsItem*> selection() const { return m_selection; }

    void setCanvasSize(int width, int height);
    void setCanvasSize(const QSize& size);
    void setRulerVisible(bool visible);
    bool isRulerVisible() const;

    QPoint mapFromScene(const QPointF& point);
    // The top-left corner is mapped; the size is the scene size, rounded.
    QRect mapFromScene(const QRectF& rect);

    // Offered every mouse move and wheel event of the view first; true means
    // handled.
    bool onViewMouseMoveEvent(QMouseEvent* event);
    bool onViewWheelEvent(QWheelEvent* event);
    // The first start and the last end of nested grip drags.
    void onGripDragStarted();
    void onGripDragEnded();
    void onPersistentSelectionChanged(const DGraphicsLayer* layer);
    void showBalloon(const QString& title, const QString& text, const Qt::Alignment& alignment);
    DWidgetTools* creatWidgetTools();

signals:
    void selectionChanged(QList<DGraphicsItem*> selection);

private:
    DGraphicsView* m_pView;
    DCanvasRulerHorizontal* m_pRulerHorizontal;
    DCanvasRulerVertical* m_pRulerVertical;
    DQuickEditorWidget* m_pQuickEditor;
    DHelpBalloon* m_pHelpBalloon;
    QList<DWidgetTools*> m_widgetTools;   // not owned: Qt children of the canvas
    QList<DGraphicsItem*> m_selection;    // layer by layer, in reporting order
    QList<const DGraphicsLayer*> m_selectionLayers;  // the layer of each entry
};
