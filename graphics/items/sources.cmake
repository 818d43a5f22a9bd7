# Sources of graphics/items/, relative to the folder.
set(DIR_SOURCES
    # annotation items and their property model
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
)
