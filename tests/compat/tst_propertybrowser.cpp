// The property-browser layer: managers keep values and tell the tree, the
// tree follows sub-properties and destruction, and the factory's editors
// write through their manager.
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <limits>

#include "DPropertyTreeProbe.h"
#include "QtBrowserItem.h"
#include "QtProperty.h"
#include "QtTreePropertyBrowser.h"
#include "QtVariantEditorFactory.h"
#include "QtVariantProperty.h"
#include "QtVariantPropertyManager.h"

namespace {

// A manager, its editor factory and a shown, active tree browser.
struct Browser
{
    Browser()
        : manager(new QtVariantPropertyManager)
        , factory(new QtVariantEditorFactory)
        , browser(new QtTreePropertyBrowser)
        , probe(browser.data())
    {
        browser->setFactoryForManager(manager.data(), factory.data());
        browser->resize(400, 300);
        browser->show();
        if (!QTest::qWaitForWindowActive(browser.data()))
            qWarning("the browser did not become active; editor tests will fail");
    }

    QScopedPointer<QtVariantPropertyManager> manager;
    QScopedPointer<QtVariantEditorFactory> factory;
    QScopedPointer<QtTreePropertyBrowser> browser;
    DPropertyTreeProbe probe;
};

} // namespace

class tst_propertybrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // values in the manager
    void valueShowsInTreeAndIsSignalledOnce_data();
    void valueShowsInTreeAndIsSignalledOnce();
    void valuesThatCannotBeReadChangeNothing();
    void minimumAndMaximumBoundTheValue();
    void unsupportedTypesMakeNoProperty_data();
    void unsupportedTypesMakeNoProperty();
    void colourAndFontHavePartsAsSubProperties_data();
    void colourAndFontHavePartsAsSubProperties();
    void settingAPartSetsItsOwner_data();
    void settingAPartSetsItsOwner();
    void partsGoWithTheirOwner();
    void enumerationIsAnIndexIntoItsNames();

    // structure and destruction
    void subPropertiesShowUnderTheirParent();
    void subPropertiesCannotMakeALoop();
    void deletingAPropertyDetachesItEverywhere();
    void clearDestroysEveryProperty();
    void managerDestroyedBeforeTheBrowser();
    void browserDestroyedBeforeTheManager();

    // expansion
    void expandingAndCollapsingAreReported();

    // editors
    void disabledRowsOpenNoEditor();
    void spinBoxEditorWritesTheValue();
    void lineEditorWritesOnlyWhatWasTyped();
    void checkBoxEditorWritesTheValue();
    void colourEditorWritesTheChosenColour();
    void openEditorFollowsTheValue();
    void factoryStopsServingARemovedManager();
    void enumerationEditorIsAList();
};

void tst_propertybrowser::initTestCase()
{
    qRegisterMetaType<QtProperty*>();
    qRegisterMetaType<QtBrowserItem*>();
}

void tst_propertybrowser::valueShowsInTreeAndIsSignalledOnce_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    // A bool shows its check box only.
    QTest::newRow("bool") << int(QVariant::Bool) << QVariant(true) << "";
    QTest::newRow("int") << int(QVariant::Int) << QVariant(-7) << "-7";
    QTest::newRow("double") << int(QVariant::Double) << QVariant(2.5) << "2.50";
    QTest::newRow("string") << int(QVariant::String) << QVariant("hello") << "hello";
    QTest::newRow("colour") << int(QVariant::Color) << QVariant(QColor(255, 0, 0)) << "#ff0000";
    QTest::newRow("translucent colour") << int(QVariant::Color) << QVariant(QColor(255, 0, 0, 128)) << "#80ff0000";
    QTest::newRow("font") << int(QVariant::Font) << QVariant(QFont("Serif", 14)) << "Serif, 14 pt";
    // A size reads in full, however large or fine it is.
    QTest::newRow("font, large size") << int(QVariant::Font) << QVariant(QFont("Serif", 12345678))
                                      << "Serif, 12345678 pt";
    QFont fine("Serif");
    fine.setPointSizeF(10.25);
    QTest::newRow("font, fractional size") << int(QVariant::Font) << QVariant(fine) << "Serif, 10.25 pt";
    QFont pixels("Serif");
    pixels.setPixelSize(20);
    QTest::newRow("font in pixels") << int(QVariant::Font) << QVariant(pixels) << "Serif, 20 px";
}

