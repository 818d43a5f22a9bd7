// Start-up and idle memory of Zorvelshot, measured from outside on the current
// X display (run it under xvfb-run). Prints medians over repeated runs:
//   - process start to the main window's first exposure;
//   - resident memory of an instance idle in the tray (a tray is started with
//     trayer when the display has none).
// Each run gets a private home, configuration and runtime folder, so neither
// the user's settings nor their autostart entries are touched; the update
// check is turned off in those settings.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "DBenchSupport.h"

#include <signal.h>
#include <xcb/xcb.h>

namespace {

const int StartRuns = 15;
const int MemoryRuns = 5;
const int IdleSettleMs = 3000;
const int WindowTimeoutMs = 10000;

class Home
{
public:
    Home()
    {
        QDir(m_dir.path()).mkpath("config");
        QDir(m_dir.path()).mkpath("runtime");
        QFile::setPermissions(m_dir.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A benchmark does not ask the maker's update feed.
        QDir(m_dir.path()).mkpath("config/Orvanta");
        QFile settings(m_dir.path() + "/config/Orvanta/Zorvelshot.ini");
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[General]\nAutoUpdate=false\n");
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.path());
        env.insert("XDG_CONFIG_HOME", m_dir.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", m_dir.path() + "/runtime");
        env.insert("XDG_DATA_HOME", m_dir.path() + "/data");
        env.insert("XDG_CACHE_HOME", m_dir.path() + "/cache");
        env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");
        env.remove("QT_QPA_PLATFORM");
        return env;
    }
    // What a cleanly ended instance leaves: no lock and no socket.
    void clearRuntime() const
    {
        QDir runtime(m_dir.path() + "/runtime");
        for (const QString& name : runtime.entryList(QDir::Files | QDir::System | QDir::Hidden))
            runtime.remove(name);
    }

private:
    QTemporaryDir m_dir;
};

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// Milliseconds from starting the program to the first exposure of one of its
// windows, or nothing when none was exposed in time.
std::optional<double> timeToWindow(xcb_connection_t* x, xcb_window_t root, const QString& program, const Home& home)
{
    const uint32_t rootMask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, rootMask);
    xcb_flush(x);
    while (xcb_generic_event_t* stale = xcb_poll_for_event(x))
        free(stale);

    QProcess process;
    process.setProcessEnvironment(home.environment());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    std::optional<double> exposed;
    while (!exposed && clock.elapsed() < WindowTimeoutMs && process.state() != QProcess::NotRunning) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            QThread::usleep(200);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Watch each new top-level window (with a window manager: its frame
            // and, through the frame, the client) for exposure.
            auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            const uint32_t mask[] = {XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
            xcb_change_window_attributes(x, created->window, XCB_CW_EVENT_MASK, mask);
            xcb_flush(x);
        } else if (type == XCB_EXPOSE) {
            exposed = clock.nsecsElapsed() / 1e6;
        }
        free(event);
    }
    stop(process);
    home.clearRuntime();
    return exposed;
}

std::optional<double> idleResidentMegabytes(const QString& program, const Home& home)
{
    QProcess process;
    process.setProcessEnvironment(home.environment());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {"/autorun"});
    if (!process.waitForStarted(5000))
        return std::nullopt;
    QThread::msleep(IdleSettleMs);
    std::optional<double> megabytes;
    QFile status(QString("/proc/%1/status").arg(process.processId()));
    if (process.state() == QProcess::Running && status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                megabytes = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    stop(process);
    home.clearRuntime();
    return megabytes;
}

bool hasTray(xcb_connection_t* x, int screen)
{
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, atom->atom), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    free(atom);
    return owned;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString program = args.size() > 1 ? args.at(1) : app.applicationDirPath() + "/../bin/Zorvelshot";
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "Zorvelshot not found at %s (give its path as the first argument)\n", qPrintable(program));
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "No X display: run it under xvfb-run.\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    Home home;
    // The first start writes the settings and the autostart entry: not measured.
    timeToWindow(x, root, program, home);

    QVector<double> starts;
    for (int i = 0; i < StartRuns; ++i) {
        if (const auto ms = timeToWindow(x, root, program, home))
            starts.append(*ms);
    }
    if (starts.empty()) {
        std::fprintf(stderr, "The main window was never exposed (a login less than 75 s ago keeps it hidden).\n");
        return 1;
    }
    std::printf("start to main window exposed: median %.1f ms over %d runs (target <= 150 ms)\n", median(starts),
                starts.size());
    std::fflush(stdout);

    QProcess tray;
    if (!hasTray(x, screenNumber)) {
        tray.setProcessEnvironment(home.environment());
        tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                              "--height", "24"});
        if (!tray.waitForStarted(3000)) {
            std::fprintf(stderr, "No system tray on the display and trayer could not be started.\n");
            return 1;
        }
        for (int i = 0; i < 50 && !hasTray(x, screenNumber); ++i)
            QThread::msleep(100);
    }
    QVector<double> memory;
    for (int i = 0; i < MemoryRuns; ++i) {
        if (const auto mb = idleResidentMegabytes(program, home))
            memory.append(*mb);
    }
    stop(tray);
    xcb_disconnect(x);
    if (memory.empty()) {
        std::fprintf(stderr, "Could not read the resident memory of an idle instance.\n");
        return 1;
    }
    std::printf("idle resident memory in the tray: median %.1f MB over %d runs (target <= 40 MB)\n",
                median(memory), memory.size());
    return 0;
}
