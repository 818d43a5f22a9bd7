# Sources whose static initialisers make up the library's load sequence, in the
# order they must run. A file listed here that does not exist yet is skipped;
# "<data.proto>" stands for the generated item-state message code.
set(ZORVELKIT_LOAD_ORDER
    app/DConstants.cpp                  # axis constants
    graphics/DGripFactoryPolyline.cpp   # polyline factory: creates the grip-factory registry first
    graphics/DGripFactoryPolygon.cpp    # polygon factory
    <data.proto>                        # item-state message schema
    app/DGlobalResource.cpp             # named-image store (checks the message library)
    graphics/DGraphicsView.cpp          # empty zoom-step list
    graphics/DGripFactoryLine.cpp       # line factory
    graphics/DGripFactoryImage.cpp      # image factory
    widgets/DWidgetPropertyBrowser.cpp  # "*VARIOUS*"
    graphics/DGripFactoryLocation.cpp   # location factory
    graphics/DGripFactorySize.cpp       # size factory
    graphics/DGripFactoryBoundary.cpp   # boundary factory (rectangle, text)
    widgets/DQuickEditorFactory.cpp     # stock quick editors
)