void tst_propertybrowser::valueShowsInTreeAndIsSignalledOnce()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    Browser b;
    QtVariantProperty* property = b.manager->addProperty(type, "Name");
    QVERIFY(property);
    QCOMPARE(property->propertyType(), type);
    b.browser->addProperty(property);
    QSignalSpy values(b.manager.data(), &QtVariantPropertyManager::valueChanged);
    QSignalSpy changes(b.manager.data(), &QtAbstractPropertyManager::propertyChanged);
    // The property's own signals; a colour's or font's sub-properties have
    // theirs.
    const auto ofProperty = [property](const QSignalSpy& spy) {
        QList<QVariantList> own;
        for (const QVariantList& arguments : spy) {
            if (arguments.at(0).value<QtProperty*>() == property)
                own.append(arguments);
        }
        return own;
    };

    b.manager->setValue(property, value);
    QCOMPARE(ofProperty(values).count(), 1);
    QCOMPARE(ofProperty(values).at(0).at(1), value);
    QCOMPARE(ofProperty(changes).count(), 1);
    QCOMPARE(property->value(), value);
    QCOMPARE(b.probe.value("Name"), text);
    QCOMPARE(b.probe.checkState("Name"), type == QVariant::Bool ? int(Qt::Checked) : -1);
    QCOMPARE(b.probe.row("Name")->icon(1).isNull(), type != QVariant::Bool && type != QVariant::Color);

    // The same value again is no change.
    values.clear();
    changes.clear();
    b.manager->setValue(property, value);
    property->setValue(value);
    QCOMPARE(values.count(), 0);
    QCOMPARE(changes.count(), 0);
}

void tst_propertybrowser::valuesThatCannotBeReadChangeNothing()
{
    QtVariantPropertyManager manager;
    QtVariantPropertyManager other;
    QtVariantProperty* number = manager.addProperty(QVariant::Int, "Number");
    QtVariantProperty* ratio = manager.addProperty(QVariant::Double, "Ratio");
    QtProperty* heading = manager.addProperty("Heading");
    QtVariantProperty* foreign = other.addProperty(QVariant::Int, "Foreign");
    number->setValue(3);
    ratio->setValue(0.5);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);

    manager.setValue(number, "three");
    manager.setValue(number, QVariant());
    manager.setValue(ratio, std::numeric_limits<double>::quiet_NaN());
    manager.setValue(ratio, std::numeric_limits<double>::infinity());
    manager.setValue(ratio, "inf");
    manager.setValue(heading, 5);
    manager.setValue(foreign, 5);
    manager.setValue(nullptr, 5);

    QCOMPARE(values.count(), 0);
    QCOMPARE(number->value(), QVariant(3));
    QCOMPARE(ratio->value(), QVariant(0.5));
    QCOMPARE(foreign->value(), QVariant(0));
    QVERIFY(!heading->hasValue());
    QCOMPARE(heading->valueText(), QString());
}

