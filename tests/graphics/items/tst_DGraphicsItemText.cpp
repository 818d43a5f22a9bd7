// The text item: its text state, fonts, layout and the in-place editor.
#include <QContextMenuEvent>
#include <QDialog>
#include <QGraphicsProxyWidget>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtTest>

#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DSceneFixture.h"
#include "QTextEdit_P.h"

namespace {

void sendMouse(QGraphicsScene& scene, QEvent::Type type, const QPointF& at)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(at);
    event.setButton(Qt::LeftButton);
    event.setButtons(type == QEvent::GraphicsSceneMouseRelease ? Qt::NoButton : Qt::LeftButton);
    event.setButtonDownScenePos(Qt::LeftButton, at);
    QCoreApplication::sendEvent(&scene, &event);
}

void click(QGraphicsScene& scene, const QPointF& at)
{
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at);
}

} // namespace

class tst_DGraphicsItemText : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void plainTextUsesTheColourTemplate();
    void colourChangeKeepsTheText_data();
    void colourChangeKeepsTheText();
    void htmlKeepsItsFormat();
    void copyOfEditedHtml();
    void fonts();
    void automaticWidthFollowsText();
    void fixedWidthWraps();
    void textWiderThanItsBoxStaysInItsBounds_data();
    void textWiderThanItsBoxStaysInItsBounds();
    void shapeIsTheWholeRectangle();
    void copyCarriesTheText();
    void copyOfFixedWidthText();

    void editingNeedsALayer();
    void clickOnSelectedStartsEditing();
    void doubleClickStartsEditing();
    void typingAndCommitting();
    void typingGrowsButNeverShrinks();
    void focusOutEndsEditing();
    void escapeEndsEditingAndGoesNoFurther();
    void contextMenuKeepsEditing();
    void editorFrame();
    void editorFrameInTheScene_data();
    void editorFrameInTheScene();
    void deleteWhileEditing();
    void editingOnAShownCanvas();
};

void tst_DGraphicsItemText::defaults()
{
    DGraphicsItemText item;
    QCOMPARE(item.strokeWidth(), 0u);
    QVERIFY(!item.isHtml());
    QCOMPARE(item.plainText(), QString());
    QCOMPARE(item.textColor(), QColor(Qt::black));
    QCOMPARE(item.font(), item.document()->defaultFont());
    QVERIFY(!item.isEditing());
}

void tst_DGraphicsItemText::plainTextUsesTheColourTemplate()
{
    DGraphicsItemText item;
    item.setPlainText("hello");
    QCOMPARE(item.plainText(), QString("hello"));
    QCOMPARE(item.textData().format(), DFileFormat::GraphicsItemText::Plain);
    QCOMPARE(item.document()->toPlainText(), QString("hello"));
    // The colour field is unset: its default, opaque black, gives 000000.
    QVERIFY(!item.textData().has_color());
    QTextCursor cursor(item.document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().foreground().color().rgb(), qRgb(0, 0, 0));

    item.setTextColor(QColor(0x12, 0x34, 0x56));
    QTextCursor coloured(item.document());
    coloured.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(coloured.charFormat().foreground().color().rgb(), qRgb(0x12, 0x34, 0x56));
    QCOMPARE(item.textColor().rgb(), qRgb(0x12, 0x34, 0x56));
}

void tst_DGraphicsItemText::colourChangeKeepsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("markup characters") << QString("a < b && c > d");
    QTest::newRow("a tag") << QString("<b>not bold</b>");
    QTest::newRow("line breaks") << QString("first\nsecond\n\nfourth");
    QTest::newRow("spaces") << QString("two  spaces and\ta tab ");
    QTest::newRow("entity") << QString("&amp; stays &amp;");
}

void tst_DGraphicsItemText::colourChangeKeepsTheText()
{
    QFETCH(QString, text);
    DGraphicsItemText item;
    item.setPlainText(text);
    QCOMPARE(item.document()->toPlainText(), text);
    item.setTextColor(Qt::red);
    QCOMPARE(item.plainText(), text);
    QCOMPARE(item.document()->toPlainText(), text);
    QTextCursor cursor(item.document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().foreground().color().rgb(), qRgb(255, 0, 0));
}

