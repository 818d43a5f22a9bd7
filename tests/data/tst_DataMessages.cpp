#include <QtTest>

#include "data.pb.h"

using google::protobuf::Descriptor;
using google::protobuf::FieldDescriptor;
using namespace DFileFormat;

class tst_DataMessages : public QObject
{
    Q_OBJECT

private slots:
    void schemaFields_data();
    void schemaFields();
    void enumValues_data();
    void enumValues();
    void newGraphicsItemDefaults();
    void newFontAndTextDefaults();
    void newPolylineIsEmptyAndOpen();
    void absentVectorsReadAsZero();
    void enumSettersAcceptDeclaredValuesOnly();
    void copyFromKeepsValuesAndPointOrder();
};

void tst_DataMessages::schemaFields_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("repeated");

    auto row = [](const char* message, const char* field, int number, const char* type,
                  bool repeated = false) {
        QTest::newRow(qPrintable(QString("%1.%2").arg(message, field)))
            << QString(message) << QString(field) << number << QString(type) << repeated;
    };
    row("Vector2D", "x", 1, "double");
    row("Vector2D", "y", 2, "double");
    row("Vector3D", "x", 1, "double");
    row("Vector3D", "y", 2, "double");
    row("Vector3D", "z", 3, "double");
    row("Vector4D", "x", 1, "double");
    row("Vector4D", "y", 2, "double");
    row("Vector4D", "z", 3, "double");
    row("Vector4D", "w", 4, "double");
    row("Rect", "origin", 1, "DFileFormat.Vector2D");
    row("Rect", "dimension", 2, "DFileFormat.Vector2D");
    row("Rect", "round", 3, "DFileFormat.Vector2D");
    row("Box", "origin", 1, "DFileFormat.Vector3D");
    row("Box", "dimension", 2, "DFileFormat.Vector3D");
    row("Image", "width", 1, "int32");
    row("Image", "height", 2, "int32");
    row("Image", "format", 3, "int32");
    row("Image", "data", 4, "bytes");
    row("NamedImage", "uuid", 1, "string");
    row("NamedImage", "image", 2, "DFileFormat.Image");
    row("LinearGradient", "type", 1, "DFileFormat.LinearGradient.Type");
    row("GlobalResource", "images", 1, "DFileFormat.NamedImage", true);
    row("Paint", "type", 1, "DFileFormat.Paint.Type");
    row("Paint", "color", 2, "uint32");
    row("Paint", "uri", 3, "string");
    row("Matrix4x4", "col1", 1, "DFileFormat.Vector4D");
    row("Matrix4x4", "col2", 2, "DFileFormat.Vector4D");
    row("Matrix4x4", "col3", 3, "DFileFormat.Vector4D");
    row("Matrix4x4", "col4", 4, "DFileFormat.Vector4D");
    row("PathData", "type", 1, "DFileFormat.PathData.PathDataType");
    row("PathData", "data", 2, "DFileFormat.Vector3D", true);
    row("Path", "data", 1, "DFileFormat.PathData", true);
    row("GraphicsItem", "description", 1, "string");
    row("GraphicsItem", "visible", 2, "bool");
    row("GraphicsItem", "opacity", 3, "float");
    row("GraphicsItem", "translation", 4, "DFileFormat.Vector3D");
    row("GraphicsItem", "rotation", 5, "DFileFormat.Vector3D");
    row("GraphicsItem", "scale", 6, "DFileFormat.Vector3D");
    row("GraphicsItem", "fill", 7, "DFileFormat.Paint");
    row("GraphicsItem", "fillRule", 8, "DFileFormat.GraphicsItem.FillRule");
    row("GraphicsItem", "fillOpacity", 9, "float");
    row("GraphicsItem", "stroke", 10, "DFileFormat.Paint");
    row("GraphicsItem", "storkeOpacity", 11, "float");
    row("GraphicsItem", "strokeWidth", 12, "float");
    row("GraphicsItem", "lineCap", 13, "DFileFormat.GraphicsItem.LineCap");
    row("GraphicsItem", "lineJoin", 14, "DFileFormat.GraphicsItem.LineJoin");
    row("GraphicsItem", "unit", 15, "string");
    row("GraphicsItemLine", "start", 1, "DFileFormat.Vector3D");
    row("GraphicsItemLine", "end", 2, "DFileFormat.Vector3D");
    row("GraphicsItemRectangle", "origin", 1, "DFileFormat.Vector2D");
    row("GraphicsItemRectangle", "dimension", 2, "DFileFormat.Vector2D");
    row("GraphicsItemRectangle", "round", 3, "DFileFormat.Vector2D");
    row("GraphicsItemPolyline", "points", 1, "DFileFormat.Vector2D", true);
    row("GraphicsItemPolyline", "closed", 2, "bool");
    row("Font", "family", 1, "string");
    row("Font", "size", 2, "int32");
    row("Font", "style", 3, "int32");
    row("GraphicsItemText", "format", 1, "DFileFormat.GraphicsItemText.TextFormat");
    row("GraphicsItemText", "text", 2, "string");
    row("GraphicsItemText", "font", 3, "DFileFormat.Font");
    row("GraphicsItemText", "color", 4, "uint32");
    row("GraphicsContent", "description", 1, "string");
}