void tst_propertybrowser::minimumAndMaximumBoundTheValue()
{
    QtVariantPropertyManager manager;
    QtVariantProperty* width = manager.addProperty(QVariant::Int, "Width");
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    width->setAttribute("minimum", 0);
    width->setAttribute("maximum", 10);
    width->setValue(-5);
    QCOMPARE(width->value(), QVariant(0));
    width->setValue(50);
    QCOMPARE(width->value(), QVariant(10));

    // A tighter bound moves the value in, and says so.
    values.clear();
    width->setAttribute("maximum", 5);
    QCOMPARE(width->value(), QVariant(5));
    QCOMPARE(values.count(), 1);
    // A minimum above the maximum takes the maximum along.
    width->setAttribute("minimum", 8);
    QCOMPARE(width->attributeValue("maximum"), QVariant(8));
    QCOMPARE(width->value(), QVariant(8));

    QtVariantProperty* opacity = manager.addProperty(QVariant::Double, "Opacity");
    opacity->setAttribute("minimum", 0.0);
    opacity->setAttribute("maximum", 1.0);
    opacity->setValue(1.5);
    QCOMPARE(opacity->value(), QVariant(1.0));
    opacity->setValue(0.25);
    QCOMPARE(opacity->value(), QVariant(0.25));

    // Attributes a type does not take are ignored.
    QtVariantProperty* colour = manager.addProperty(QVariant::Color, "Colour");
    colour->setAttribute("colorNoFill", true);
    colour->setAttribute("minimum", 1);
    QCOMPARE(colour->attributeValue("colorNoFill"), QVariant());
    QCOMPARE(colour->attributeValue("minimum"), QVariant());
    opacity->setAttribute("minimum", "low");
    QCOMPARE(opacity->attributeValue("minimum"), QVariant(0.0));
}

void tst_propertybrowser::unsupportedTypesMakeNoProperty_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("vector 3D") << int(QVariant::Vector3D);
    QTest::newRow("vector 4D") << int(QVariant::Vector4D);
    QTest::newRow("point") << int(QVariant::PointF);
    QTest::newRow("invalid") << int(QVariant::Invalid);
    QTest::newRow("unknown number") << 123456;
}

void tst_propertybrowser::unsupportedTypesMakeNoProperty()
{
    QFETCH(int, type);
    QtVariantPropertyManager manager;
    QVERIFY(!manager.isPropertyTypeSupported(type));
    QCOMPARE(manager.addProperty(type, "Name"), nullptr);
    QVERIFY(manager.properties().isEmpty());
}

void tst_propertybrowser::colourAndFontHavePartsAsSubProperties_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("parts");
    QFont font("Serif", 14);
    font.setItalic(true);
    font.setStrikeOut(true);
    QTest::newRow("colour") << QVariant(QColor(10, 20, 30, 40))
                            << QStringList({"Red=10", "Green=20", "Blue=30", "Alpha=40"});
    QTest::newRow("font") << QVariant(font)
                          << QStringList({"Family=Serif", "Point Size=14", "Bold=", "Italic=", "Underline=",
                                          "Strikeout="});
}

void tst_propertybrowser::colourAndFontHavePartsAsSubProperties()
{
    QFETCH(QVariant, value);
    QFETCH(QStringList, parts);
    Browser b;
    QtVariantProperty* property = b.manager->addProperty(value.type(), "Name");
    property->setValue(value);
    b.browser->addProperty(property);
    QStringList shown;
    for (const QtProperty* part : property->subProperties())
        shown << part->propertyName() + "=" + part->valueText();
    QCOMPARE(shown, parts);
    QStringList rows = b.probe.rows();
    QCOMPARE(rows.takeFirst(), "Name=" + property->valueText());
    QCOMPARE(rows, QStringList(parts).replaceInStrings(QRegularExpression("^"), "  "));
    if (value.type() == QVariant::Font) {
        const QStringList states = {"Bold", "Italic", "Underline", "Strikeout"};
        QList<int> checked;
        for (const QString& state : states)
            checked << b.probe.checkState("Name/" + state);
        QCOMPARE(checked, QList<int>({Qt::Unchecked, Qt::Checked, Qt::Unchecked, Qt::Checked}));
    }
}

