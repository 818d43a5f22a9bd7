#ifndef DGRAPHICSITEMTEXT_H
#define DGRAPHICSITEMTEXT_H

#include <QFont>
#include <QPointer>

#include "DGraphicsItemRectangle.h"

class QGraphicsProxyWidget;
class QTextDocument;
class QTextEdit_P;

// A rectangle that shows a rich-text document centred in it, grows to fit the
// text and is edited in place by a borderless editor laid over it.
class DGraphicsItemText : public DGraphicsItemRectangle
{
    Q_OBJECT
    Q_PROPERTY(QString text READ plainText WRITE setPlainText)
    Q_PROPERTY(QFont font READ font WRITE setFont)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QFont fontFamily READ fontFamily WRITE setFontFamily)
    Q_PROPERTY(int fontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool fontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool fontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool fontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(bool fontStrikeout READ fontStrikeout WRITE setFontStrikeout)

public:
    Q_INVOKABLE explicit DGraphicsItemText(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemText();
    ~DGraphicsItemText() override;

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;

    static const DMetaPropertyList& staticProperties();

    bool isHtml() const;
    QString plainText() const;
    QColor textColor() const;
    QFont font() const;
    QFont fontFamily() const;
    int fontSize() const;
    bool fontBold() const;
    bool fontItalic() const;
    bool fontUnderline() const;
    bool fontStrikeout() const;

    void setFont(const QFont& f);
    void setFontFamily(const QFont& f);
    void setFontSize(int size);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikeout(bool on);
    void setTextColor(const QColor& c);
    void setPlainText(const QString& t);
    void setHtml(const QString& h);

    void startEditing();
    void stopEditing();
    bool isEditing() const { return m_editor != nullptr; }
    QTextEdit_P* editor() const { return m_editor; }
    QTextDocument* document() const { return m_document; }

    const DFileFormat::GraphicsItemText& textData() const { return m_text; }

signals:
    void linkActivated(const QString& link);
    void linkHovered(const QString& link);

public slots:
    void onChanged() override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    // The text colour as six hex digits, for the document's markup.
    QString colourCode() const;

    DFileFormat::GraphicsItemText m_text;
    QTextEdit_P* m_editor = nullptr;
    QTextDocument* m_document;
    double m_automaticWidth = 0.0;
    QPointer<QGraphicsProxyWidget> m_proxy;
};

#endif // DGRAPHICSITEMTEXT_H
