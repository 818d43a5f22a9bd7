#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "DHotkey.h"
#include "DUtility.h"

// Three classes to test the class-name walk: a base and two siblings.
class BaseProbe : public QObject
{
    Q_OBJECT
};

class LeftProbe : public BaseProbe
{
    Q_OBJECT
};

class RightProbe : public BaseProbe
{
    Q_OBJECT
};

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

bool fuzzyEqual(const QVector3D& a, const QVector3D& b)
{
    return (a - b).length() < 1e-5f;
}

} // namespace

Q_DECLARE_METATYPE(const QMetaObject*)

typedef QVector<QVector3D> Points;
typedef QVector<QPointF> PointList;

class tst_DUtility : public QObject
{
    Q_OBJECT

private slots:
    // file names
    void targetFormatToString_data();
    void targetFormatToString();
    void removeFileNameInvalidChar_data();
    void removeFileNameInvalidChar();
    void convertTimeVariablesReplacesTheSixLetters_data();
    void convertTimeVariablesReplacesTheSixLetters();
    void convertTimeVariablesUsesOneInstant();
    void makeFullPathSeparators_data();
    void makeFullPathSeparators();
    void makeFullPathCountsCollisions();
    void makeFullPathCreatesMissingFolders();
    void makeFullPathCountsEveryKindOfEntry_data();
    void makeFullPathCountsEveryKindOfEntry();
    void makeFullPathFitsLongNames_data();
    void makeFullPathFitsLongNames();
    void nameHoldingANulIsNeverTaken();

    // class tests, hotkeys
    void isInherits_data();
    void isInherits();
    void hotkeyText();

    // geometry
    void perpendicular_data();
    void perpendicular();
    void cornersAndMidPoints();
    void perpendicularInECSIgnoresTranslation();
    void polygonFromLine_data();
    void polygonFromLine();
    void calcBestPosition_data();
    void calcBestPosition();
    void fixPainterAlias_data();
    void fixPainterAlias();
};

void tst_DUtility::targetFormatToString_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("png") << 0 << "png";
    QTest::newRow("jpg") << 1 << "jpg";
    QTest::newRow("bmp") << 2 << "bmp";
    QTest::newRow("past the end") << 3 << QString();
    QTest::newRow("negative") << -1 << QString();
}

void tst_DUtility::targetFormatToString()
{
    QFETCH(int, format);
    QFETCH(QString, text);
    const QString result = DUtility::TargetFormatToString(DD::enumTargetFormat(format));
    QCOMPARE(result, text);
    QCOMPARE(result.isNull(), text.isNull());
}

void tst_DUtility::removeFileNameInvalidChar_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<bool>("removed");
    QTest::newRow("colon and slash") << "a:b/c" << "abc" << true;
    QTest::newRow("clean") << "abc" << "abc" << false;
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("all nine") << "*?:<>/|\\\"" << "" << true;
    QTest::newRow("repeated") << "a**b??c" << "abc" << true;
    QTest::newRow("allowed punctuation") << "a-b_c.d [1] (x)" << "a-b_c.d [1] (x)" << false;
    // No hidden names: leading dots go, also those a removed slash uncovers.
    QTest::newRow("parent folders") << "../../Snap" << "Snap" << true;
    QTest::newRow("leading dot") << ".Snap" << "Snap" << true;
    QTest::newRow("dots only") << "..." << "" << true;
    QTest::newRow("inner and trailing dots stay") << "a..b." << "a..b." << false;
    QTest::newRow("dot after a blank stays") << " .a" << " .a" << false;
    // No file name holds a NUL: the system would read the name only up to it.
    QTest::newRow("NUL") << QString("Snap") + QChar(0) + "x" + QChar(0) << "Snapx" << true;
}

void tst_DUtility::removeFileNameInvalidChar()
{
    QFETCH(QString, name);
    QFETCH(QString, cleaned);
    QFETCH(bool, removed);
    QCOMPARE(DUtility::removeFileNameInvalidChar(name), removed);
    QCOMPARE(name, cleaned);
}