void tst_propertybrowser::settingAPartSetsItsOwner_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<QVariant>("partValue");
    QTest::addColumn<QVariant>("result");
    const QColor colour(10, 20, 30);
    QTest::newRow("red") << QVariant(colour) << "Red" << QVariant(10) << QVariant(200)
                         << QVariant(QColor(200, 20, 30));
    QTest::newRow("alpha") << QVariant(colour) << "Alpha" << QVariant(255) << QVariant(0)
                           << QVariant(QColor(10, 20, 30, 0));
    QTest::newRow("channel out of range") << QVariant(colour) << "Blue" << QVariant(30) << QVariant(300)
                                          << QVariant(QColor(10, 20, 255));
    const QFont font("Serif", 14);
    QFont bold = font;
    bold.setBold(true);
    QFont larger = font;
    larger.setPointSize(20);
    QFont underlined = font;
    underlined.setUnderline(true);
    QTest::newRow("bold") << QVariant(font) << "Bold" << QVariant(false) << QVariant(true) << QVariant(bold);
    QTest::newRow("point size") << QVariant(font) << "Point Size" << QVariant(14) << QVariant(20)
                                << QVariant(larger);
    QTest::newRow("underline") << QVariant(font) << "Underline" << QVariant(false) << QVariant(true)
                               << QVariant(underlined);
}

void tst_propertybrowser::settingAPartSetsItsOwner()
{
    QFETCH(QVariant, value);
    QFETCH(QString, part);
    QFETCH(QVariant, before);
    QFETCH(QVariant, partValue);
    QFETCH(QVariant, result);
    QtVariantPropertyManager manager;
    QtVariantProperty* owner = manager.addProperty(value.type(), "Owner");
    owner->setValue(value);
    QtVariantProperty* sub = nullptr;
    for (QtProperty* candidate : owner->subProperties()) {
        if (candidate->propertyName() == part)
            sub = static_cast<QtVariantProperty*>(candidate);
    }
    QVERIFY(sub);
    QCOMPARE(sub->value(), before);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);

    sub->setValue(partValue);
    QCOMPARE(owner->value(), result);
    // The part shows its new value before the owner's change is told, so
    // that whoever hears of the owner finds its parts agreeing.
    QCOMPARE(values.count(), 2);
    QCOMPARE(values.at(0).at(0).value<QtProperty*>(), sub);
    QCOMPARE(values.at(1).at(0).value<QtProperty*>(), owner);
    QCOMPARE(values.at(1).at(1), result);

    // The owner set as a whole shows in its parts.
    owner->setValue(value);
    QCOMPARE(sub->value(), before);
}

void tst_propertybrowser::partsGoWithTheirOwner()
{
    Browser b;
    QtVariantProperty* colour = b.manager->addProperty(QVariant::Color, "Colour");
    QtVariantProperty* font = b.manager->addProperty(QVariant::Font, "Font");
    QCOMPARE(b.manager->properties().count(), 2 + 4 + 6);
    b.browser->addProperty(colour);
    b.browser->addProperty(font);

    // A part deleted on its own leaves its owner working.
    delete colour->subProperties().at(1);
    QCOMPARE(colour->subProperties().count(), 3);
    colour->setValue(QColor(1, 2, 3));
    QCOMPARE(colour->subProperties().at(1)->valueText(), QStringLiteral("3"));
    QCOMPARE(b.probe.value("Colour/Blue"), QStringLiteral("3"));

    delete colour;
    QCOMPARE(b.manager->properties().count(), 1 + 6);
    delete font;
    QVERIFY(b.manager->properties().isEmpty());
    QCOMPARE(b.probe.tree()->topLevelItemCount(), 0);
}

void tst_propertybrowser::enumerationIsAnIndexIntoItsNames()
{
    QtVariantPropertyManager manager;
    QVERIFY(manager.isPropertyTypeSupported(QtVariantPropertyManager::enumTypeId()));
    QtVariantProperty* choice = manager.addProperty(QtVariantPropertyManager::enumTypeId(), "Choice");
    QVERIFY(choice);
    // Without names there is nothing to choose.
    choice->setValue(1);
    QCOMPARE(choice->value(), QVariant(0));
    QCOMPARE(choice->valueText(), QString());

    choice->setAttribute("enumNames", QStringList({"one", "two", "three"}));
    QCOMPARE(choice->attributeValue("enumNames"), QVariant(QStringList({"one", "two", "three"})));
    choice->setValue(2);
    QCOMPARE(choice->valueText(), QStringLiteral("three"));
    choice->setValue(9);
    QCOMPARE(choice->value(), QVariant(2));
    choice->setValue("first");
    QCOMPARE(choice->value(), QVariant(2));
    // Fewer names take the index along.
    choice->setAttribute("enumNames", QStringList({"one", "two"}));
    QCOMPARE(choice->value(), QVariant(1));
    QCOMPARE(choice->valueText(), QStringLiteral("two"));
}

