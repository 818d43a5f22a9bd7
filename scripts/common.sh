# Shared by scripts/run and scripts/test: packages, build folders, build.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${ZORVEL_BUILD_DIR:-$ROOT/build}
ASAN_BUILD_DIR=${ZORVEL_ASAN_BUILD_DIR:-$ROOT/build-asan}
JOBS=${JOBS:-$(nproc)}

BUILD_PACKAGES="cmake g++ make pkg-config qtbase5-dev qtscript5-dev libqt5svg5-dev libprotobuf-dev protobuf-compiler libxcb1-dev libxcb-ewmh-dev libxcb-xinerama0-dev"
TEST_PACKAGES="xvfb xauth xdotool xclip x11-utils x11-xserver-utils openbox trayer xcompmgr xserver-xephyr desktop-file-utils dpkg-dev file hicolor-icon-theme"

# Installs the packages that are missing (apt-get update first, only when needed).
# ZORVEL_SKIP_PACKAGES=1 skips the step (a quick local run on a machine set up already).
ensure_packages() {
    [ "${ZORVEL_SKIP_PACKAGES:-0}" = 1 ] && return 0
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_and_build <build folder> [cmake options...]
# Configuring is quiet when it works; when it fails, its whole output is shown.
configure_and_build() {
    local dir=$1
    shift
    local log
    log=$(mktemp)
    if ! cmake -S "$ROOT" -B "$dir" "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
    cmake --build "$dir" -j "$JOBS"
}
