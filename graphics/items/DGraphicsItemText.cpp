#include "DGraphicsItemText.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTextDocument>

#include "DFileFormatConversion.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DMetaPropertyList.h"
#include "DRestorePainter.h"
#include "QTextEdit_P.h"

using namespace DFileFormat;

DGraphicsItemText::DGraphicsItemText(DGraphicsItem* parent)
    : DGraphicsItemRectangle(parent)
    , m_document(new QTextDocument)
{
    connect(m_document, &QTextDocument::contentsChanged, this, &DGraphicsItemText::onChanged);
    setStrokeWidth(0);
}

DGraphicsItemText::DGraphicsItemText()
    : DGraphicsItemText(nullptr)
{
}

DGraphicsItemText::~DGraphicsItemText()
{
    if (m_editor) {
        QTextEdit_P* editor = m_editor;
        m_editor = nullptr;
        // The editor must neither call back into this half-destroyed item
        // nor keep the document that goes with it.
        editor->detach();
        delete editor;
    }
    delete m_document;
}

// ---------------------------------------------------------------------------
// Text state

bool DGraphicsItemText::isHtml() const
{
    return m_text.format() == GraphicsItemText::Html;
}

QString DGraphicsItemText::plainText() const
{
    return QString::fromUtf8(m_text.text().c_str(), int(m_text.text().size()));
}

QColor DGraphicsItemText::textColor() const
{
    return m_text.has_color() ? toQColor(m_text.color()) : QColor(Qt::black);
}

QFont DGraphicsItemText::font() const
{
    return m_text.has_font() ? toQFont(m_text.font()) : m_document->defaultFont();
}

QFont DGraphicsItemText::fontFamily() const
{
    return font();
}

int DGraphicsItemText::fontSize() const
{
    return font().pointSize();
}

bool DGraphicsItemText::fontBold() const
{
    return font().weight() > 50;
}

bool DGraphicsItemText::fontItalic() const
{
    return font().style() != QFont::StyleNormal;
}

bool DGraphicsItemText::fontUnderline() const
{
    return font().underline();
}

bool DGraphicsItemText::fontStrikeout() const
{
    return font().strikeOut();
}

void DGraphicsItemText::setFont(const QFont& f)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_text.mutable_font() = toFont(f);
    m_document->setDefaultFont(f);
}

void DGraphicsItemText::setFontFamily(const QFont& f)
{
    QFont changed = font();
    changed.setFamily(f.family());
    setFont(changed);
}

void DGraphicsItemText::setFontSize(int size)
{
    QFont changed = font();
    changed.setPointSize(size);
    setFont(changed);
}

void DGraphicsItemText::setFontBold(bool on)
{
    QFont changed = font();
    changed.setWeight(on ? 75 : 50);
    setFont(changed);
}

void DGraphicsItemText::setFontItalic(bool on)
{
    QFont changed = font();
    changed.setStyle(on ? QFont::StyleItalic : QFont::StyleNormal);
    setFont(changed);
}

void DGraphicsItemText::setFontUnderline(bool on)
{
    QFont changed = font();
    changed.setUnderline(on);
    setFont(changed);
}

void DGraphicsItemText::setFontStrikeout(bool on)
{
    QFont changed = font();
    changed.setStrikeOut(on);
    setFont(changed);
}

void DGraphicsItemText::setTextColor(const QColor& c)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_text.set_color(toColor(c));
    // Rebuilt as plain text: the stored text of an HTML item that was edited
    // is plain text already, and markup read from it would lose characters.
    setPlainText(plainText());
}

QString DGraphicsItemText::colourCode() const
{
    return QString::number(m_text.color(), 16).right(6);
}

void DGraphicsItemText::setPlainText(const QString& t)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_text.set_text(t.toStdString());
    m_text.set_format(GraphicsItemText::Plain);
    // The text is escaped and its white space kept, so that the document shows
    // exactly the text that is stored.
    QString escaped = t.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QLatin1String("<br />"));
    m_document->setHtml(
        QString("<span style=\"color:#%1; white-space:pre-wrap;\">%2</span>").arg(colourCode(), escaped));
}

void DGraphicsItemText::setHtml(const QString& h)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_text.set_text(h.toStdString());
    m_text.set_format(GraphicsItemText::Html);
    m_document->setHtml(h);
}

bool DGraphicsItemText::copy(const DGraphicsItem* other)
{
    return copyKind<DGraphicsItemRectangle>(this, other, [this](const DGraphicsItemText& source) {
        m_text.CopyFrom(source.m_text);
        // A copy shows the same text (a drag copy is what the user sees while
        // dragging), so its document is rebuilt from the copied state.
        m_automaticWidth = source.m_automaticWidth;
        m_document->setDefaultFont(source.m_document->defaultFont());
        if (isHtml()) {
            // The stored text of an edited HTML item is plain text: the
            // document, not the text, says what the item shows.
            m_document->setHtml(source.m_document->toHtml());
        } else {
            setPlainText(plainText());
        }
    });
}

// ---------------------------------------------------------------------------
// Layout