void tst_DUtility::convertTimeVariablesReplacesTheSixLetters_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shape");
    QTest::newRow("year") << "Y" << "^\\d{4}$";
    QTest::newRow("month then minute") << "Mm" << "^\\d{2}\\d{2}$";
    QTest::newRow("default name") << "Snap-Y-M-D-h-m-s" << "^Snap-\\d{4}(-\\d{2}){5}$";
    QTest::newRow("default sub-folder") << "YM" << "^\\d{6}$";
    QTest::newRow("other letters stay") << "yd HS x" << "^yd HS x$";
    QTest::newRow("inside words") << "Dish" << "^\\d{2}i\\d{2}\\d{2}$";
    QTest::newRow("empty") << "" << "^$";
}

void tst_DUtility::convertTimeVariablesReplacesTheSixLetters()
{
    QFETCH(QString, pattern);
    QFETCH(QString, shape);
    const QString result = DUtility::convertTimeVariables(pattern);
    QVERIFY2(QRegularExpression(shape).match(result).hasMatch(), qPrintable(result));
}

void tst_DUtility::convertTimeVariablesUsesOneInstant()
{
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    const QString result = DUtility::convertTimeVariables("Y M D h m s");
    const QDateTime after = QDateTime::currentDateTime();
    const QDateTime stamp = QDateTime::fromString(result, "yyyy MM dd HH mm ss");
    QVERIFY2(stamp.isValid(), qPrintable(result));
    QVERIFY(stamp >= before.addMSecs(-before.time().msec()));
    QVERIFY(stamp <= after);
    // Month and minute are two different letters of the same stamp.
    QCOMPARE(DUtility::convertTimeVariables("M").size(), 2);
}

void tst_DUtility::makeFullPathSeparators_data()
{
    QTest::addColumn<QString>("folderSuffix");
    QTest::addColumn<QString>("subFolder");
    QTest::addColumn<QString>("expectedSuffix");
    QTest::newRow("no sub-folder") << "" << "" << "/Snap.png";
    QTest::newRow("folder ends in a separator") << "/" << "" << "/Snap.png";
    QTest::newRow("sub-folder") << "" << "202612" << "/202612/Snap.png";
    QTest::newRow("sub-folder ends in a separator") << "" << "202612/" << "/202612/Snap.png";
}

void tst_DUtility::makeFullPathSeparators()
{
    QFETCH(QString, folderSuffix);
    QFETCH(QString, subFolder);
    QFETCH(QString, expectedSuffix);
    QTemporaryDir dir;
    const QString path = DUtility::makeFullPath(dir.path() + folderSuffix, subFolder, "Snap", "png");
    QCOMPARE(path, dir.path() + expectedSuffix);
    QVERIFY(QFileInfo(path).dir().exists());
    QVERIFY(!QFile::exists(path));
}

void tst_DUtility::makeFullPathCountsCollisions()
{
    QTemporaryDir dir;
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "png"), dir.filePath("Snap.png"));
    touch(dir.filePath("Snap.png"));
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "png"), dir.filePath("Snap[1].png"));
    touch(dir.filePath("Snap[1].png"));
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "png"), dir.filePath("Snap[2].png"));
    // Another extension is another name.
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "jpg"), dir.filePath("Snap.jpg"));
    // A gap in the counters is not filled: the first free number wins.
    touch(dir.filePath("Snap[2].png"));
    touch(dir.filePath("Snap[4].png"));
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "png"), dir.filePath("Snap[3].png"));
}

void tst_DUtility::makeFullPathCreatesMissingFolders()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("a/b");
    const QString path = DUtility::makeFullPath(folder, "c", "Snap", "bmp");
    QCOMPARE(path, folder + "/c/Snap.bmp");
    QVERIFY(QDir(folder + "/c").exists());

    // A folder that cannot be made is not reported: the path comes back anyway.
    touch(dir.filePath("file"));
    QCOMPARE(DUtility::makeFullPath(dir.filePath("file"), "sub", "Snap", "png"),
             dir.filePath("file/sub/Snap.png"));
}