void tst_DataMessages::schemaFields()
{
    QFETCH(QString, message);
    QFETCH(QString, field);
    QFETCH(int, number);
    QFETCH(QString, type);
    QFETCH(bool, repeated);

    const Descriptor* descriptor = GraphicsItem::descriptor()->file()->pool()->FindMessageTypeByName(
        ("DFileFormat." + message).toStdString());
    QVERIFY(descriptor);
    const FieldDescriptor* f = descriptor->FindFieldByName(field.toStdString());
    QVERIFY(f);
    QCOMPARE(f->number(), number);
    QCOMPARE(f->is_repeated(), repeated);
    QCOMPARE(f->is_optional(), !repeated);
    QString actualType;
    if (f->message_type())
        actualType = QString::fromStdString(f->message_type()->full_name());
    else if (f->enum_type())
        actualType = QString::fromStdString(f->enum_type()->full_name());
    else
        actualType = QString::fromLatin1(f->type_name());
    QCOMPARE(actualType, type);
}

void tst_DataMessages::enumValues_data()
{
    QTest::addColumn<QString>("enumName");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int> >("values");
    QTest::newRow("LinearGradient.Type") << "LinearGradient.Type" << QStringList{"linear", "radial"}
                                         << QList<int>{0, 1};
    QTest::newRow("Paint.Type") << "Paint.Type" << QStringList{"none", "byColor", "byURI"}
                                << QList<int>{0, 1, 2};
    QTest::newRow("PathData.PathDataType")
        << "PathData.PathDataType" << QStringList{"moveto", "lineto", "curveto", "quadto", "arcto"}
        << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("GraphicsItem.FillRule") << "GraphicsItem.FillRule"
                                           << QStringList{"nonzero", "evenodd", "fillInherit"}
                                           << QList<int>{0, 1, 2};
    QTest::newRow("GraphicsItem.LineCap")
        << "GraphicsItem.LineCap" << QStringList{"capButt", "capRound", "capSquare", "capInherit"}
        << QList<int>{0, 1, 2, 3};
    QTest::newRow("GraphicsItem.LineJoin")
        << "GraphicsItem.LineJoin" << QStringList{"joinMiter", "joinRound", "joinBevel", "joinInherit"}
        << QList<int>{0, 1, 2, 3};
    QTest::newRow("Font.Style")
        << "Font.Style" << QStringList{"Bold", "Italic", "Underline", "Strikeout", "Kerning", "Antialias"}
        << QList<int>{1, 2, 4, 8, 16, 32};
    QTest::newRow("GraphicsItemText.TextFormat") << "GraphicsItemText.TextFormat"
                                                 << QStringList{"Plain", "Html"} << QList<int>{0, 1};
}

void tst_DataMessages::enumValues()
{
    QFETCH(QString, enumName);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, values);
    const auto* descriptor = GraphicsItem::descriptor()->file()->pool()->FindEnumTypeByName(
        ("DFileFormat." + enumName).toStdString());
    QVERIFY(descriptor);
    QCOMPARE(descriptor->value_count(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(QString::fromStdString(descriptor->value(i)->name()), names.at(i));
        QCOMPARE(descriptor->value(i)->number(), values.at(i));
    }
}

