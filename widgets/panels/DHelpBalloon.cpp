#include "DHelpBalloon.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPropertyAnimation>
#include <QSettings>

#include "DCanvas.h"
#include "DConfig.h"

namespace {
const char* const kBalloonStyle =
    ".QWidget{border-radius: 5px;\n"
    "border-width: 3px;\n"
    "border-style: solid;\n"
    "border-color: #939393;\n"
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, "
    "stop:0 rgba(255, 255, 255, 255), stop:1 rgba(228, 228, 240, 255));\n"
    "color: rgb(48, 48, 48);\n"
    "font: 10pt;}";

const double kShownOpacity = 0.9;
const int kBalloonDuration = 5000;
const int kEdgeDistance = 5;

QString balloonKey(const QString& title)
{
    return QStringLiteral("ShowBalloon/") + title;
}

QSettings* settings()
{
    DConfig* config = DConfig::_instance();
    return config ? config->m_pSettings : nullptr;
}
}

DHelpBalloon::DHelpBalloon(DCanvas* canvas)
    : DWidget(canvas)
    , m_pTitle(nullptr)
    , m_pText(nullptr)
{
    layout()->setContentsMargins(11, 11, 11, 11);

    m_pTitle = new QLabel;
    QFont bold = m_pTitle->font();
    bold.setWeight(75);
    m_pTitle->setFont(bold);
    addWidget(m_pTitle);

    m_pText = new QLabel;
    addWidget(m_pText);

    QFrame* separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    addWidget(separator);

    QLabel* link = new QLabel(tr("<a href=\"0\">Don't Show me this Again.</a>"));
    link->setObjectName(QStringLiteral("labelDontShowAgain"));
    link->setCursor(Qt::PointingHandCursor);
    link->setContextMenuPolicy(Qt::NoContextMenu);
    connect(link, &QLabel::linkActivated, this, &DHelpBalloon::onDontShowAgain);
    addWidget(link);

    setStyle(QString::fromLatin1(kBalloonStyle));
    setOpacity(kShownOpacity);
}

QString DHelpBalloon::title() const
{
    return m_pTitle->text();
}

QString DHelpBalloon::text() const
{
    return m_pText->text();
}

void DHelpBalloon::show(const QString& title, const QString& text, const Qt::Alignment& alignment)
{
    QSettings* store = settings();
    if (store && !store->value(balloonKey(title), true).toBool())
        return;

    m_pTitle->setText(title);
    m_pText->setText(text);
    adjustSize();
    reposition(alignment);
    setVisible(true);

    if (QPropertyAnimation* fading = animationFading()) {
        // A balloon shown again while its fade runs starts its timing afresh.
        fading->stop();
        fading->setStartValue(kShownOpacity);
        fading->setEndValue(0.0);
        fading->setKeyValueAt(0.6, kShownOpacity);
        fading->setDuration(kBalloonDuration);
        fading->start();
    }
}

void DHelpBalloon::reposition(const Qt::Alignment& alignment)
{
    const DCanvas* owner = canvas();
    if (!owner)
        return;
    const int w = width();
    const int h = height();
    const int W = owner->width();
    const int H = owner->height();
    int x = kEdgeDistance;
    int y = kEdgeDistance;
    if (alignment & Qt::AlignRight)
        x = W - kEdgeDistance - w;
    else if (alignment & Qt::AlignHCenter)
        x = (W - w) / 2;
    if (alignment & Qt::AlignBottom)
        y = H - kEdgeDistance - h;
    else if (alignment & Qt::AlignVCenter)
        y = (H - h) / 2;
    move(x, y);
}

void DHelpBalloon::onDontShowAgain()
{
    if (QSettings* store = settings())
        store->setValue(balloonKey(m_pTitle->text()), false);
    hide(false);
}