void DGraphicsItemText::onChanged()
{
    QRectF r = rectangle();
    const bool automatic = qFuzzyCompare(r.width(), m_automaticWidth);
    m_document->setTextWidth(automatic ? -1.0 : r.width());
    const QSizeF s = m_document->size();
    const int w = qRound(s.width()) + 1;
    const int h = qRound(s.height()) + 1;
    if (automatic) {
        r.setWidth(w);
        m_automaticWidth = w;
    } else if (m_document->idealWidth() > r.width()) {
        // A word wider than the box is laid out whole: the box grows to hold
        // it, as it grows to hold the lines. (The width the text takes: while
        // editing, the editor lays the document out at a width of its own.)
        r.setWidth(qRound(m_document->idealWidth()) + 1);
    }
    r.setHeight(qMax(r.height(), qreal(h)));
    setBoundary(r);

    if (!m_editor)
        return;
    m_editor->setFixedSize(w, h);
    if (!m_proxy)
        return;
    if (DGraphicsLayer* owner = layer())
        owner->ownerScene()->invalidate(m_proxy->sceneBoundingRect());
    m_proxy->setMaximumSize(w, h);
    m_proxy->resize(w, h);
    // Centred in the rectangle, in item coordinates, so that the editor
    // follows a rotated item too.
    const QPointF offset((r.width() - w) / 2 + r.x(), (r.height() - h) / 2 + r.y());
    m_proxy->setPos(0, 0);
    m_proxy->setTransform(QTransform::fromTranslate(offset.x(), offset.y()) * sceneTransform());
}

// ---------------------------------------------------------------------------
// Painting and bounds

void DGraphicsItemText::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    // While editing, the editor shows the text.
    if (m_editor)
        return;
    DRestorePainter restore(*painter);
    DGraphicsItemRectangle::paint(painter, option, widget);
    const QRectF b = boundary();
    const QSizeF s = m_document->size();
    painter->translate((b.width() - s.width()) / 2 + b.x() - 1.0, (b.height() - s.height()) / 2 + b.y() - 1.0);
    m_document->drawContents(painter, QRectF());
}

QPainterPath DGraphicsItemText::shape() const
{
    QPainterPath path;
    path.addRect(boundary());
    return path;
}

QVector<QVector3D> DGraphicsItemText::snapPoints() const
{
    return DGraphicsItemRectangle::snapPoints();
}

// ---------------------------------------------------------------------------
// Editing

void DGraphicsItemText::startEditing()
{
    if (m_editor)
        return;
    DGraphicsLayer* owner = layer();
    if (!owner)
        return;
    setSelected(false);

    m_editor = new QTextEdit_P(this);
    m_editor->setAcceptRichText(false);
    // The editor would put its own font on the document.
    const QFont shownFont = m_document->defaultFont();
    m_editor->setDocument(m_document);
    m_document->setDefaultFont(shownFont);
    m_editor->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setFrameShape(QFrame::NoFrame);
    m_editor->setAlignment(Qt::AlignVCenter);

    m_proxy = owner->ownerScene()->addWidget(m_editor);
    m_proxy->setTransform(sceneTransform());
    // The layer is drawn as the scene's background: show that the item is
    // no longer painted there.
    update();
    onChanged();
    m_proxy->setFocus(Qt::OtherFocusReason);
    m_editor->setFocus();
}

void DGraphicsItemText::stopEditing()
{
    if (!m_editor)
        return;
    DGraphicsItemChangeNotifier notifier(this);
    QTextEdit_P* editor = m_editor;
    // Cleared first: hiding the editor moves the focus away from it.
    m_editor = nullptr;
    m_text.set_text(m_document->toPlainText().toStdString());
    editor->detach();
    editor->hide();
    editor->deleteLater();
    update();
}

void DGraphicsItemText::mousePressEvent(QGraphicsSceneMouseEvent*)
{
    if (isSelected())
        startEditing();
}

void DGraphicsItemText::mouseDoubleClickEvent(QGraphicsSceneMouseEvent*)
{
    startEditing();
}

void DGraphicsItemText::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    // The release of the click that started editing would select the item
    // again; an item being edited stays unselected.
    if (m_editor)
        return;
    DGraphicsItemRectangle::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------
// Properties

const DMetaPropertyList& DGraphicsItemText::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemText::staticProperties()
{
    static const DMetaPropertyList list = [] {
        const QMetaObject& meta = staticMetaObject;
        DMetaPropertyList l = DGraphicsItemRectangle::staticProperties();
        l.addProperty(meta, "font", tr("Font"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "textColor", tr("Text Color"), QPixmap(":/images/template_color_text.png"),
                      DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser);
        l.addProperty(meta, "text", tr("Text"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "fontFamily", tr("Font Family"), DMetaProperty::QuickEditor, 5);
        DMetaProperty& size = l.addProperty(meta, "fontSize", tr("Font Size"), DMetaProperty::QuickEditor, 3);
        size.addOption("minimum", 1);
        QVariantList sizes;
        for (int s : {9, 10, 11, 12, 14, 16, 18, 24, 30, 36, 48, 60, 72})
            sizes << s;
        size.addOption("items", sizes);
        l.addProperty(meta, "fontBold", tr("Bold"), QPixmap(":/images/font-bold.png"), DMetaProperty::QuickEditor);
        l.addProperty(meta, "fontItalic", tr("Italic"), QPixmap(":/images/font-italic.png"),
                      DMetaProperty::QuickEditor);
        return l;
    }();
    return list;
}
