// Medians for painting a document: a 3840 x 2160 page with a screenshot-sized
// image background, with and without 100 mixed annotation items, and for
// rendering the document's content on its own.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "DBenchSupport.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItemImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsScene.h"

namespace {

const int kRuns = 15;

double medianMs(const std::function<void()>& work)
{
    work(); // warm-up: caches, glyphs, pixmap conversions
    QVector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

void addItems(DGraphicsScene& scene)
{
    QPixmap picture(160, 120);
    picture.fill(QColor(30, 120, 200));
    for (int i = 0; i < 100; ++i) {
        const double x = 100 + (i % 10) * 360;
        const double y = 100 + (i / 10) * 200;
        DGraphicsItem* item = nullptr;
        switch (i % 6) {
        case 0: {
            auto* r = new DGraphicsItemRectangle;
            r->setBoundary(QRectF(x, y, 300, 150));
            item = r;
            break;
        }
        case 1: {
            auto* r = new DGraphicsItemRectangle;
            r->setBoundary(QRectF(x, y, 300, 150));
            r->setFillColor(QColor(145, 184, 195, 160));
            r->setRotation_z(15);
            item = r;
            break;
        }
        case 2: {
            auto* l = new DGraphicsItemLine;
            l->setLine(QVector3D(x, y, 0), QVector3D(x + 300, y + 150, 0));
            l->setStrokeWidth(4);
            item = l;
            break;
        }
        case 3: {
            auto* p = new DGraphicsItemPolyline;
            for (int k = 0; k < 8; ++k)
                p->addPoint(QVector3D(x + k * 40, y + (k % 2) * 120, 0));
            item = p;
            break;
        }
        case 4: {
            auto* p = new DGraphicsItemPolygon;
            p->addPoint(QVector3D(x, y, 0));
            p->addPoint(QVector3D(x + 300, y + 20, 0));
            p->addPoint(QVector3D(x + 150, y + 150, 0));
            p->close();
            p->setFill(true);
            item = p;
            break;
        }
        case 5: {
            if (i % 12 == 5) {
                auto* t = new DGraphicsItemText;
                t->setBoundary(QRectF(x, y, 0, 0));
                t->setFontSize(18);
                t->setPlainText(QString("Annotation %1\nsecond line").arg(i));
                item = t;
            } else {
                auto* im = new DGraphicsItemImage;
                im->setImage(picture);
                im->setTranslation(QVector3D(x, y, 0), false);
                item = im;
            }
            break;
        }
        }
        scene.addPersistenItem(item, false);
    }
}

void paintScene(DGraphicsScene& scene, QImage& target)
{
    QPainter painter(&target);
    scene.render(&painter, QRectF(0, 0, kBenchWidth, kBenchHeight), QRectF(0, 0, kBenchWidth, kBenchHeight));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QPixmap background = benchScreenshot();
    QImage target(kBenchWidth, kBenchHeight, QImage::Format_ARGB32_Premultiplied);

    DGraphicsScene empty;
    empty.setSize(kBenchWidth, kBenchHeight);
    empty.setBackground(new DGraphicsBackgroundImage(background));
    const double backgroundOnly = medianMs([&] { paintScene(empty, target); });

    DGraphicsScene document;
    document.setSize(kBenchWidth, kBenchHeight);
    document.setBackground(new DGraphicsBackgroundImage(background));
    addItems(document);
    const double withItems = medianMs([&] { paintScene(document, target); });

    const double content = medianMs([&] {
        QImage image;
        document.renderContentTo(image);
    });

    std::printf("scene painting, %dx%d page, median of %d runs\n", kBenchWidth, kBenchHeight, kRuns);
    std::printf("  background alone:            %8.2f ms\n", backgroundOnly);
    std::printf("  background + 100 items:      %8.2f ms  (ratio %.2f)\n", withItems, withItems / backgroundOnly);
    std::printf("  renderContentTo (100 items): %8.2f ms\n", content);
    return 0;
}