// Whatever holds the name (a link that leads nowhere, a folder, a pipe) makes
// it taken: the next save takes the counter instead.
void tst_DUtility::makeFullPathCountsEveryKindOfEntry_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("link that leads nowhere") << "dangling link";
    QTest::newRow("link to a file elsewhere") << "link";
    QTest::newRow("folder") << "folder";
    QTest::newRow("pipe") << "fifo";
}

void tst_DUtility::makeFullPathCountsEveryKindOfEntry()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QByteArray taken = QFile::encodeName(dir.filePath("Snap.png"));
    const QByteArray target = QFile::encodeName(elsewhere.filePath("target.png"));
    if (kind == "link")
        touch(elsewhere.filePath("target.png"));
    if (kind.contains("link"))
        QCOMPARE(::symlink(target.constData(), taken.constData()), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(dir.filePath("Snap.png")));
    else
        QCOMPARE(::mkfifo(taken.constData(), 0600), 0);
    QCOMPARE(DUtility::makeFullPath(dir.path(), "", "Snap", "png"), dir.filePath("Snap[1].png"));
}

// A directory entry holds at most 255 bytes: the base name is shortened, by
// whole characters, just enough that it, the counter and the extension fit.
void tst_DUtility::makeFullPathFitsLongNames_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::newRow("250 letters") << QString(250, 'a');
    QTest::newRow("251 letters") << QString(251, 'b');
    QTest::newRow("300 letters") << QString(300, 'c');
    QTest::newRow("two-byte characters") << QString(200, QChar(0x00E9));
    QTest::newRow("three-byte characters") << QString(100, QChar(0x20AC));
    // Beyond the basic plane: each character is two UTF-16 units and four bytes.
    QTest::newRow("four-byte characters") << QString::fromUtf8("\xF0\x9F\x93\xB7").repeated(70);
    // The limit falls inside a character unless the cut steps back.
    QTest::newRow("mixed, limit inside a character")
        << QString(248, 'd') + QString::fromUtf8("\xE2\x82\xAC\xF0\x9F\x93\xB7").repeated(3);
    QTest::newRow("short") << "Snap";
}

void tst_DUtility::makeFullPathFitsLongNames()
{
    QFETCH(QString, baseName);
    QTemporaryDir dir;
    QStringList names;
    for (int save = 0; save < 12; ++save) {
        const QString path = DUtility::makeFullPath(dir.path(), "", baseName, "png");
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path + ": " + file.errorString()));
        file.close();
        names << QFileInfo(path).fileName();
    }
    for (int save = 0; save < names.size(); ++save) {
        const QString& name = names.at(save);
        const QString suffix = save == 0 ? QString(".png") : QString("[%1].png").arg(save);
        QVERIFY2(name.endsWith(suffix), qPrintable(name));
        const QString base = name.chopped(suffix.size());
        const QByteArray bytes = QFile::encodeName(name);
        QVERIFY2(bytes.size() <= 255, qPrintable(name));
        // Whole characters of the pattern, from its start: no sequence cut.
        QVERIFY(baseName.startsWith(base));
        QVERIFY(base.isEmpty() || !base.back().isHighSurrogate());
        QCOMPARE(QString::fromUtf8(bytes), name);
        // Shortened only as far as needed: the next character would not fit.
        if (base.size() < baseName.size()) {
            const int next = baseName.at(base.size()).isHighSurrogate() ? 2 : 1;
            QVERIFY(bytes.size() + QFile::encodeName(baseName.mid(base.size(), next)).size() > 255);
        }
    }
}

// No entry can have a name that holds a NUL; the entry named by the part
// before it does not make that name taken.
void tst_DUtility::nameHoldingANulIsNeverTaken()
{
    QTemporaryDir dir;
    touch(dir.filePath("Snap"));
    QVERIFY(DUtility::isPathTaken(dir.filePath("Snap")));
    QVERIFY(!DUtility::isPathTaken(dir.filePath(QString("Snap") + QChar(0) + "x.png")));
}

