#!/usr/bin/env bash
# Runs one test executable in a private home: its own HOME, XDG_CONFIG_HOME and
# XDG_RUNTIME_DIR (mode 0700), removed afterwards. Offscreen by default; with
# --x11 under its own Xvfb server, optionally with a window manager (--wm), a
# system tray (--tray) and a screen size other than 1280x800 (--screen WxH).
set -u
x11=0 wm=0 tray=0 screen=1280x800
while [ $# -gt 0 ]; do
    case "$1" in
        --x11) x11=1 ;;
        --wm) wm=1 ;;
        --tray) tray=1 ;;
        --screen) shift; screen=$1 ;;
        --) shift; break ;;
        *) break ;;
    esac
    shift
done

home=$(mktemp -d "${TMPDIR:-/tmp}/zorvel-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/runtime"
chmod 0700 "$home" "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
export XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=0}"
export QT_LOGGING_RULES="${QT_LOGGING_RULES:-qt.qpa.*=false}"

if [ "$x11" = 0 ]; then
    export QT_QPA_PLATFORM=offscreen
    unset DISPLAY
    exec "$@"
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
if [ $wm = 1 ]; then
    openbox >/dev/null 2>&1 & pids+=(\$!)
    for i in \$(seq 300); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
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
fi
if [ $tray = 1 ]; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 & pids+=(\$!)
    # trayer takes the tray selection shortly after it maps its panel.
    for i in \$(seq 50); do xwininfo -root -tree 2>/dev/null | grep -qi panel && break; sleep 0.1; done
    sleep 0.5
fi
"\$@"
rc=\$?
for p in "\${pids[@]}"; do kill "\$p" 2>/dev/null; done
exit \$rc
INNER
chmod +x "$inner"
# Tests run in parallel: start each one's search for a free display number at a
# place of its own, so that two servers starting at once rarely race for one number.
first=$(( 100 + $(basename "$1" | cksum | cut -d' ' -f1) % 800 ))
exec xvfb-run -a -n "$first" -s "-screen 0 ${screen}x24 -nolisten tcp" "$inner" "$@"