void tst_DGraphicsItemText::htmlKeepsItsFormat()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->setHtml("<b>bold</b> text");
    QVERIFY(item->isHtml());
    QCOMPARE(item->plainText(), QString("<b>bold</b> text"));
    QCOMPARE(item->document()->toPlainText(), QString("bold text"));
    QTextCursor bold(item->document());
    bold.movePosition(QTextCursor::NextCharacter);
    QVERIFY(bold.charFormat().fontWeight() > QFont::Normal);
    item->startEditing();
    item->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(item->editor(), " a < b & c");
    item->stopEditing();
    // Plain text was stored; the format field stayed.
    QCOMPARE(item->plainText(), QString("bold text a < b & c"));
    QVERIFY(item->isHtml());

    // A colour change rebuilds the document from the stored text as plain
    // text: nothing of it is read as markup, so nothing of it is lost.
    item->setTextColor(QColor(0, 128, 0));
    QVERIFY(!item->isHtml());
    QCOMPARE(item->plainText(), QString("bold text a < b & c"));
    QCOMPARE(item->document()->toPlainText(), QString("bold text a < b & c"));
    QTextCursor cursor(item->document());
    cursor.movePosition(QTextCursor::End);
    QCOMPARE(cursor.charFormat().foreground().color().rgb(), qRgb(0, 128, 0));
}

void tst_DGraphicsItemText::copyOfEditedHtml()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->setHtml("<i>note</i>");
    item->startEditing();
    item->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(item->editor(), " <x> & y");
    item->stopEditing();
    QCOMPARE(item->plainText(), QString("note <x> & y"));

    // The copy shows what the item shows; its stored text is not read as markup.
    QScopedPointer<DGraphicsItem> copy(item->clone());
    DGraphicsItemText* text = qobject_cast<DGraphicsItemText*>(copy.data());
    QVERIFY(text);
    QVERIFY(text->isHtml());
    QCOMPARE(text->plainText(), item->plainText());
    QCOMPARE(text->document()->toPlainText(), QString("note <x> & y"));
}

void tst_DGraphicsItemText::fonts()
{
    DGraphicsItemText item;
    item.setFontSize(24);
    QCOMPARE(item.fontSize(), 24);
    QCOMPARE(item.document()->defaultFont().pointSize(), 24);
    QVERIFY(!item.fontBold());
    item.setFontBold(true);
    QVERIFY(item.fontBold());
    QCOMPARE(item.font().weight(), 75);
    item.setFontItalic(true);
    QVERIFY(item.fontItalic());
    item.setFontUnderline(true);
    QVERIFY(item.fontUnderline());
    item.setFontStrikeout(true);
    QVERIFY(item.fontStrikeout());
    QCOMPARE(item.fontSize(), 24);
    item.setFontBold(false);
    QCOMPARE(item.font().weight(), 50);
    item.setFontItalic(false);
    QCOMPARE(item.font().style(), QFont::StyleNormal);

    QFont other("Serif");
    other.setPointSize(9);
    item.setFontFamily(other);
    QCOMPARE(item.font().family(), QFont("Serif").family());
    QCOMPARE(item.fontSize(), 24);
    QCOMPARE(item.fontFamily(), item.font());
    // Through the properties, as the editors write them.
    QVERIFY(item.setProperty("fontSize", 30));
    QCOMPARE(item.fontSize(), 30);
    QVERIFY(item.setProperty("text", QString("via property")));
    QCOMPARE(item.plainText(), QString("via property"));
}

void tst_DGraphicsItemText::automaticWidthFollowsText()
{
    DGraphicsItemText item;
    item.setPlainText("short");
    const QSizeF natural = item.document()->size();
    QCOMPARE(item.rectangle().width(), qreal(qRound(natural.width()) + 1));
    QCOMPARE(item.rectangle().height(), qreal(qRound(natural.height()) + 1));
    const qreal shortWidth = item.rectangle().width();
    item.setPlainText("a much longer line of text");
    QVERIFY(item.rectangle().width() > shortWidth);
    QCOMPARE(item.rectangle().width(), qreal(qRound(item.document()->size().width()) + 1));
    QCOMPARE(item.document()->textWidth(), -1.0);
}

