#include <QPixmap>
#include <QtTest>

#include "DExtensionManager.h"
#include "DGlobalResource.h"
#include "DGripFactoryManager.h"
#include "DNamedImage.h"

// Stand-ins for registered classes (factories) and the classes they serve.
class FactoryBase : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE FactoryBase() {}
};

class FirstFactory : public FactoryBase
{
    Q_OBJECT
public:
    Q_INVOKABLE FirstFactory() {}
};

class SecondFactory : public FactoryBase
{
    Q_OBJECT
public:
    Q_INVOKABLE SecondFactory() {}
};

class FactoryWithoutConstructor : public FactoryBase
{
    Q_OBJECT
};

class Unrelated : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE Unrelated() {}
};

class ItemRoot : public QObject
{
    Q_OBJECT
};

class ItemMiddle : public ItemRoot
{
    Q_OBJECT
};

class ItemLeaf : public ItemMiddle
{
    Q_OBJECT
};

typedef QList<const QMetaObject*> MetaList;

namespace {

QPixmap filledPixmap(const QColor& color)
{
    QPixmap pixmap(4, 3);
    pixmap.fill(color);
    return pixmap;
}

} // namespace

class tst_DRegistry : public QObject
{
    Q_OBJECT

private slots:
    void addRejectsClassesOfAnotherBase();
    void addWithoutInvokableConstructorWarnsButRegisters();
    void findWalksFromTheClassToItsRoot();
    void findKeepsRepeats();
    void findOfUnregisteredOrNullIsEmpty();
    void gripFactoryRegistryServesGripFactories();

    void imageOfAnUnknownUuidIsNull();
    void namedImageRegistersItselfWhileHeld();
    void namedImagesFromOnePixmapHaveDifferentUuids();
    void addImageReplacesAndRemoveImageForgets();
};

void tst_DRegistry::addRejectsClassesOfAnotherBase()
{
    DExtensionManager manager("FactoryBase");
    QVERIFY(!manager.add(&Unrelated::staticMetaObject, "ItemRoot"));
    QVERIFY(!manager.add(nullptr, "ItemRoot"));
    QVERIFY(manager.find(&ItemRoot::staticMetaObject).isEmpty());
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemRoot"));
    QCOMPARE(manager.find(&ItemRoot::staticMetaObject), MetaList{&FirstFactory::staticMetaObject});
    // The base class itself counts as derived from it.
    QVERIFY(manager.add(&FactoryBase::staticMetaObject, "ItemRoot"));
}

void tst_DRegistry::addWithoutInvokableConstructorWarnsButRegisters()
{
    DExtensionManager manager("FactoryBase");
    QTest::ignoreMessage(QtDebugMsg,
                         "\"class FactoryWithoutConstructor default constructor "
                         "should be Q_INVOKABLE\"");
    QVERIFY(manager.add(&FactoryWithoutConstructor::staticMetaObject, "ItemLeaf"));
    QCOMPARE(manager.find(&ItemLeaf::staticMetaObject),
             MetaList{&FactoryWithoutConstructor::staticMetaObject});
}

void tst_DRegistry::findWalksFromTheClassToItsRoot()
{
    DExtensionManager manager("FactoryBase");
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemRoot"));
    QVERIFY(manager.add(&SecondFactory::staticMetaObject, "ItemLeaf"));
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemMiddle"));
    QVERIFY(manager.add(&SecondFactory::staticMetaObject, "ItemMiddle"));

    QCOMPARE(manager.find(&ItemLeaf::staticMetaObject),
             (MetaList{&SecondFactory::staticMetaObject, &FirstFactory::staticMetaObject,
                       &SecondFactory::staticMetaObject, &FirstFactory::staticMetaObject}));
    QCOMPARE(manager.find(&ItemMiddle::staticMetaObject),
             (MetaList{&FirstFactory::staticMetaObject, &SecondFactory::staticMetaObject,
                       &FirstFactory::staticMetaObject}));
    QCOMPARE(manager.find(&ItemRoot::staticMetaObject), MetaList{&FirstFactory::staticMetaObject});
}