void tst_DUtility::isInherits_data()
{
    QTest::addColumn<const QMetaObject*>("meta");
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("inherits");
    QTest::newRow("own class") << &LeftProbe::staticMetaObject << "LeftProbe" << true;
    QTest::newRow("base") << &LeftProbe::staticMetaObject << "BaseProbe" << true;
    QTest::newRow("root") << &LeftProbe::staticMetaObject << "QObject" << true;
    QTest::newRow("sibling") << &LeftProbe::staticMetaObject << "RightProbe" << false;
    QTest::newRow("derived") << &BaseProbe::staticMetaObject << "LeftProbe" << false;
    QTest::newRow("case") << &LeftProbe::staticMetaObject << "leftprobe" << false;
    QTest::newRow("null") << static_cast<const QMetaObject*>(nullptr) << "QObject" << false;
}

void tst_DUtility::isInherits()
{
    QFETCH(const QMetaObject*, meta);
    QFETCH(QString, className);
    QFETCH(bool, inherits);
    QCOMPARE(DUtility::isInherits(meta, className), inherits);
}

void tst_DUtility::hotkeyText()
{
    const QKeySequence sequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R);
    const DHotkey hotkey(sequence);
    QCOMPARE(hotkey.toString(), sequence.toString(QKeySequence::NativeText));
    QVERIFY(hotkey.toString().contains("R"));
    QCOMPARE(hotkey.keySequence(), sequence);
    QVERIFY(DHotkey().isEmpty());
    QVERIFY(DHotkey().toString().isEmpty());
    QVERIFY(hotkey != DHotkey());
    QVERIFY(hotkey == DHotkey(QKeySequence("Ctrl+Shift+R")));
}

void tst_DUtility::perpendicular_data()
{
    QTest::addColumn<QVector2D>("v");
    QTest::addColumn<QVector2D>("expected");
    QTest::newRow("x") << QVector2D(1, 0) << QVector2D(0, 1);
    QTest::newRow("y") << QVector2D(0, 1) << QVector2D(-1, 0);
    QTest::newRow("general") << QVector2D(3, -2) << QVector2D(2, 3);
    QTest::newRow("zero") << QVector2D(0, 0) << QVector2D(0, 0);
}

void tst_DUtility::perpendicular()
{
    QFETCH(QVector2D, v);
    QFETCH(QVector2D, expected);
    QCOMPARE(DUtility::perpendicular(v), expected);
}

void tst_DUtility::cornersAndMidPoints()
{
    const QRectF r(0, 0, 10, 20);
    QCOMPARE(DUtility::corners(r), (Points{QVector3D(0, 0, 0), QVector3D(10, 0, 0),
                                          QVector3D(0, 20, 0), QVector3D(10, 20, 0)}));
    QCOMPARE(DUtility::midPoints(r), (Points{QVector3D(5, 0, 0), QVector3D(10, 10, 0),
                                            QVector3D(5, 20, 0), QVector3D(0, 10, 0)}));
    const QRectF shifted(-4, 2, 6, 3);
    QCOMPARE(DUtility::corners(shifted), (Points{QVector3D(-4, 2, 0), QVector3D(2, 2, 0),
                                                QVector3D(-4, 5, 0), QVector3D(2, 5, 0)}));
    QCOMPARE(DUtility::midPoints(shifted), (Points{QVector3D(-1, 2, 0), QVector3D(2, 3.5, 0),
                                                  QVector3D(-1, 5, 0), QVector3D(-4, 3.5, 0)}));
}

void tst_DUtility::perpendicularInECSIgnoresTranslation()
{
    QMatrix4x4 identity;
    QVERIFY(fuzzyEqual(DUtility::perpendicularInECS(QVector3D(1, 0, 7), identity, identity),
                       QVector3D(0, 1, 0)));

    QMatrix4x4 inner;
    inner.translate(100, 50, 0);
    inner.rotate(90, 0, 0, 1); // x axis to y axis
    QMatrix4x4 outer;
    outer.translate(-30, 20, 0);
    outer.scale(2, 3, 1);
    // (1, 0) turns into (0, 1), its perpendicular is (-1, 0), scaled (-2, 0).
    QVERIFY(fuzzyEqual(DUtility::perpendicularInECS(QVector3D(1, 0, 0), outer, inner),
                       QVector3D(-2, 0, 0)));
}

