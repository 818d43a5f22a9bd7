#include <QtTest>

#include <QRandomGenerator>

#include "DImageDigest.h"

// Where the bottom rows of one image repeat at the top of another.
class tst_DImageDigest : public QObject
{
    Q_OBJECT

private:
    static QImage noise(int width, int height, quint32 seed)
    {
        QRandomGenerator random(seed);
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = 0xFF000000u | (random.generate() & 0x00FFFFFFu);
        }
        return image;
    }

    // `bottom`'s last `rows` rows copied to the top of `top`.
    static QImage withOverlap(const QImage& bottom, QImage top, int rows)
    {
        for (int i = 0; i < rows; ++i)
            memcpy(top.scanLine(i), bottom.constScanLine(bottom.height() - rows + i), size_t(top.bytesPerLine()));
        return top;
    }

    // Changes the last pixel of every row: rows stay alike but are no longer equal.
    static QImage touchedAtTheEnd(QImage image)
    {
        for (int y = 0; y < image.height(); ++y)
            image.setPixel(image.width() - 1, y, ~image.pixel(image.width() - 1, y) | 0xFF000000u);
        return image;
    }

    static QRect bottomRows(const QImage& image, int rows)
    {
        return QRect(QPoint(0, image.height() - rows), QPoint(image.width() - 1, image.height() - 1));
    }

    // The first `percent` per cent of every row's bytes set to one value in
    // every row: any two rows are then alike up to that share, and no further.
    static QImage withCommonStart(QImage image, int percent)
    {
        const int bytes = image.bytesPerLine() * percent / 100;
        for (int y = 0; y < image.height(); ++y)
            memset(image.scanLine(y), 0x11, size_t(bytes));
        return image;
    }

private slots:
    void differentSizesGiveTheNullRect()
    {
        const DImageDigest a(noise(50, 100, 1));
        const DImageDigest b(noise(50, 101, 2));
        const QRect result = a.match(b);
        QVERIFY(result.isNull());
        QCOMPARE(result, QRect(QPoint(0, 0), QPoint(-1, -1)));
    }

    void imageWithItselfIsTheWholeImage()
    {
        const QImage image = noise(50, 100, 3);
        const DImageDigest digest(image);
        QCOMPARE(digest.match(digest), image.rect());
    }

    void exactOverlap_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("61 rows, exact pass") << 61 << 61;
        QTest::newRow("90 rows") << 90 << 90;
        QTest::newRow("60 rows, tolerant pass") << 60 << 60;
        QTest::newRow("59 rows, too few") << 59 << 0;
        QTest::newRow("none") << 0 << 0;
    }
    void exactOverlap()
    {
        QFETCH(int, rows);
        QFETCH(int, expectedRows);
        const QImage first = noise(64, 200, 4);
        const QImage second = withOverlap(first, noise(64, 200, 5), rows);
        const QRect result = DImageDigest(first).match(DImageDigest(second));
        if (expectedRows == 0)
            QVERIFY(result.isNull());
        else
            QCOMPARE(result, bottomRows(first, expectedRows));
    }

    void nearlyEqualRowsAreFoundByTheTolerantPass()
    {
        const QImage first = noise(64, 200, 6);
        const QImage second = touchedAtTheEnd(withOverlap(first, noise(64, 200, 7), 80));
        QCOMPARE(DImageDigest(first).match(DImageDigest(second)), bottomRows(first, 80));
    }

    void nearlyEqualImagesMatchWhole()
    {
        const QImage image = noise(64, 120, 8);
        const DImageDigest first(image);
        const DImageDigest second(touchedAtTheEnd(image));
        QCOMPARE(first.match(second), image.rect());
    }

    // Rows alike in 70 per cent of their bytes pass the 20 and 60 per cent
    // rounds as the whole image; the 80 per cent round then decides.
    void stricterRoundFindsTheRealOverlap()
    {
        const QImage first = withCommonStart(noise(64, 200, 15), 70);
        const QImage second = withOverlap(first, withCommonStart(noise(64, 200, 16), 70), 60);
        QCOMPARE(DImageDigest(first).match(DImageDigest(second)), bottomRows(first, 60));
    }

    void stricterRoundThatFindsTooLittleKeepsTheWholeImage()
    {
        const QImage first = withCommonStart(noise(64, 200, 17), 70);
        const QImage second = withCommonStart(noise(64, 200, 18), 70);
        QCOMPARE(DImageDigest(first).match(DImageDigest(second)), first.rect());
    }

    void rowsThatAgreeTooLittleDoNotMatch()
    {
        // Only the first tenth of each row agrees: below the loosest run needed.
        const QImage first = noise(100, 100, 9);
        QImage second = noise(100, 100, 10);
        for (int y = 0; y < second.height(); ++y)
            memcpy(second.scanLine(y), first.constScanLine(y), size_t(first.bytesPerLine() / 10));
        QVERIFY(DImageDigest(first).match(DImageDigest(second)).isNull());
    }

    void resetRebuildsTheDigests()
    {
        const QImage first = noise(40, 100, 11);
        DImageDigest digest(noise(40, 100, 12));
        QVERIFY(digest.match(DImageDigest(first)).isNull());
        digest.reset(first);
        QCOMPARE(digest.match(DImageDigest(first)), first.rect());
    }

    void emptyImagesGiveTheNullRect()
    {
        const DImageDigest empty{QImage()};
        QVERIFY(empty.match(empty).isNull());
    }

    void shortImageWithItselfNeedsSixtyRows()
    {
        const QImage image = noise(40, 30, 13);
        const DImageDigest digest(image);
        QVERIFY(digest.match(digest).isNull());
    }

    void differentFormatsOfTheSameSizeDoNotCrash()
    {
        const QImage wide = noise(40, 100, 14);
        const QImage narrow = wide.convertToFormat(QImage::Format_Grayscale8);
        // Nothing matches byte for byte; reading stays within each line.
        QVERIFY(DImageDigest(wide).match(DImageDigest(narrow)).isNull());
    }
};

QTEST_MAIN(tst_DImageDigest)
#include "tst_DImageDigest.moc"
