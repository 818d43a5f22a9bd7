// The property model and the property table of every item class.
#include <QtTest>

#include "DGraphicsItemImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DMetaPropertyList.h"

namespace {

QStringList names(const QList<DMetaProperty>& list)
{
    QStringList result;
    for (const DMetaProperty& p : list)
        result << QString::fromLatin1(p.name());
    return result;
}

const DMetaProperty* find(const DMetaPropertyList& list, const char* name)
{
    for (const DMetaProperty& p : list.shown()) {
        if (qstrcmp(p.name(), name) == 0)
            return &p;
    }
    return nullptr;
}

// An object with a bool property of another name, and one without "fill".
class Switchable : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool fill READ fill)
    Q_PROPERTY(int level READ level)
public:
    bool fill() const { return m_fill; }
    int level() const { return 3; }
    bool m_fill = false;
};

} // namespace

class tst_DMetaProperty : public QObject
{
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void tableIsBuiltOnce();
    void baseEntries();
    void textEntries();
    void equalityByName();
    void repeatedOptionKeepsBoth();
    void isEnabled();
    void hideAndUnhideMisses();
    void unhideReturnsToDeclarationPlace();
    void intersect_data();
    void intersect();
};

void tst_DMetaProperty::tables_data()
{
    QTest::addColumn<QObject*>("item");
    QTest::addColumn<QStringList>("shown");
    const QStringList rectangle = {"position", "rotation", "strokeColor", "strokeWidth", "fill",
                                   "fillColor", "opacity", "width", "height"};
    QTest::newRow("rectangle") << static_cast<QObject*>(new DGraphicsItemRectangle) << rectangle;
    QTest::newRow("text") << static_cast<QObject*>(new DGraphicsItemText)
                          << rectangle + QStringList{"font", "textColor", "text", "fontFamily", "fontSize",
                                                     "fontBold", "fontItalic"};
    QTest::newRow("line") << static_cast<QObject*>(new DGraphicsItemLine)
                          << QStringList{"position", "strokeColor", "strokeWidth", "opacity", "start", "end"};
    const QStringList polyline = {"position", "scale", "rotation", "strokeColor", "strokeWidth", "opacity"};
    QTest::newRow("polyline") << static_cast<QObject*>(new DGraphicsItemPolyline) << polyline;
    QTest::newRow("image") << static_cast<QObject*>(new DGraphicsItemImage) << polyline;
    QTest::newRow("polygon") << static_cast<QObject*>(new DGraphicsItemPolygon)
                             << polyline + QStringList{"fill", "fillColor"};
}

void tst_DMetaProperty::tables()
{
    QFETCH(QObject*, item);
    QFETCH(QStringList, shown);
    QScopedPointer<DGraphicsItem> owner(qobject_cast<DGraphicsItem*>(item));
    const DMetaPropertyList& list = owner->properties();
    QCOMPARE(names(list.shown()), shown);
    // Every entry names a real property of the class.
    for (const DMetaProperty& p : list.shown()) {
        QVERIFY2(p.property().isValid(), p.name());
        QVERIFY2(owner->metaObject()->indexOfProperty(p.name()) >= 0, p.name());
    }
}

void tst_DMetaProperty::tableIsBuiltOnce()
{
    DGraphicsItemLine a;
    DGraphicsItemLine b;
    QCOMPARE(&a.properties(), &b.properties());
    QCOMPARE(&a.properties(), &DGraphicsItemLine::staticProperties());
    QVERIFY(&a.properties() != &DGraphicsItem::staticProperties());
}

