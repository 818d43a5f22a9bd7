#pragma once

#include <QCursor>
#include <QGraphicsObject>
#include <QRectF>
#include <QString>
#include <QVector>

class DCursorGraphics;
class DGraphicsItem;
class DGraphicsScene;
class DGrip;

// The scene's own drawn cursor: a stack of cursor graphics (the top one is
// drawn) with a label, and a stack of grips it may be bound to. It is never an
// item of the scene; the scene paints it in its foreground.
class DCursor : public QGraphicsObject
{
    Q_OBJECT
public:
    explicit DCursor(DGraphicsScene* scene);
    ~DCursor() override;

    // Invalidates the cursor's area in the scene's foreground (only while
    // something is drawn).
    void update();
    // boundingRect() moved by pos().
    QRectF sceneBoundingRect() const;

    // Takes ownership of the graphics and draws it at the pointer's position;
    // with hideSystemCursor the view's own cursor is blanked until the next
    // unsetGraphics(true).
    void setGraphics(DCursorGraphics* graphics, bool hideSystemCursor);
    // Pops and deletes the top graphics; with restoreSystemCursor gives the
    // view its cursor back if it was hidden.
    void unsetGraphics(bool restoreSystemCursor);
    void updateText(const QString& text);
    void setTextAlignment(Qt::Alignment alignment);
    void updatePos(const QPointF& scenePos);
    // Follows the mouse: ignored while nothing is drawn or while bound.
    void updateScenePos(const QPointF& scenePos);

    // Sits on the grip, follows it and moves the real pointer onto it.
    void bind(DGrip* grip);
    void unbind(DGrip* grip);
    bool isBinded() const { return !m_bindingGrips.isEmpty(); }

    QString text() const { return m_text; }
    QRectF labelRect() const { return m_labelRect; }
    int graphicsCount() const { return m_graphics.count(); }
    DCursorGraphics* currentGraphics() const;
    bool isSystemCursorHidden() const { return m_bSystemCursorHidden; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    // While the system cursor is hidden: blanks the viewport again whenever
    // the view gives it a hovered item's cursor or its own.
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void onBindingObjectMoved(DGrip* grip, DGraphicsItem* item);

private:
    QWidget* viewport() const;
    void hideSystemCursor(QWidget* port);
    void restoreSystemCursor(QWidget* port);
    void blankViewport(QWidget* port);
    void dropDestroyedGrip(QObject* grip);

    QVector<DGrip*> m_bindingGrips;
    QVector<QObject*> m_bindingObjects;    // the same grips, to recognise a destroyed one
    QVector<DCursorGraphics*> m_graphics;
    DGraphicsScene* m_pScene;
    QCursor m_savedCursor;
    QString m_text;
    mutable QRectF m_labelRect;     // relative to the cursor, in view pixels
    bool m_bSystemCursorHidden;
};