void tst_DUtility::polygonFromLine_data()
{
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<double>("width");
    QTest::addColumn<PointList>("points");
    QTest::newRow("horizontal")
        << QLineF(0, 0, 10, 0) << 2.0
        << PointList{{0, -4}, {0, 4}, {10, 4}, {10, -4}, {0, -4}};
    QTest::newRow("vertical upwards")
        << QLineF(0, 10, 0, 0) << 0.0
        << PointList{{-3, 10}, {3, 10}, {3, 0}, {-3, 0}, {-3, 10}};
    QTest::newRow("null line")
        << QLineF(5, 5, 5, 5) << 8.0
        << PointList{{4.9, 4.9}, {5.1, 4.9}, {5.1, 5.1}, {4.9, 5.1}, {4.9, 4.9}};
}

void tst_DUtility::polygonFromLine()
{
    QFETCH(QLineF, line);
    QFETCH(double, width);
    QFETCH(PointList, points);
    const QPolygonF polygon = DUtility::polygonFromLine(line, width);
    QCOMPARE(polygon.size(), points.size());
    for (int i = 0; i < points.size(); ++i)
        QVERIFY2(QLineF(polygon.at(i), points.at(i)).length() < 1e-9, qPrintable(QString::number(i)));
}

void tst_DUtility::calcBestPosition_data()
{
    QTest::addColumn<QRectF>("anchor");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("expected");
    const QSizeF box(20, 10);
    QTest::newRow("right and below") << QRectF(10, 10, 0, 0) << box << QPointF(15, 15);
    QTest::newRow("left and above") << QRectF(95, 95, 0, 0) << box << QPointF(70, 80);
    QTest::newRow("left, below the anchor") << QRectF(90, 5, 8, 20) << box << QPointF(73, 30);
    QTest::newRow("left, below the base") << QRectF(90, 5, 8, 90) << box << QPointF(73, 10);
    QTest::newRow("right and above") << QRectF(10, 95, 0, 0) << box << QPointF(15, 80);
    QTest::newRow("edges may touch") << QRectF(75, 85, 0, 0) << box << QPointF(80, 90);
    QTest::newRow("larger than the bound") << QRectF(50, 50, 0, 0) << QSizeF(200, 10)
                                           << QPointF(55, 55);
    QTest::newRow("anchor outside is clamped") << QRectF(150, -40, 0, 0) << QSizeF(200, 200)
                                               << QPointF(105, 5);
}

void tst_DUtility::calcBestPosition()
{
    QFETCH(QRectF, anchor);
    QFETCH(QSizeF, size);
    QFETCH(QPointF, expected);
    QCOMPARE(DUtility::calcBestPosition(QRectF(0, 0, 100, 100), anchor, size, 5.0, 5.0), expected);
}

void tst_DUtility::fixPainterAlias_data()
{
    QTest::addColumn<QPointF>("origin");
    QTest::addColumn<QPointF>("shift");
    QTest::newRow("whole pixels") << QPointF(10, 10) << QPointF(0.5, 0.5);
    QTest::newRow("fractions") << QPointF(10.7, 3.2) << QPointF(-0.2, 0.3);
    QTest::newRow("half rounds up") << QPointF(2.5, -2.5) << QPointF(0, 0);
    QTest::newRow("negative") << QPointF(-1.2, -0.8) << QPointF(-0.3, 0.3);
    QTest::newRow("beyond an int") << QPointF(1e10, -1e10 - 0.25) << QPointF(0.5, -0.25);
}

void tst_DUtility::fixPainterAlias()
{
    QFETCH(QPointF, origin);
    QFETCH(QPointF, shift);
    QImage image(4, 4, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.translate(origin);
    DUtility::FixPainterAlias(&painter);
    const QPointF moved = painter.transform().map(QPointF(0, 0));
    QVERIFY2(QLineF(moved, origin + shift).length() < 1e-9,
             qPrintable(QString("%1, %2").arg(moved.x()).arg(moved.y())));
    // The origin now lies on a pixel centre.
    QCOMPARE(moved.x() - std::floor(moved.x()), 0.5);
    QCOMPARE(moved.y() - std::floor(moved.y()), 0.5);
}

QTEST_GUILESS_MAIN(tst_DUtility)
#include "tst_DUtility.moc"