void tst_DMetaProperty::baseEntries()
{
    const DMetaPropertyList& list = DGraphicsItem::staticProperties();
    QCOMPARE(list.shown().size(), 8);
    QVERIFY(list.hidden().isEmpty());

    const DMetaProperty* position = find(list, "position");
    QCOMPARE(position->label(), QString("Position"));
    QCOMPARE(position->editorFlags(), DMetaProperty::EditorFlags(DMetaProperty::PropertyBrowser));
    QVERIFY(position->icon().isNull());

    const DMetaProperty* stroke = find(list, "strokeColor");
    QCOMPARE(stroke->label(), QString("Stroke Color"));
    QCOMPARE(stroke->editorFlags(), DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser);
    QVERIFY(!stroke->icon().isNull());
    QCOMPARE(stroke->width(), 1);

    const DMetaProperty* width = find(list, "strokeWidth");
    QCOMPARE(width->width(), 2);
    QCOMPARE(width->options().value("minimum"), QVariant(0));
    QCOMPARE(width->options().value("minimum").type(), QVariant::Int);

    const DMetaProperty* fillColor = find(list, "fillColor");
    QCOMPARE(fillColor->enableDependency(), QString("fill"));
    QCOMPARE(fillColor->options().value("colorNoFill"), QVariant(true));
    QVERIFY(!fillColor->icon().isNull());

    const DMetaProperty* opacity = find(list, "opacity");
    QCOMPARE(opacity->options().value("minimum").type(), QVariant::Double);
    QCOMPARE(opacity->options().value("minimum").toDouble(), 0.0);
    QCOMPARE(opacity->options().value("maximum").toDouble(), 1.0);
}

void tst_DMetaProperty::textEntries()
{
    const DMetaPropertyList& list = DGraphicsItemText::staticProperties();
    const DMetaProperty* size = find(list, "fontSize");
    QCOMPARE(size->label(), QString("Font Size"));
    QCOMPARE(size->editorFlags(), DMetaProperty::EditorFlags(DMetaProperty::QuickEditor));
    QCOMPARE(size->width(), 3);
    QCOMPARE(size->options().value("minimum"), QVariant(1));
    const QVariantList items = size->options().value("items").toList();
    QList<int> sizes;
    for (const QVariant& v : items) {
        QCOMPARE(v.type(), QVariant::Int);
        sizes << v.toInt();
    }
    QCOMPARE(sizes, (QList<int>{9, 10, 11, 12, 14, 16, 18, 24, 30, 36, 48, 60, 72}));

    QCOMPARE(find(list, "fontFamily")->width(), 5);
    QVERIFY(!find(list, "fontBold")->icon().isNull());
    QVERIFY(!find(list, "fontItalic")->icon().isNull());
    QVERIFY(!find(list, "textColor")->icon().isNull());
    QCOMPARE(find(list, "textColor")->editorFlags(), DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser);
    QVERIFY(!find(list, "fontUnderline"));
    QVERIFY(!find(list, "fontStrikeout"));
    // Rectangle entries are made with the rectangle's own class.
    QCOMPARE(find(list, "width")->property().enclosingMetaObject(), &DGraphicsItemRectangle::staticMetaObject);
}

void tst_DMetaProperty::equalityByName()
{
    const QMetaObject& meta = DGraphicsItem::staticMetaObject;
    const QMetaProperty fill = meta.property(meta.indexOfProperty("fill"));
    const QMetaProperty opacity = meta.property(meta.indexOfProperty("opacity"));
    DMetaProperty a(fill, "A", DMetaProperty::QuickEditor, 1);
    DMetaProperty b(fill, "B", QPixmap(), DMetaProperty::PropertyBrowser);
    b.addOption("minimum", 3);
    DMetaProperty c(opacity, "A", DMetaProperty::QuickEditor, 1);
    QVERIFY(a == b);
    QVERIFY(!(a == c));
    QCOMPARE(b.width(), 1);
    QVERIFY(a.enableDependency().isEmpty());
    QVERIFY(a.options().isEmpty());
}

void tst_DMetaProperty::repeatedOptionKeepsBoth()
{
    const QMetaObject& meta = DGraphicsItem::staticMetaObject;
    DMetaProperty p(meta.property(meta.indexOfProperty("fill")), "Fill", DMetaProperty::QuickEditor, 1);
    p.addOption("minimum", 1);
    p.addOption("minimum", 2);
    QCOMPARE(p.options().count("minimum"), 2);
}

