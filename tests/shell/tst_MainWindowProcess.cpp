// The real Zorvelshot's main window under a window manager, as a user meets
// it: whatever its settings make it show and however it is asked to grow, it
// keeps the fixed shape of its form, 425 wide and 200 to 500 high.
#include <QtTest>

#include <QFileInfo>
#include <QProcess>
#include <QScopedPointer>
#include <QTemporaryDir>

#include "DProgramProcess.h"
#include "DUserActions.h"

namespace {

QString number(int value)
{
    return QString::number(value);
}

// The window's place and size on the screen, its frame left out, as the X
// server has them (xdotool may report a reparented window off by a few pixels).
QRect windowGeometry(const QString& window)
{
    QProcess info;
    info.start("xwininfo", {"-id", window});
    info.waitForFinished(5000);
    QHash<QString, int> values;
    for (const QString& line : QString::fromLatin1(info.readAllStandardOutput()).split('\n')) {
        const QString key = line.section(':', 0, 0).trimmed();
        values[key] = line.section(':', 1).trimmed().toInt();
    }
    return QRect(values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"],
                 values["Height"]);
}

} // namespace

class tst_MainWindowProcess : public QObject
{
    Q_OBJECT

private:
    // The program with its main window on screen, its settings holding
    // `more` besides: the window's id, or an empty text.
    QString startShown(const QByteArray& more)
    {
        QString window;
        m_program.reset(startProgramShown(
            m_programPath, "[General]\nAutoUpdate=false\nAutomaticSaveFolder=" + m_output.path().toUtf8() + "\n" + more,
            window));
        return window;
    }

    // Whether the window has the form's shape.
    static bool hasItsShape(const QRect& geometry)
    {
        return geometry.width() == 425 && geometry.height() >= 200 && geometry.height() <= 500;
    }

    static QString shapeText(const QRect& geometry)
    {
        return QString("%1 x %2").arg(geometry.width()).arg(geometry.height());
    }

    QString m_programPath;
    QScopedPointer<QProcess> m_program;
    QTemporaryDir m_output;

private slots:
    void initTestCase()
    {
        m_programPath = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
        QVERIFY2(QFileInfo(m_programPath).isExecutable(), qPrintable(m_programPath));
        QVERIFY(m_output.isValid());
    }

    void cleanup() { endProgram(m_program); }

    void keepsItsShape_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("short name") << 12;
        QTest::newRow("120 characters") << 120;
        QTest::newRow("300 characters") << 300;
    }

    // With a preview of the automatic name in sub-folders, short or far too
    // long for the window, the settings pages open in the window's width; a
    // request to resize it and a maximise keep to its limits.
    void keepsItsShape()
    {
        QFETCH(int, length);
        const QByteArray name = QByteArray("capture_").repeated(length / 8 + 1).left(length);
        const QString window = startShown("NameMethod=1\nCreateSubfolders=true\nSubFolderFormat=YM\nFileNameFormat="
                                          + name + "\n");
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QTRY_VERIFY2_WITH_TIMEOUT(hasItsShape(windowGeometry(window)), qPrintable(shapeText(windowGeometry(window))),
                                  10000);

        // "Advanced Options": the settings pages, the name preview among them.
        QVERIFY(xdotool({"windowactivate", "--sync", window}));
        QVERIFY(xdotool({"key", "alt+o"}));
        // Laid out once for the pages: width and height come together.
        QTRY_VERIFY_WITH_TIMEOUT(windowGeometry(window).height() > 300, 10000);
        QVERIFY2(hasItsShape(windowGeometry(window)), qPrintable(shapeText(windowGeometry(window))));

        // Maximised with a double click on its title bar, it grows as high as
        // it may; a second double click gives it its size back.
        const QRect shown = windowGeometry(window);
        const auto doubleClickTitle = [&]() {
            const QRect now = windowGeometry(window);
            return xdotool({"mousemove", number(now.center().x()), number(now.top() - 10), "click", "--repeat", "2",
                            "--delay", "80", "1"});
        };
        QVERIFY(doubleClickTitle());
        QTRY_VERIFY_WITH_TIMEOUT(windowGeometry(window).size() != shown.size(), 10000);
        QVERIFY2(hasItsShape(windowGeometry(window)), qPrintable(shapeText(windowGeometry(window))));
        QVERIFY(doubleClickTitle());
        QTRY_COMPARE_WITH_TIMEOUT(windowGeometry(window).size(), shown.size(), 10000);

        // Asked for far more room than it may have: it grows to its limits.
        QVERIFY(xdotool({"windowsize", window, "1000", "900"}));
        QTRY_VERIFY_WITH_TIMEOUT(windowGeometry(window).size() != shown.size(), 10000);
        QVERIFY2(hasItsShape(windowGeometry(window)), qPrintable(shapeText(windowGeometry(window))));
    }
};

QTEST_MAIN(tst_MainWindowProcess)
#include "tst_MainWindowProcess.moc"
