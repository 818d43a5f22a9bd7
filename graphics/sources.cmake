# Sources of graphics/, relative to the folder. Load-order sources (grip factories,
# the view) are listed in app/ZorvelKitLoadOrder.cmake as well; they are taken
# out of this list there. Add a file only once it compiles.
set(DIR_SOURCES
    # items, property model, scene and layers, painter guards
    DPainterAntiScale.cpp
    DRestorePenBrush.cpp
    DRestorePainter.cpp
    DMetaProperty.cpp
    DMetaPropertyList.cpp
    DGraphicsItem.cpp
    DGraphicsItemChangeNotifier.cpp
    DGraphicsItemDecorator.cpp
    DGraphicsItemRectangle.cpp
    DGraphicsItemText.cpp
    QTextEdit_P.cpp
    DGraphicsItemLine.cpp
    DGraphicsItemPolyline.cpp
    DGraphicsItemPolygon.cpp
    DGraphicsItemImage.cpp
    DGraphicsBackgroundColor.cpp
    DGraphicsBackgroundImage.cpp
    DGraphicsLayer.cpp
    DGraphicsScene.cpp
    DUtilityGraphics.cpp
    # view, event filters, drawn cursor
    DGraphicsView.cpp
    DEventFilter.cpp
    DEventFilterList.cpp
    DCursorGraphics.cpp
    DCursorGraphicsCross.cpp
    DCursor.cpp
    # prompts, snap system, grips, grip factories
    DGripFactoryAbstract.cpp
    DSnapLine.cpp
    DGripGlyph.cpp
    DGripConstraintLine.cpp
    DGraphicsSnapSystem.cpp
    DGrip.cpp
    DGripManager.cpp
    DGripFactoryPolyline.cpp
    DGripFactoryPolygon.cpp
    DGripFactoryLine.cpp
    DGripFactoryImage.cpp
    DGripFactoryLocation.cpp
    DGripFactorySize.cpp
    DGripFactoryBoundary.cpp
    DCreatePrompt.cpp
    DCreatePromptRectangle.cpp
    DCreatePromptText.cpp
    DCreatePromptLine.cpp
    DCreatePromptPolyline.cpp
    DCreatePromptPolygon.cpp
)