void tst_DRegistry::findKeepsRepeats()
{
    DExtensionManager manager("FactoryBase");
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemRoot"));
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemRoot"));
    QCOMPARE(manager.find(&ItemLeaf::staticMetaObject),
             (MetaList{&FirstFactory::staticMetaObject, &FirstFactory::staticMetaObject}));
}

void tst_DRegistry::findOfUnregisteredOrNullIsEmpty()
{
    DExtensionManager manager("FactoryBase");
    QVERIFY(manager.add(&FirstFactory::staticMetaObject, "ItemLeaf"));
    QVERIFY(manager.find(&ItemMiddle::staticMetaObject).isEmpty());
    QVERIFY(manager.find(&Unrelated::staticMetaObject).isEmpty());
    QVERIFY(manager.find(nullptr).isEmpty());
}

void tst_DRegistry::gripFactoryRegistryServesGripFactories()
{
    DGripFactoryManager* registry = DSingleton<DGripFactoryManager>::instance();
    QCOMPARE(DSingleton<DGripFactoryManager>::instance(), registry);
    QCOMPARE(registry->baseClassName(), QStringLiteral("DGripFactoryAbstract"));
    QVERIFY(!registry->add(&FirstFactory::staticMetaObject, "ItemRoot"));
    QVERIFY(DSingletonRepository::instance()->singletons().contains(registry));
}

void tst_DRegistry::imageOfAnUnknownUuidIsNull()
{
    DGlobalResource* store = DSingleton<DGlobalResource>::instance();
    QVERIFY(!store->image(QUuid::createUuid()));
    QVERIFY(!store->image(QUuid()));
}

void tst_DRegistry::namedImageRegistersItselfWhileHeld()
{
    DGlobalResource* store = DSingleton<DGlobalResource>::instance();
    QUuid uuid;
    {
        DNamedImagePtr holder(new DNamedImage(filledPixmap(Qt::blue)));
        uuid = holder->uuid();
        QVERIFY(!uuid.isNull());
        QCOMPARE(holder->ref.loadRelaxed(), 1);

        DNamedImagePtr found = store->image(uuid);
        QCOMPARE(found.data(), holder.data());
        QCOMPARE(holder->ref.loadRelaxed(), 2);
        QCOMPARE(found->pixmap().toImage(), filledPixmap(Qt::blue).toImage());
    }
    // The last holder let go: the image deleted itself and left the store.
    QVERIFY(!store->image(uuid));
}

void tst_DRegistry::namedImagesFromOnePixmapHaveDifferentUuids()
{
    const QPixmap pixmap = filledPixmap(Qt::green);
    DNamedImagePtr first(new DNamedImage(pixmap));
    DNamedImagePtr second(new DNamedImage(pixmap));
    QVERIFY(first->uuid() != second->uuid());
    DGlobalResource* store = DSingleton<DGlobalResource>::instance();
    QCOMPARE(store->image(first->uuid()).data(), first.data());
    QCOMPARE(store->image(second->uuid()).data(), second.data());
}

void tst_DRegistry::addImageReplacesAndRemoveImageForgets()
{
    DGlobalResource* store = DSingleton<DGlobalResource>::instance();
    DNamedImagePtr image(new DNamedImage(filledPixmap(Qt::red)));
    const QUuid uuid = image->uuid();

    store->removeImage(uuid);
    QVERIFY(!store->image(uuid));
    store->removeImage(uuid); // nothing left to remove
    store->addImage(image.data());
    QCOMPARE(store->image(uuid).data(), image.data());
    store->addImage(image.data());
    store->removeImage(uuid);
    QVERIFY(!store->image(uuid));
    store->addImage(nullptr);
    QVERIFY(!store->image(QUuid()));
}

QTEST_MAIN(tst_DRegistry)
#include "tst_DRegistry.moc"
