#ifndef DGRAPHICSSCENE_H
#define DGRAPHICSSCENE_H

#include <QGraphicsScene>
#include <QList>

#include "DCursor.h"
#include "DEventFilterList.h"
#include "DGraphicsSnapSystem.h"
#include "DGripManager.h"
#include "DSnapLine.h"

class DCreatePrompt;
class DEventFilter;
class DGraphicsBackground;
class DGraphicsItem;
class DGraphicsLayer;
class DGraphicsView;
class QImage;
class QPrinter;

// The document of the annotation editor. Persistent items live in the layers;
// the scene itself holds the short-lived items (prompt samples, grips, drag
// copies, the text editor's proxy) and paints the page, its background and
// the visible layers beneath them.
class DGraphicsScene : public QGraphicsScene
{
    Q_OBJECT
public:
    DGraphicsScene();
    ~DGraphicsScene() override;

    DGraphicsView* view() const;
    double scale() const;
    // The scale the first view showing the scene draws it at, widget pixels
    // per scene unit: its zoom, and whatever else its transform holds (the
    // overlay's undoing of a scaled screen's pixel ratio). What screen-constant
    // drawing undoes. 1.0 without a view (layers).
    static double scaleOf(const QGraphicsScene* scene);
    // The same in the screen's device pixels: the scale that puts scene
    // points on the centres of the pixels the screen shows.
    static double devicePixelScaleOf(const QGraphicsScene* scene);
    QRectF visibleRect() const;

    void createLayer();
    DGraphicsLayer* activeLayer() const;
    const QList<DGraphicsLayer*>& layers() const { return m_layers; }
    // The layers shown, in list order: the ones painted and given the mouse.
    QList<DGraphicsLayer*> visibleLayers() const;

    void addPersistenItem(DGraphicsItem* item, bool select);
    void removePersistenItem(DGraphicsItem* item);
    void addActiveItem(DGraphicsItem* item);
    void removeActiveItem(DGraphicsItem* item);

    void startEventFilter(DEventFilter* filter);
    using QObject::removeEventFilter;
    void removeEventFilter(DEventFilter* filter);
    void cancelCurrentPrompt();
    bool isFilterAllowed(QEvent* event) const;

    void snapped(const DSnapLine& line);
    void clearSnapLines();
    const QList<DSnapLine>& snapLines() const { return m_snapLines; }
    DGraphicsSnapSystem& snapSystem() { return m_snapSystem; }
    DGripManager& gripManager() { return m_gripManager; }
    DEventFilterList& eventFilterList() { return m_eventFilterList; }
    DCursor& cursor() { return m_cursor; }

    void setSize(int width, int height);
    void setBackground(DGraphicsBackground* background);
    DGraphicsBackground* background() const { return m_background; }

    void renderContentTo(QImage& image);
    void renderContentTo(QPainter& painter);
    // Where printing puts content of the image's size on a page of that size.
    static QRect printTargetRect(const QSizeF& page, const QSize& image);

    void onPersistentSelectionChanged(const DGraphicsLayer* layer);
    // Called by a layer when one of its items leaves it, by removal or deletion.
    void onPersistentItemLeaving(DGraphicsItem* item);

signals:
    void persistentItemAdded(const DGraphicsItem* item);
    void persistentItemRemoving(const DGraphicsItem* item);
    void persistentItemChanged(const DGraphicsItem* item);
    void persistentSelectionChanged(const DGraphicsLayer* layer);

public slots:
    void onDynamicSelectionChanged();
    void onPersistentItemChanged(DGraphicsItem* item);
    void onLayerChanged(const QList<QRectF>& rects);
    void onCreatePromptFinished(DCreatePrompt* prompt);
    void onGripDragStarted();
    void onGripDragEnded();
    void onPrint(QPrinter* printer);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& exposed) override;
    void drawForeground(QPainter* painter, const QRectF& exposed) override;

private:
    void drawMarginAndShadow(QPainter* painter, const QRectF& exposed);
    void commitTextEditing();
    QRectF contentBounds() const;

    QList<DGraphicsLayer*> m_layers;
    DGripManager m_gripManager;
    DEventFilterList m_eventFilterList;
    DCursor m_cursor;
    int m_gripDragDepth = 0;
    DGraphicsBackground* m_background = nullptr;
    DGraphicsSnapSystem m_snapSystem;
    QList<DSnapLine> m_snapLines;
    bool m_tearingDown = false;
};

#endif // DGRAPHICSSCENE_H