void tst_DGraphicsItemText::fixedWidthWraps()
{
    // Only an item of a layer lays itself out again after a change of its geometry.
    DGraphicsScene scene;
    DGraphicsItemText& item = *new DGraphicsItemText;
    scene.addPersistenItem(&item, false);
    item.setPlainText("one two three four five six seven eight nine ten");
    const qreal oneLine = item.rectangle().height();
    item.setWidth(120);
    QCOMPARE(item.rectangle().width(), 120.0);
    QCOMPARE(item.document()->textWidth(), 120.0);
    QVERIFY(item.rectangle().height() > oneLine);
    item.setPlainText("one two three four five six seven eight nine ten eleven twelve thirteen");
    QCOMPARE(item.rectangle().width(), 120.0);
}

void tst_DGraphicsItemText::textWiderThanItsBoxStaysInItsBounds_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("narrowed") << "narrowed";
    QTest::newRow("narrowed, then a larger font") << "larger font";
    QTest::newRow("narrowed, then typed in") << "typed";
    QTest::newRow("narrowed, then turned") << "turned";
}

// A box narrower than a word of its text grows to hold what it paints: its
// bounds, and so what is saved, copied or printed, hold all of the text,
// however the text, its font or the item's turn change afterwards.
void tst_DGraphicsItemText::textWiderThanItsBoxStaysInItsBounds()
{
    QFETCH(QString, change);
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->setBoundary(QRectF(700, 700, 0, 0));
    item->setFontSize(40);
    const QString word("Incomprehensibilities");
    item->setPlainText(change == "typed" ? word.left(1) : word);
    item->setWidth(30);
    if (change == "larger font") {
        item->setFontSize(60);
    } else if (change == "typed") {
        item->startEditing();
        QVERIFY(item->isEditing());
        QTextCursor end(item->editor()->document());
        end.movePosition(QTextCursor::End);
        item->editor()->setTextCursor(end);
        QTest::keyClicks(item->editor(), word.mid(1));
        item->stopEditing();
        QCOMPARE(item->plainText(), word);
    } else if (change == "turned") {
        item->setRotation_z(90, false);
    }

    // What the item paints, on a page much larger than the item.
    QImage page(2000, 1600, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.setTransform(item->sceneTransform());
        item->paint(&painter, nullptr, nullptr);
    }
    QRect inked;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                inked |= QRect(x, y, 1, 1);
    QVERIFY(qMax(inked.width(), inked.height()) > 200);
    QVERIFY2(item->sceneBoundary().contains(QRectF(inked)),
             qPrintable(QString("%1, %2 %3 x %4").arg(inked.x()).arg(inked.y()).arg(inked.width()).arg(
                 inked.height())));
    QVERIFY(item->sceneBoundingRect().contains(QRectF(inked)));

    // The saved content holds all of the text: nothing of it reaches the
    // image's edges, where it would have been cut off.
    QImage content;
    scene.renderContentTo(content);
    QVERIFY(content.width() >= inked.width() && content.height() >= inked.height());
    int atTheEdges = 0;
    for (int x = 0; x < content.width(); ++x)
        atTheEdges += (qAlpha(content.pixel(x, 0)) > 0) + (qAlpha(content.pixel(x, content.height() - 1)) > 0);
    for (int y = 0; y < content.height(); ++y)
        atTheEdges += (qAlpha(content.pixel(0, y)) > 0) + (qAlpha(content.pixel(content.width() - 1, y)) > 0);
    QCOMPARE(atTheEdges, 0);
}

void tst_DGraphicsItemText::shapeIsTheWholeRectangle()
{
    DGraphicsItemText item;
    item.setPlainText("hit me anywhere");
    const QRectF r = item.rectangle();
    QVERIFY(item.contains(r.center()));
    QVERIFY(item.contains(r.topLeft() + QPointF(1, 1)));
    QVERIFY(!item.contains(r.bottomRight() + QPointF(2, 2)));
}

