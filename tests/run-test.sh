#!/usr/bin/env bash
# Runs one test executable in a private home: its own HOME, XDG_CONFIG_HOME and
# XDG_RUNTIME_DIR (mode 0700), removed afterwards. Offscreen by default; with
# --x11 under its own Xvfb server, optionally with a window manager (--wm) and a
# system tray (--tray); with --dual on a desktop of two monitors side by side
# (Xephyr inside that Xvfb: 800x600 at 0,0 and 1024x768 at 800,0); with --randr
# on one monitor whose size the test may change with xrandr (Xephyr with RandR,
# which Xvfb lacks, of the --screen size). --screen WxH sets the size of the
# Xvfb screen (1280x800 unless given).
set -u
x11=0 wm=0 tray=0 dual=0 randr=0 screen=1280x800
while [ $# -gt 0 ]; do
    case "$1" in
        --x11) x11=1 ;;
        --wm) wm=1 ;;
        --tray) tray=1 ;;
        --dual) x11=1; dual=1 ;;
        --randr) x11=1; randr=1 ;;
        --screen) shift; screen=$1 ;;
        --) shift; break ;;
        *) break ;;
    esac
    shift
done

home=$(mktemp -d "${TMPDIR:-/tmp}/zorvel-test.XXXXXX")
# The test runs as a child (not exec'd), so that this clean-up still runs.
trap 'rm -rf "$home"' EXIT
trap 'exit 143' TERM INT
mkdir -p "$home/config" "$home/runtime"
chmod 0700 "$home" "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
export XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"
# Tells the test executable that its home is private already (it makes one otherwise).
export ZORVEL_PRIVATE_HOME="$home"
here=$(cd "$(dirname "$0")" && pwd)
# The leak checker's thread walk reads every thread's dynamic TLS, and with
# this glibc that read crashes the checker itself once Qt has loaded plugins
# with TLS and started a helper thread. Not scanning TLS can only report more
# leaks, never hide one.
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=0}"
export QT_LOGGING_RULES="${QT_LOGGING_RULES:-qt.qpa.*=false}"

if [ "$x11" = 0 ]; then
    export QT_QPA_PLATFORM=offscreen
    unset DISPLAY
    "$@"
    exit $?
fi

unset QT_QPA_PLATFORM
# Qt's GLX set-up leaks in frames that cannot be suppressed, and no test needs OpenGL.
export QT_XCB_GL_INTEGRATION=none
# Inside the X server: start the helpers asked for, wait until they are up, run
# the test, then stop them.
inner="$home/inner.sh"
cat > "$inner" <<INNER
#!/usr/bin/env bash
pids=()
nested=()
if [ $dual = 1 ]; then
    # Xinerama heads are the monitors Qt sees once RandR is off.
    nested=(-screen 800x600 -screen 1024x768 +xinerama -extension RANDR)
elif [ $randr = 1 ]; then
    nested=(-screen $screen)
fi
if [ \${#nested[@]} -gt 0 ]; then
    Xephyr "\${nested[@]}" -nolisten tcp -displayfd 3 3>"$home/nested-display" >/dev/null 2>&1 & pids+=(\$!)
    for i in \$(seq 100); do [ -s "$home/nested-display" ] && break; sleep 0.1; done
    export DISPLAY=":\$(cat "$home/nested-display")"
fi
# Starts openbox and waits until it manages windows; false when it did not
# come up (its output is in openbox.log).
start_wm() {
    openbox >>"$home/openbox.log" 2>&1 & wm_pid=\$!
    for i in \$(seq 300); do
        kill -0 \$wm_pid 2>/dev/null || return 1
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
        sleep 0.1
    done
    # openbox announces itself before it has finished starting, and a window
    # mapped in between is never managed (it stays unmapped): wait until a probe
    # window is managed, mapping a new one when a request was lost; then until
    # the probe has gone from the client list again.
    for try in \$(seq 20); do
        xev -name zorvel-wm-probe >/dev/null 2>&1 & probe=\$!
        for i in \$(seq 10); do xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 0x && break; sleep 0.1; done
        managed=\$(xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -c 0x)
        kill \$probe 2>/dev/null; wait \$probe 2>/dev/null
        [ "\$managed" != 0 ] && break
    done
    for i in \$(seq 50); do xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 0x || break; sleep 0.1; done
    kill -0 \$wm_pid 2>/dev/null && xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW
}
if [ $wm = 1 ]; then
    # A test that ran without its window manager fails for reasons that have
    # nothing to do with it: start it again, and say so when it never comes up.
    wm_up=0
    for attempt in 1 2 3; do
        if start_wm; then wm_up=1; break; fi
        echo "run-test: openbox did not come up (attempt \$attempt)" >&2
        kill \$wm_pid 2>/dev/null; wait \$wm_pid 2>/dev/null
    done
    if [ \$wm_up = 0 ]; then
        cat "$home/openbox.log" >&2
        exit 1
    fi
    pids+=(\$wm_pid)
fi
if [ $tray = 1 ]; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 & pids+=(\$!)
    # trayer takes the tray selection shortly after it maps its panel.
    for i in \$(seq 50); do xwininfo -root -tree 2>/dev/null | grep -qi panel && break; sleep 0.1; done
    sleep 0.5
fi
"\$@"
rc=\$?
if [ $wm = 1 ] && ! kill -0 \$wm_pid 2>/dev/null; then
    echo "run-test: openbox ended while the test ran" >&2
    cat "$home/openbox.log" >&2
fi
for p in "\${pids[@]}"; do kill "\$p" 2>/dev/null; done
exit \$rc
INNER
chmod +x "$inner"
# Tests run in parallel: start each one's search for a free display number at a
# place of its own, so that two servers starting at once rarely race for one number.
first=$(( 100 + $(basename "$1" | cksum | cut -d' ' -f1) % 800 ))
xvfb-run -a -n "$first" -s "-screen 0 ${screen}x24 -nolisten tcp" "$inner" "$@"
exit $?