void tst_propertybrowser::enumerationEditorIsAList()
{
    Browser b;
    QtVariantProperty* choice = b.manager->addProperty(QtVariantPropertyManager::enumTypeId(), "Choice");
    choice->setAttribute("enumNames", QStringList({"one", "two", "three"}));
    choice->setValue(1);
    b.browser->addProperty(choice);
    QComboBox* list = qobject_cast<QComboBox*>(b.probe.openEditor("Choice"));
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentText(), QStringLiteral("two"));
    QTRY_VERIFY(list->hasFocus());
    QVERIFY(b.probe.press(Qt::Key_Down));
    QCOMPARE(choice->value(), QVariant(2));
    QCOMPARE(b.probe.value("Choice"), QStringLiteral("three"));
    choice->setValue(0);
    QCOMPARE(list->currentText(), QStringLiteral("one"));
}

void tst_propertybrowser::subPropertiesShowUnderTheirParent()
{
    Browser b;
    QtProperty* group = b.manager->addProperty("Group");
    QtVariantProperty* a = b.manager->addProperty(QVariant::Int, "A");
    QtVariantProperty* c = b.manager->addProperty(QVariant::String, "C");
    group->addSubProperty(a);
    QtBrowserItem* item = b.browser->addProperty(group);
    QVERIFY(item);
    QCOMPARE(item->property(), group);
    QCOMPARE(item->children().count(), 1);
    QCOMPARE(item->children().at(0)->parent(), item);
    QCOMPARE(b.browser->addProperty(group), item);

    // A sub-property added later shows too, and values reach the sub-rows.
    group->addSubProperty(c);
    a->setValue(4);
    c->setValue("x");
    QCOMPARE(b.probe.rows(), QStringList({"Group=", "  A=4", "  C=x"}));
    QCOMPARE(b.browser->properties(), QList<QtProperty*>({group}));
}

void tst_propertybrowser::subPropertiesCannotMakeALoop()
{
    Browser b;
    QtProperty* a = b.manager->addProperty("A");
    QtProperty* c = b.manager->addProperty("C");
    QtProperty* d = b.manager->addProperty("D");
    a->addSubProperty(c);
    c->addSubProperty(d);
    d->addSubProperty(a);
    c->addSubProperty(a);
    a->addSubProperty(a);
    a->addSubProperty(c);
    a->addSubProperty(nullptr);
    QCOMPARE(a->subProperties(), QList<QtProperty*>({c}));
    QCOMPARE(c->subProperties(), QList<QtProperty*>({d}));
    QVERIFY(d->subProperties().isEmpty());
    b.browser->addProperty(a);
    QCOMPARE(b.probe.rows(), QStringList({"A=", "  C=", "    D="}));
}

void tst_propertybrowser::deletingAPropertyDetachesItEverywhere()
{
    Browser b;
    QtProperty* group = b.manager->addProperty("Group");
    QtVariantProperty* a = b.manager->addProperty(QVariant::Int, "A");
    QtVariantProperty* c = b.manager->addProperty(QVariant::Int, "C");
    group->addSubProperty(a);
    group->addSubProperty(c);
    b.browser->addProperty(group);
    b.browser->addProperty(c);
    QSignalSpy destroyed(b.manager.data(), &QtAbstractPropertyManager::propertyDestroyed);

    delete a;
    QCOMPARE(destroyed.count(), 1);
    QCOMPARE(group->subProperties(), QList<QtProperty*>({c}));
    QCOMPARE(b.probe.rows(), QStringList({"Group=", "  C=0", "C=0"}));

    // The parent goes; its sub-property stays with its manager and keeps
    // its own top-level row.
    delete group;
    QCOMPARE(b.manager->properties(), QList<QtProperty*>({c}));
    QCOMPARE(b.probe.rows(), QStringList({"C=0"}));
    c->setValue(9);
    QCOMPARE(b.probe.rows(), QStringList({"C=9"}));
}