void tst_DGraphicsItemText::copyCarriesTheText()
{
    DGraphicsItemText item;
    item.setTextColor(Qt::blue);
    item.setPlainText("copied");
    QScopedPointer<DGraphicsItem> copy(item.clone());
    DGraphicsItemText* text = qobject_cast<DGraphicsItemText*>(copy.data());
    QVERIFY(text);
    QCOMPARE(text->plainText(), QString("copied"));
    QCOMPARE(text->textColor().rgb(), QColor(Qt::blue).rgb());
    QCOMPARE(text->rectangle(), item.rectangle());
    // The copy shows the text too, in the same font.
    QCOMPARE(text->document()->toPlainText(), QString("copied"));
    QCOMPARE(text->document()->defaultFont(), item.document()->defaultFont());
    QCOMPARE(text->document()->size(), item.document()->size());
    // Text that looks like markup is copied as text.
    item.setPlainText("1 < 2 & <b>3</b>\nnext");
    QScopedPointer<DGraphicsItem> second(item.clone());
    QCOMPARE(qobject_cast<DGraphicsItemText*>(second.data())->document()->toPlainText(),
             QString("1 < 2 & <b>3</b>\nnext"));
}

void tst_DGraphicsItemText::copyOfFixedWidthText()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    QFont font;
    font.setPointSize(20);
    item->setFont(font);
    item->setPlainText("several words that wrap at a fixed width");
    item->setWidth(100);
    const QRectF r = item->rectangle();
    QScopedPointer<DGraphicsItem> copy(item->clone());
    DGraphicsItemText* text = qobject_cast<DGraphicsItemText*>(copy.data());
    QCOMPARE(text->rectangle(), r);
    QCOMPARE(text->fontSize(), 20);
    QCOMPARE(text->document()->defaultFont().pointSize(), 20);
}

void tst_DGraphicsItemText::editingNeedsALayer()
{
    DGraphicsItemText item;
    item.startEditing();
    QVERIFY(!item.isEditing());
}

void tst_DGraphicsItemText::clickOnSelectedStartsEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setFontSize(36);
    item->setPlainText("click me");
    scene.addPersistenItem(item, false);
    // Away from the grips that a selected item gets (centre, corners, edge middles).
    const QRectF b = item->sceneBoundary();
    const QPointF at(b.left() + 0.25 * b.width(), b.top() + 0.3 * b.height());

    click(scene, at);
    QVERIFY(!item->isEditing());
    QVERIFY(item->isSelected());
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at);
    QVERIFY(item->isEditing());
    QVERIFY(item->editor());
    QVERIFY(item->editor()->document() == item->document());
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at);
    QVERIFY(item->isEditing());
    QVERIFY(!item->isSelected());
    item->stopEditing();
    QVERIFY(!item->isEditing());
}

void tst_DGraphicsItemText::doubleClickStartsEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setPlainText("double");
    scene.addPersistenItem(item, false);
    sendMouse(scene, QEvent::GraphicsSceneMouseDoubleClick, item->sceneBoundary().center());
    QVERIFY(item->isEditing());
}

void tst_DGraphicsItemText::typingAndCommitting()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, true);
    item->startEditing();
    QVERIFY(item->isEditing());
    QVERIFY(!item->isSelected());
    QGraphicsProxyWidget* proxy = item->editor()->graphicsProxyWidget();
    QVERIFY(proxy);
    QCOMPARE(proxy->scene(), static_cast<QGraphicsScene*>(&scene));

    QTest::keyClicks(item->editor(), "Hello");
    QTest::keyClick(item->editor(), Qt::Key_Return);
    QTest::keyClicks(item->editor(), "<World> & co");
    // Not stored until editing ends.
    QCOMPARE(item->plainText(), QString());
    QSignalSpy changed(item, &DGraphicsItem::changed);
    item->stopEditing();
    QCOMPARE(item->plainText(), QString("Hello\n<World> & co"));
    // One change, with the layout that follows it.
    QCOMPARE(changed.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(scene.items().isEmpty() || !scene.items().contains(proxy));
}

