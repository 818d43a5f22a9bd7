#include <QFile>
#include <QImage>
#include <QtTest>
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

#include "DConstants.h"
#include "DGraphicsItemImage.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemText.h"
#include "DGripFactoryBoundary.h"
#include "DGripFactoryImage.h"
#include "DGripFactoryLine.h"
#include "DGripFactoryLocation.h"
#include "DGripFactoryManager.h"
#include "DGripFactoryPolygon.h"
#include "DGripFactoryPolyline.h"
#include "DGripFactorySize.h"
#include "DGlobalResource.h"
#include "DQuickEditorFactory.h"
#include "DQuickEditorFactoryAbstract.h"
#include "DSingleton.h"
#include "DWidgetPropertyBrowser.h"
#include "data.pb.h"

namespace {

QString className(const DSingletonBase* singleton)
{
    if (!singleton)
        return QStringLiteral("<null>");
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*singleton).name(), nullptr, nullptr, &status);
    const QString result = QString::fromLatin1(status == 0 ? name : typeid(*singleton).name());
    std::free(name);
    return result;
}

} // namespace

// What the library has set up by the time its loading is done, before this
// program asks for anything.
class tst_DLoadOrder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void repositoryHoldsTheLoadTimeSingletonsNewestFirst();
    void gripFactoryRegistryIsTheOldest();
    void gripFactoriesAreRegisteredAtLoad();
    void stockQuickEditorsAreRegisteredAtLoad();
    void axisConstantsAreSet();
    void imageStoreIsCreated();
    void messageSchemaIsRegistered();
    void propertyPanelTextIsSet();
    void libraryImagesAreRegistered_data();
    void libraryImagesAreRegistered();

private:
    QStringList m_loaded;
    QString m_various;
};

void tst_DLoadOrder::initTestCase()
{
    // Taken first thing, before any test asks for a singleton.
    for (DSingletonBase* singleton : DSingletonRepository::instance()->singletons())
        m_loaded << className(singleton);
    m_various = s_VARIOUS;
}

void tst_DLoadOrder::repositoryHoldsTheLoadTimeSingletonsNewestFirst()
{
    // The singletons that load-time steps create, newest first: the stock
    // quick editors' factory (the last registration), the image store, the
    // grip-factory registry (created by the first grip-factory registration,
    // so the oldest).
    QCOMPARE(m_loaded, QStringList({"DQuickEditorFactory", "DGlobalResource", "DGripFactoryManager"}));
}

void tst_DLoadOrder::gripFactoryRegistryIsTheOldest()
{
    // The first grip-factory registration made the registry before any other
    // singleton existed.
    QVERIFY2(!m_loaded.isEmpty(), "no singleton at load");
    QCOMPARE(m_loaded.last(), QStringLiteral("DGripFactoryManager"));
}

void tst_DLoadOrder::gripFactoriesAreRegisteredAtLoad()
{
    QVERIFY(bDGripFactoryManagerDGripFactoryPolylineDGraphicsItemPolylineInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryPolygonDGraphicsItemPolygonInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryLineDGraphicsItemLineInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryImageDGraphicsItemImageInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryLocationDGraphicsItemInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactorySizeDGraphicsItemImageInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemRectangleInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemTextInitialized);

    // Registration order shows where two factories serve one class: the image
    // factory (step 8) before the size factory (step 11).
    auto names = [](const QMetaObject* meta) {
        QStringList result;
        for (const QMetaObject* factory : DSingleton<DGripFactoryManager>::instance()->find(meta))
            result << QString::fromLatin1(factory->className());
        return result;
    };
    QCOMPARE(names(&DGraphicsItemImage::staticMetaObject),
             QStringList({"DGripFactoryImage", "DGripFactorySize", "DGripFactoryLocation"}));
    QCOMPARE(names(&DGraphicsItemPolygon::staticMetaObject),
             QStringList({"DGripFactoryPolygon", "DGripFactoryPolyline", "DGripFactoryLocation"}));
    QCOMPARE(names(&DGraphicsItemText::staticMetaObject),
             QStringList({"DGripFactoryBoundary", "DGripFactoryBoundary", "DGripFactoryLocation"}));
}

void tst_DLoadOrder::stockQuickEditorsAreRegisteredAtLoad()
{
    QVERIFY(bRegisterStockEditor);
    // One factory per type, in the order of registration: bool, int, colour, font.
    QList<int> types;
    for (const DQuickEditorFactoryAbstract* factory : DQuickEditorFactory::instance()->factories())
        types << factory->type();
    QCOMPARE(types, QList<int>({QVariant::Bool, QVariant::Int, QVariant::Color, QVariant::Font}));
}

void tst_DLoadOrder::axisConstantsAreSet()
{
    QCOMPARE(DConstants::X_AXIS, QVector3D(1, 0, 0));
    QCOMPARE(DConstants::Y_AXIS, QVector3D(0, 1, 0));
    QCOMPARE(DConstants::Z_AXIS, QVector3D(0, 0, 1));
}

void tst_DLoadOrder::imageStoreIsCreated()
{
    QVERIFY(g_pJustForInitialize);
    QCOMPARE(DSingleton<DGlobalResource>::instance(), g_pJustForInitialize);
}

void tst_DLoadOrder::messageSchemaIsRegistered()
{
    const google::protobuf::FileDescriptor* file = DFileFormat::GraphicsItem::descriptor()->file();
    QCOMPARE(QString::fromStdString(file->name()), QStringLiteral("data.proto"));
    QCOMPARE(QString::fromStdString(file->package()), QStringLiteral("DFileFormat"));
    QCOMPARE(file->message_type_count(), 20);
    QCOMPARE(QString::fromStdString(DFileFormat::GraphicsItem::default_instance().unit()),
             QStringLiteral("px"));
}

void tst_DLoadOrder::propertyPanelTextIsSet()
{
    // Passed through the translation function at load, before any
    // translator is installed: the text as written.
    QCOMPARE(m_various, QStringLiteral("*VARIOUS*"));
}

void tst_DLoadOrder::libraryImagesAreRegistered_data()
{
    QTest::addColumn<QString>("path");
    for (const char* name : {"font-bold.png", "font-italic.png", "colors.png", "template_color_text.png",
                             "template_color_fill.png", "template_color_line.png", "mainwindow.png",
                             "enterkey.png", "exit.png"})
        QTest::newRow(name) << QString(":/images/") + name;
}

void tst_DLoadOrder::libraryImagesAreRegistered()
{
    QFETCH(QString, path);
    QVERIFY(QFile::exists(path));
    const QImage image(path);
    QVERIFY(!image.isNull());
}

QTEST_GUILESS_MAIN(tst_DLoadOrder)
#include "tst_DLoadOrder.moc"
