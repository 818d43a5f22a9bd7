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

} // namespace

class tst_MainWindowProcess : public QObject
{
    Q_OBJECT

private:
    // The program with its main window on screen, its settings holding
    // `more` besides: the window's id, or an empty text.
    QString startShown(const QByteArray& more)
    {
        m_program.reset(startProgramShown(m_programPath, m_output.path(), more));
        return waitForVisibleWindow(*m_program, "Zorvelshot");
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
        QTRY_VERIFY2_WITH_TIMEOUT(hasItsShape(windowRect(window)), qPrintable(shapeText(windowRect(window))),
                                  10000);

        // "Advanced Options": the settings pages, the name preview among them.
        QVERIFY(xdotool({"windowactivate", "--sync", window}));
        QVERIFY(xdotool({"key", "alt+o"}));
        // Laid out once for the pages: width and height come together.
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(window).height() > 300, 10000);
        QVERIFY2(hasItsShape(windowRect(window)), qPrintable(shapeText(windowRect(window))));

        // Maximised with a double click on its title bar, it grows as high as
        // it may; a second double click gives it its size back.
        const QRect shown = windowRect(window);
        const auto doubleClickTitle = [&]() {
            const QRect now = windowRect(window);
            return xdotool({"mousemove", number(now.center().x()), number(now.top() - 10), "click", "--repeat", "2",
                            "--delay", "80", "1"});
        };
        QVERIFY(doubleClickTitle());
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(window).size() != shown.size(), 10000);
        QVERIFY2(hasItsShape(windowRect(window)), qPrintable(shapeText(windowRect(window))));
        QVERIFY(doubleClickTitle());
        QTRY_COMPARE_WITH_TIMEOUT(windowRect(window).size(), shown.size(), 10000);

        // Asked for far more room than it may have: it grows to its limits.
        QVERIFY(xdotool({"windowsize", window, "1000", "900"}));
        QTRY_VERIFY_WITH_TIMEOUT(windowRect(window).size() != shown.size(), 10000);
        QVERIFY2(hasItsShape(windowRect(window)), qPrintable(shapeText(windowRect(window))));
    }
};

QTEST_MAIN(tst_MainWindowProcess)
#include "tst_MainWindowProcess.moc"