void tst_DGraphicsItemText::typingGrowsButNeverShrinks()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->setPlainText("x");
    item->startEditing();
    const QRectF start = item->rectangle();
    QTest::keyClicks(item->editor(), "xxxxxxxxxx");
    QVERIFY(item->rectangle().width() > start.width());
    QTest::keyClick(item->editor(), Qt::Key_Return);
    QTest::keyClicks(item->editor(), "y");
    const qreal twoLines = item->rectangle().height();
    QVERIFY(twoLines > start.height());
    // The editor is sized to the text and lies centred on the item.
    QCOMPARE(item->editor()->width(), qRound(item->document()->size().width()) + 1);
    QCOMPARE(item->editor()->height(), qRound(item->document()->size().height()) + 1);
    const QPointF proxyTopLeft = item->editor()->graphicsProxyWidget()->sceneTransform().map(QPointF(0, 0));
    QVERIFY(qAbs(proxyTopLeft.x() - item->sceneBoundary().x()) < 1.0);

    QTest::keyClick(item->editor(), Qt::Key_Backspace);
    QTest::keyClick(item->editor(), Qt::Key_Backspace);
    QCOMPARE(item->rectangle().height(), twoLines);
    item->stopEditing();
    QCOMPARE(item->rectangle().height(), twoLines);
}

void tst_DGraphicsItemText::focusOutEndsEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->startEditing();
    QTest::keyClicks(item->editor(), "left");
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(item->editor(), &out);
    QVERIFY(!item->isEditing());
    QCOMPARE(item->plainText(), QString("left"));
}

// Escape ends the typing, the text kept, and is taken there: the dialog
// around the canvas, which closes on Escape, does not see it. The next
// Escape, with nothing being edited, reaches the dialog.
void tst_DGraphicsItemText::escapeEndsEditingAndGoesNoFurther()
{
    QDialog dialog;
    auto* canvas = new DCanvas(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(canvas);
    dialog.resize(600, 400);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setBoundary(QRectF(50, 50, 0, 0));
    canvas->scene()->addPersistenItem(item, false);
    item->startEditing();
    QTRY_VERIFY(item->editor()->hasFocus());
    QWidget* viewport = canvas->view()->viewport();
    QTest::keyClicks(viewport, "Kept");
    QTest::keyClick(viewport, Qt::Key_Escape);
    QVERIFY(!item->isEditing());
    QCOMPARE(item->plainText(), QString("Kept"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(rejected.count(), 0);

    QTest::keyClick(viewport, Qt::Key_Escape);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.isVisible());
}

void tst_DGraphicsItemText::contextMenuKeepsEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->startEditing();
    QTextEdit_P* editor = item->editor();
    QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(editor, &toPopup);
    QVERIFY(item->isEditing());

    // While a popup is open, any focus-out comes from it.
    QMenu menu;
    menu.addAction("Copy");
    menu.popup(QPoint(0, 0));
    QVERIFY(QApplication::activePopupWidget());
    QFocusEvent other(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(editor, &other);
    QVERIFY(item->isEditing());
    menu.close();
    QVERIFY(!QApplication::activePopupWidget());
    QCoreApplication::sendEvent(editor, &other);
    QVERIFY(!item->isEditing());
}

void tst_DGraphicsItemText::editorFrame()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->setPlainText("framed text");
    item->startEditing();
    QTextEdit_P* editor = item->editor();
    QCOMPARE(editor->frameShape(), QFrame::NoFrame);
    QCOMPARE(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!editor->acceptRichText());
    const QImage shot = editor->viewport()->grab().toImage();
    const QRgb frame = qRgb(77, 115, 153);
    int onTop = 0;
    for (int x = 0; x < shot.width(); ++x)
        if (shot.pixel(x, 0) == frame)
            ++onTop;
    int onLeft = 0;
    for (int y = 0; y < shot.height(); ++y)
        if (shot.pixel(0, y) == frame)
            ++onLeft;
    // Dashed: some of the edge, not all of it.
    QVERIFY2(onTop > shot.width() / 4 && onTop < shot.width(), qPrintable(QString::number(onTop)));
    QVERIFY(onLeft > 0);
    QCOMPARE(shot.pixel(shot.width() / 2, shot.height() / 2) == frame, false);
}

// In the scene, as the view shows it, the editor's dashed frame has all four
// edges, on the editor's outermost pixels, wherever the item stands.
void tst_DGraphicsItemText::editorFrameInTheScene_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::newRow("whole units") << QPointF(100, 100);
    QTest::newRow("half units") << QPointF(100.5, 100.5);
    QTest::newRow("a third") << QPointF(100.3, 99.7);
}