void tst_propertybrowser::clearDestroysEveryProperty()
{
    Browser b;
    QtProperty* group = b.manager->addProperty("Group");
    QtProperty* a = b.manager->addProperty(QVariant::Bool, "A");
    b.manager->addProperty(QVariant::Font, "F");
    group->addSubProperty(a);
    b.browser->addProperty(group);
    QSignalSpy destroyed(b.manager.data(), &QtAbstractPropertyManager::propertyDestroyed);

    b.manager->clear();
    // The font's six sub-properties go too.
    QCOMPARE(destroyed.count(), 3 + 6);
    QVERIFY(b.manager->properties().isEmpty());
    QVERIFY(b.browser->properties().isEmpty());
    QVERIFY(b.browser->topLevelItems().isEmpty());
    QCOMPARE(b.probe.tree()->topLevelItemCount(), 0);
}

void tst_propertybrowser::managerDestroyedBeforeTheBrowser()
{
    Browser b;
    QtProperty* number = b.manager->addProperty(QVariant::Int, "Number");
    b.browser->addProperty(number);
    QVERIFY(qobject_cast<QSpinBox*>(b.probe.openEditor("Number")));

    b.manager.reset();
    QCOMPARE(b.probe.tree()->topLevelItemCount(), 0);
    QVERIFY(b.browser->properties().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(b.probe.openEditorWidget(), nullptr);

    // A new manager and factory pair works with the same browser.
    QtVariantPropertyManager next;
    b.browser->setFactoryForManager(&next, b.factory.data());
    b.browser->addProperty(next.addProperty(QVariant::Int, "Next"));
    QVERIFY(qobject_cast<QSpinBox*>(b.probe.openEditor("Next")));
}

void tst_propertybrowser::browserDestroyedBeforeTheManager()
{
    Browser b;
    QtVariantProperty* number = b.manager->addProperty(QVariant::Int, "Number");
    b.browser->addProperty(number);
    QVERIFY(b.probe.openEditor("Number"));
    b.browser.reset();
    number->setValue(2);
    QCOMPARE(number->valueText(), QStringLiteral("2"));
    b.factory.reset();
    b.manager->clear();
    QVERIFY(b.manager->properties().isEmpty());
}

void tst_propertybrowser::expandingAndCollapsingAreReported()
{
    Browser b;
    QtProperty* group = b.manager->addProperty("Group");
    group->addSubProperty(b.manager->addProperty(QVariant::Int, "A"));
    QtBrowserItem* item = b.browser->addProperty(group);
    QSignalSpy expanded(b.browser.data(), &QtTreePropertyBrowser::expanded);
    QSignalSpy collapsed(b.browser.data(), &QtTreePropertyBrowser::collapsed);
    QVERIFY(!b.browser->isExpanded(item));

    // The user opens the row from the keyboard.
    b.probe.tree()->setFocus();
    b.probe.tree()->setCurrentItem(b.probe.row("Group"), 0);
    QTest::keyClick(b.probe.tree(), Qt::Key_Right);
    QCOMPARE(expanded.count(), 1);
    QCOMPARE(expanded.at(0).at(0).value<QtBrowserItem*>(), item);
    QVERIFY(b.browser->isExpanded(item));

    b.browser->setExpanded(item, false);
    QCOMPARE(collapsed.count(), 1);
    QVERIFY(!b.browser->isExpanded(item));

    // Rows that go are not collapsed by the user.
    b.browser->setExpanded(item, true);
    QCOMPARE(expanded.count(), 2);
    b.browser->clear();
    QCOMPARE(collapsed.count(), 1);
    QCOMPARE(b.probe.tree()->topLevelItemCount(), 0);
}

void tst_propertybrowser::disabledRowsOpenNoEditor()
{
    Browser b;
    QtProperty* group = b.manager->addProperty("Group");
    QtVariantProperty* inner = b.manager->addProperty(QVariant::Int, "Inner");
    QtVariantProperty* lone = b.manager->addProperty(QVariant::Int, "Lone");
    group->addSubProperty(inner);
    b.browser->addProperty(group);
    b.browser->addProperty(lone);

    lone->setEnabled(false);
    group->setEnabled(false);
    QVERIFY(!b.probe.isEnabled("Lone"));
    QVERIFY(!b.probe.isEnabled("Group/Inner"));
    QCOMPARE(b.probe.openEditor("Lone"), nullptr);
    QCOMPARE(b.probe.openEditor("Group/Inner"), nullptr);
    // A heading has no value to edit.
    group->setEnabled(true);
    QCOMPARE(b.probe.openEditor("Group"), nullptr);

    lone->setEnabled(true);
    QVERIFY(b.probe.isEnabled("Group/Inner"));
    QVERIFY(qobject_cast<QSpinBox*>(b.probe.openEditor("Lone")));
    QVERIFY(qobject_cast<QSpinBox*>(b.probe.openEditor("Group/Inner")));
}

void tst_propertybrowser::spinBoxEditorWritesTheValue()
{
    Browser b;
    QtVariantProperty* width = b.manager->addProperty(QVariant::Int, "Width");
    width->setAttribute("minimum", 0);
    width->setAttribute("maximum", 50);
    QtVariantProperty* ratio = b.manager->addProperty(QVariant::Double, "Ratio");
    b.browser->addProperty(width);
    b.browser->addProperty(ratio);
    QSignalSpy values(b.manager.data(), &QtVariantPropertyManager::valueChanged);

    QSpinBox* spin = qobject_cast<QSpinBox*>(b.probe.openEditor("Width"));
    QVERIFY(spin);
    QCOMPARE(spin->minimum(), 0);
    QCOMPARE(spin->maximum(), 50);
    // Typing commits when the user presses Enter, not at every digit.
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "42");
    QCOMPARE(values.count(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(values.count(), 1);
    QCOMPARE(width->value(), QVariant(42));
    QCOMPARE(b.probe.value("Width"), QStringLiteral("42"));

    QDoubleSpinBox* doubleSpin = qobject_cast<QDoubleSpinBox*>(b.probe.openEditor("Ratio"));
    QVERIFY(doubleSpin);
    QTest::keyClick(doubleSpin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(doubleSpin, "-1234.5");
    QTest::keyClick(doubleSpin, Qt::Key_Return);
    QCOMPARE(ratio->value(), QVariant(-1234.5));
}

void tst_propertybrowser::lineEditorWritesOnlyWhatWasTyped()
{
    Browser b;
    QtVariantProperty* text = b.manager->addProperty(QVariant::String, "Text");
    QtVariantProperty* other = b.manager->addProperty(QVariant::Int, "Other");
    text->setValue("before");
    b.browser->addProperty(text);
    b.browser->addProperty(other);
    QSignalSpy values(b.manager.data(), &QtVariantPropertyManager::valueChanged);

    // Opened and left without typing: nothing is written.
    QLineEdit* edit = qobject_cast<QLineEdit*>(b.probe.openEditor("Text"));
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("before"));
    QVERIFY(b.probe.openEditor("Other"));
    QCOMPARE(values.count(), 0);

    edit = qobject_cast<QLineEdit*>(b.probe.openEditor("Text"));
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "after");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(values.count(), 1);
    QCOMPARE(text->value(), QVariant("after"));
}

void tst_propertybrowser::checkBoxEditorWritesTheValue()
{
    Browser b;
    QtVariantProperty* fill = b.manager->addProperty(QVariant::Bool, "Fill");
    b.browser->addProperty(fill);
    QCOMPARE(b.probe.checkState("Fill"), int(Qt::Unchecked));

    // The click that opens the check box toggles it, wherever it lands on
    // the cell; so does every further click and Space.
    QCheckBox* box = qobject_cast<QCheckBox*>(b.probe.clickValue("Fill", 0.9));
    QVERIFY(box);
    QCOMPARE(fill->value(), QVariant(true));
    QCOMPARE(b.probe.checkState("Fill"), int(Qt::Checked));
    QVERIFY(box->isChecked());
    QCOMPARE(b.probe.clickValue("Fill", 0.1), box);
    QCOMPARE(fill->value(), QVariant(false));
    QTRY_VERIFY(box->hasFocus());
    QVERIFY(b.probe.press(Qt::Key_Space));
    QCOMPARE(fill->value(), QVariant(true));

    // A value set elsewhere shows in the open check box.
    fill->setValue(false);
    QVERIFY(!box->isChecked());
    QCOMPARE(b.probe.checkState("Fill"), int(Qt::Unchecked));
}

void tst_propertybrowser::colourEditorWritesTheChosenColour()
{
    Browser b;
    QtVariantProperty* colour = b.manager->addProperty(QVariant::Color, "Colour");
    colour->setValue(QColor(10, 20, 30));
    b.browser->addProperty(colour);
    QWidget* cell = b.probe.openEditor("Colour");
    QVERIFY(cell);
    QToolButton* choose = cell->findChild<QToolButton*>();
    QVERIFY(choose);

    const QColor chosen(200, 100, 50, 120);
    QColor offered;
    QVERIFY(DPropertyTreeProbe::answerDialog<QColorDialog>(
        [&] { QTest::mouseClick(choose, Qt::LeftButton); },
        [&](QColorDialog* dialog) {
            offered = dialog->currentColor();
            dialog->setCurrentColor(chosen);
            dialog->accept();
        }));
    QCOMPARE(offered.rgba(), QColor(10, 20, 30).rgba());
    QCOMPARE(colour->value().value<QColor>().rgba(), chosen.rgba());
    QCOMPARE(b.probe.value("Colour"), QStringLiteral("#78c86432"));

    // Cancelling changes nothing.
    QVERIFY(DPropertyTreeProbe::answerDialog<QColorDialog>([&] { QTest::mouseClick(choose, Qt::LeftButton); },
                                                           [](QColorDialog* dialog) { dialog->reject(); }));
    QCOMPARE(colour->value().value<QColor>().rgba(), chosen.rgba());

    // Another row's editor takes the place of this one.
    b.browser->addProperty(b.manager->addProperty(QVariant::Int, "Width"));
    QPointer<QWidget> colourCell(cell);
    QVERIFY(qobject_cast<QSpinBox*>(b.probe.openEditor("Width")));
    QVERIFY(!colourCell || !colourCell->isVisible());
}

void tst_propertybrowser::openEditorFollowsTheValue()
{
    Browser b;
    QtVariantProperty* width = b.manager->addProperty(QVariant::Int, "Width");
    b.browser->addProperty(width);
    QSpinBox* spin = qobject_cast<QSpinBox*>(b.probe.openEditor("Width"));
    QVERIFY(spin);
    QSignalSpy values(b.manager.data(), &QtVariantPropertyManager::valueChanged);
    width->setValue(17);
    QCOMPARE(spin->value(), 17);
    // Following the value writes nothing back.
    QCOMPARE(values.count(), 1);
}

void tst_propertybrowser::factoryStopsServingARemovedManager()
{
    Browser b;
    QtVariantProperty* width = b.manager->addProperty(QVariant::Int, "Width");
    QWidget parent;
    QtAbstractEditorFactoryBase* factory = b.factory.data();
    QScopedPointer<QWidget> before(factory->createEditor(width, &parent));
    QSpinBox* spin = qobject_cast<QSpinBox*>(before.data());
    QVERIFY(spin);
    QCOMPARE(b.factory->propertyManagers(), QList<QtVariantPropertyManager*>({b.manager.data()}));

    b.factory->removePropertyManager(b.manager.data());
    QVERIFY(b.factory->propertyManagers().isEmpty());
    QCOMPARE(factory->createEditor(width, &parent), nullptr);
    width->setValue(5);
    QCOMPARE(spin->value(), 0);
}

QTEST_MAIN(tst_propertybrowser)
#include "tst_propertybrowser.moc"