void tst_DataMessages::newGraphicsItemDefaults()
{
    const GraphicsItem item;
    QVERIFY(item.visible());
    QCOMPARE(item.opacity(), 1.0f);
    QCOMPARE(item.fillopacity(), 1.0f);
    QCOMPARE(item.storkeopacity(), 1.0f);
    QCOMPARE(item.strokewidth(), 1.0f);
    QCOMPARE(item.fillrule(), GraphicsItem::nonzero);
    QCOMPARE(item.linecap(), GraphicsItem::capButt);
    QCOMPARE(item.linejoin(), GraphicsItem::joinMiter);
    QCOMPARE(QString::fromStdString(item.unit()), QStringLiteral("px"));
    QVERIFY(item.description().empty());
    QCOMPARE(item.fill().type(), Paint::none);
    QCOMPARE(item.fill().color(), 0xFF000000u);
    QCOMPARE(item.stroke().type(), Paint::none);
    QCOMPARE(item.stroke().color(), 0xFF000000u);
    QVERIFY(item.stroke().uri().empty());
    // Defaults are read, not stored.
    QVERIFY(!item.has_visible());
    QVERIFY(!item.has_fill());
    QVERIFY(!item.has_unit());
}

void tst_DataMessages::newFontAndTextDefaults()
{
    const Font font;
    QCOMPARE(font.size(), 8);
    QCOMPARE(font.style(), 32);
    QCOMPARE(font.style(), int(Font::Antialias));
    QVERIFY(font.family().empty());

    const GraphicsItemText text;
    QCOMPARE(text.format(), GraphicsItemText::Plain);
    QCOMPARE(text.color(), 0xFF000000u);
    QVERIFY(text.text().empty());
    QCOMPARE(text.font().size(), 8);
}

void tst_DataMessages::newPolylineIsEmptyAndOpen()
{
    const GraphicsItemPolyline polyline;
    QCOMPARE(polyline.points_size(), 0);
    QVERIFY(!polyline.closed());
}

void tst_DataMessages::absentVectorsReadAsZero()
{
    const GraphicsItemLine line;
    QVERIFY(!line.has_start());
    QCOMPARE(line.start().x(), 0.0);
    QCOMPARE(line.end().z(), 0.0);
    const GraphicsItemRectangle rectangle;
    QCOMPARE(rectangle.dimension().y(), 0.0);
    const Image image;
    QCOMPARE(image.width(), 0);
    QVERIFY(image.data().empty());
}

void tst_DataMessages::enumSettersAcceptDeclaredValuesOnly()
{
    QVERIFY(Paint_Type_IsValid(2));
    QVERIFY(!Paint_Type_IsValid(3));
    QVERIFY(GraphicsItem_LineJoin_IsValid(3));
    QVERIFY(!GraphicsItem_LineJoin_IsValid(-1));
    QVERIFY(Font_Style_IsValid(16));
    QVERIFY(!Font_Style_IsValid(3));
    QVERIFY(GraphicsItemText_TextFormat_IsValid(1));
    QVERIFY(!GraphicsItemText_TextFormat_IsValid(2));
}

void tst_DataMessages::copyFromKeepsValuesAndPointOrder()
{
    GraphicsItem item;
    item.set_description("arrow");
    item.set_visible(false);
    item.set_opacity(0.25f);
    item.mutable_translation()->set_x(3);
    item.mutable_fill()->set_type(Paint::byURI);
    item.mutable_fill()->set_uri("{uuid}");
    item.set_storkeopacity(0.5f);
    item.set_linecap(GraphicsItem::capRound);
    GraphicsItem itemCopy;
    itemCopy.CopyFrom(item);
    QCOMPARE(itemCopy.SerializeAsString(), item.SerializeAsString());
    QCOMPARE(QString::fromStdString(itemCopy.description()), QStringLiteral("arrow"));
    QVERIFY(!itemCopy.visible());
    QCOMPARE(itemCopy.translation().x(), 3.0);
    QCOMPARE(itemCopy.fill().type(), Paint::byURI);
    QCOMPARE(QString::fromStdString(itemCopy.fill().uri()), QStringLiteral("{uuid}"));
    QCOMPARE(itemCopy.storkeopacity(), 0.5f);
    QCOMPARE(itemCopy.linecap(), GraphicsItem::capRound);

    GraphicsItemPolyline polyline;
    for (int i = 0; i < 5; ++i) {
        Vector2D* point = polyline.add_points();
        point->set_x(i);
        point->set_y(10 - i);
    }
    polyline.set_closed(true);
    GraphicsItemPolyline polylineCopy;
    polylineCopy.mutable_points()->Add(); // whatever was there before goes
    polylineCopy.CopyFrom(polyline);
    QCOMPARE(polylineCopy.points_size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(polylineCopy.points(i).x(), double(i));
        QCOMPARE(polylineCopy.points(i).y(), double(10 - i));
    }
    QVERIFY(polylineCopy.closed());
}

QTEST_GUILESS_MAIN(tst_DataMessages)
#include "tst_DataMessages.moc"
