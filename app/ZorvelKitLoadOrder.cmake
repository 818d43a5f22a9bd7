# Sources whose static initialisers make up the library's load sequence, in the
# order they must run. A file listed here that does not exist yet is skipped;
# "<data.proto>" stands for the generated item-state message code.
set(ZORVELKIT_LOAD_ORDER
    app/DConstants.cpp                  # axis constants
    graphics/grips/DGripFactoryPolyline.cpp   # polyline factory: creates the grip-factory registry first
    graphics/grips/DGripFactoryPolygon.cpp    # polygon factory
    <data.proto>                        # item-state message schema
    app/DGlobalResource.cpp             # named-image store (checks the message library)
    graphics/scene/DGraphicsView.cpp         # empty zoom-step list
    graphics/grips/DGripFactoryLine.cpp       # line factory
    graphics/grips/DGripFactoryImage.cpp      # image factory
    widgets/DWidgetPropertyBrowser.cpp  # "*VARIOUS*"
    graphics/grips/DGripFactoryLocation.cpp   # location factory
    graphics/grips/DGripFactorySize.cpp       # size factory
    graphics/grips/DGripFactoryBoundary.cpp   # boundary factory (rectangle, text)
    widgets/DQuickEditorFactory.cpp     # stock quick editors
)
