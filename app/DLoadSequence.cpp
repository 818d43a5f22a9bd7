// What the library does when it is loaded, step by step. Later code relies on
// the registries and globals these steps fill, and on the order in which the
// singletons are created (the repository deletes them newest first at exit).
//
// All steps live in this one file on purpose: within a translation unit C++
// initialises namespace-scope variables in the order they are defined, whatever
// the link line, LTO or a unity build do with the files around it. Each step
// calls a registration function that lives beside its class. A new step goes
// here, in its place, and nowhere else.

#include <QObject>
#include <QString>
#include <QVector>

#include "DConstants.h"
#include "DGlobalResource.h"
#include "DGraphicsItem.h"
#include "DGraphicsView.h"
#include "DGripFactoryBoundary.h"
#include "DGripFactoryImage.h"
#include "DGripFactoryLine.h"
#include "DGripFactoryLocation.h"
#include "DGripFactoryManager.h"
#include "DGripFactoryPolygon.h"
#include "DGripFactoryPolyline.h"
#include "DGripFactorySize.h"
#include "DQuickEditorFactory.h"
#include "DWidgetPropertyBrowser.h"
#include "data.pb.h"

// The library's images; rcc's own initialiser registers them too, and a second
// registration of the same data is ignored, so the step below only fixes when.
int qInitResources_resources();

// 1. Axis constants.
const QVector3D DConstants::X_AXIS(1.0f, 0.0f, 0.0f);
const QVector3D DConstants::Y_AXIS(0.0f, 1.0f, 0.0f);
const QVector3D DConstants::Z_AXIS(0.0f, 0.0f, 1.0f);

// 2. The polyline grips. The first use of any singleton: it creates the
// grip-factory registry, which stays the oldest entry of the repository.
bool bDGripFactoryManagerDGripFactoryPolylineDGraphicsItemPolylineInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryPolyline>("DGraphicsItemPolyline");

// 3. The polygon grips.
bool bDGripFactoryManagerDGripFactoryPolygonDGraphicsItemPolygonInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryPolygon>("DGraphicsItemPolygon");

// 4. The item-state schema. The message library registers it from the
// generated code before any initialiser of ours runs; asking for a descriptor
// here makes sure it is complete before the image store checks the library.
static const bool bItemStateSchemaRegistered = DFileFormat::GraphicsItem::descriptor() != nullptr;

// 5. The named-image store (it checks the message library's version).
DGlobalResource* g_pJustForInitialize = DSingleton<DGlobalResource>::instance();

// 6. The zoom ladder starts empty; the first view fills it.
QVector<double> g_ScalingCandidate;

// 7. The line grips.
bool bDGripFactoryManagerDGripFactoryLineDGraphicsItemLineInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryLine>("DGraphicsItemLine");

// 8. The image grips, before the size grips that serve the same class.
bool bDGripFactoryManagerDGripFactoryImageDGraphicsItemImageInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryImage>("DGraphicsItemImage");

// 9. What a property-panel row shows when the selected items differ.
QString s_VARIOUS = QObject::tr("*VARIOUS*");

// 10. The location grip of every item.
bool bDGripFactoryManagerDGripFactoryLocationDGraphicsItemInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryLocation>("DGraphicsItem");

// 11. The size grips of images.
bool bDGripFactoryManagerDGripFactorySizeDGraphicsItemImageInitialized =
    DGripFactoryManager::registerFactory<DGripFactorySize>("DGraphicsItemImage");

// 12. The boundary grips of rectangles, then of text items.
bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemRectangleInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryBoundary>("DGraphicsItemRectangle");
bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemTextInitialized =
    DGripFactoryManager::registerFactory<DGripFactoryBoundary>("DGraphicsItemText");

// 13. The stock quick editors; the first use of their registry creates it,
// the newest singleton of the library.
bool bRegisterStockEditor = registerStockEditor();

// 14. The library's images.
static const int iLibraryResourcesRegistered = qInitResources_resources();