void tst_DGraphicsItemText::editorFrameInTheScene()
{
    QFETCH(QPointF, at);
    DSceneFixture fixture;
    fixture.setZoom(1.0);
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setBoundary(QRectF(at, QSizeF(0, 0)));
    item->setPlainText("framed text");
    fixture.scene()->addPersistenItem(item, false);
    item->startEditing();
    QVERIFY(item->isEditing());
    QGraphicsProxyWidget* proxy = nullptr;
    for (QGraphicsItem* own : fixture.scene()->items())
        if (auto* widget = dynamic_cast<QGraphicsProxyWidget*>(own))
            proxy = widget;
    QVERIFY(proxy);
    const QImage shown = fixture.viewport()->grab().toImage();
    const QRect edges = fixture.view()->mapFromScene(proxy->sceneBoundingRect()).boundingRect();
    const QRgb frame = qRgb(77, 115, 153);
    // Each edge: the row or column within two pixels of where the view puts
    // it that shows the most of the frame's colour.
    const auto dashes = [&](bool upright, int at, int from, int to) {
        int best = 0;
        for (int line = at - 2; line <= at + 2; ++line) {
            int count = 0;
            for (int i = from; i <= to; ++i)
                count += shown.pixel(upright ? QPoint(line, i) : QPoint(i, line)) == frame;
            best = qMax(best, count);
        }
        return best;
    };
    const int w = edges.width();
    const int h = edges.height();
    QVERIFY(dashes(false, edges.top(), edges.left(), edges.right()) > w / 4);
    QVERIFY(dashes(false, edges.bottom(), edges.left(), edges.right()) > w / 4);
    QVERIFY(dashes(true, edges.left(), edges.top(), edges.bottom()) > h / 4);
    QVERIFY(dashes(true, edges.right(), edges.top(), edges.bottom()) > h / 4);
}

void tst_DGraphicsItemText::deleteWhileEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    scene.addPersistenItem(item, false);
    item->startEditing();
    QPointer<QTextEdit_P> editor(item->editor());
    delete item;
    QVERIFY(editor.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(scene.items().isEmpty());
}

void tst_DGraphicsItemText::editingOnAShownCanvas()
{
    DSceneFixture fixture;
    fixture.setZoom(1.0);
    DGraphicsScene* scene = fixture.scene();
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setBoundary(QRectF(100, 100, 0, 0));
    item->setFontSize(30);
    item->setPlainText("Note");
    scene->addPersistenItem(item, false);
    const QRectF b = item->sceneBoundary();

    // Double-click, then type through the view as a user does.
    fixture.doubleClick(QPointF(b.left() + 0.25 * b.width(), b.center().y()));
    QVERIFY(item->isEditing());
    QTRY_VERIFY(item->editor()->hasFocus());
    QVERIFY(!item->isSelected());
    item->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(fixture.viewport(), " <b>");
    QCOMPARE(item->document()->toPlainText(), QString("Note <b>"));

    // A click on the empty page takes the focus away and ends editing.
    fixture.click(QPointF(600, 500));
    QTRY_VERIFY(!item->isEditing());
    QCOMPARE(item->plainText(), QString("Note <b>"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QGraphicsItem* own : scene->items())
        QVERIFY(!dynamic_cast<QGraphicsProxyWidget*>(own));

    // One click selects, the next one edits.
    const QPointF inside(b.left() + 0.25 * b.width(), b.center().y());
    fixture.click(inside);
    QVERIFY(item->isSelected());
    QVERIFY(!item->isEditing());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    fixture.click(inside);
    QVERIFY(item->isEditing());
    QVERIFY(!item->isSelected());
}

QTEST_MAIN(tst_DGraphicsItemText)
#include "tst_DGraphicsItemText.moc"