void tst_DMetaProperty::isEnabled()
{
    const DMetaProperty* fillColor = find(DGraphicsItem::staticProperties(), "fillColor");
    DGraphicsItemRectangle item;
    QVERIFY(!fillColor->isEnabled(&item));
    item.setFill(true);
    QVERIFY(fillColor->isEnabled(&item));

    Switchable other;
    QVERIFY(!fillColor->isEnabled(&other));
    other.m_fill = true;
    QVERIFY(fillColor->isEnabled(&other));

    QObject plain;
    QVERIFY(fillColor->isEnabled(&plain));

    // A dependency that is not a bool counts as enabled.
    DMetaProperty byLevel = *fillColor;
    byLevel.setEnableDependency("level");
    QVERIFY(byLevel.isEnabled(&other));
    // No dependency: always enabled.
    QVERIFY(find(DGraphicsItem::staticProperties(), "fill")->isEnabled(&item));
}

void tst_DMetaProperty::hideAndUnhideMisses()
{
    DMetaPropertyList list = DGraphicsItem::staticProperties();
    QVERIFY(list.hide("scale"));
    const QStringList shown = names(list.shown());
    const QStringList hidden = names(list.hidden());
    QVERIFY(!list.hide("scale"));
    QVERIFY(!list.hide("nothing"));
    QVERIFY(!list.unhide("fill"));
    QVERIFY(!list.unhide("nothing"));
    QCOMPARE(names(list.shown()), shown);
    QCOMPARE(names(list.hidden()), hidden);
    QCOMPARE(hidden, QStringList{"scale"});
}

void tst_DMetaProperty::unhideReturnsToDeclarationPlace()
{
    DMetaPropertyList list = DGraphicsItem::staticProperties();
    QVERIFY(list.hide("rotation"));
    QVERIFY(list.hide("scale"));
    QVERIFY(list.unhide("scale"));
    // "scale" is declared before strokeWidth, strokeColor, fill, fillColor.
    QCOMPARE(names(list.shown()),
             (QStringList{"position", "scale", "strokeColor", "strokeWidth", "fill", "fillColor", "opacity"}));
    QCOMPARE(names(list.hidden()), QStringList{"rotation"});
}

void tst_DMetaProperty::intersect_data()
{
    QTest::addColumn<QObjectList>("items");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("text and line") << QObjectList{new DGraphicsItemText, new DGraphicsItemLine}
                                   << QStringList{"position", "strokeColor", "strokeWidth", "opacity"};
    QTest::newRow("line and text") << QObjectList{new DGraphicsItemLine, new DGraphicsItemText}
                                   << QStringList{"position", "strokeColor", "strokeWidth", "opacity"};
    QTest::newRow("rectangle and polygon")
        << QObjectList{new DGraphicsItemRectangle, new DGraphicsItemPolygon}
        << QStringList{"position", "rotation", "strokeColor", "strokeWidth", "fill", "fillColor", "opacity"};
    QTest::newRow("rectangle, text, image")
        << QObjectList{new DGraphicsItemRectangle, new DGraphicsItemText, new DGraphicsItemImage}
        << QStringList{"position", "rotation", "strokeColor", "strokeWidth", "opacity"};
    QTest::newRow("two texts") << QObjectList{new DGraphicsItemText, new DGraphicsItemText}
                               << names(DGraphicsItemText::staticProperties().shown());
}

void tst_DMetaProperty::intersect()
{
    QFETCH(QObjectList, items);
    QFETCH(QStringList, shown);
    struct Cleanup {
        QObjectList& list;
        ~Cleanup() { qDeleteAll(list); }
    } cleanup{items};
    DMetaPropertyList list = qobject_cast<DGraphicsItem*>(items.first())->properties();
    for (int i = 1; i < items.size(); ++i)
        list.intersect(qobject_cast<DGraphicsItem*>(items.at(i))->properties());
    QCOMPARE(names(list.shown()), shown);
    QVERIFY(list.hidden().isEmpty());
}

QTEST_MAIN(tst_DMetaProperty)
#include "tst_DMetaProperty.moc"
