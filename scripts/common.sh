# Shared by scripts/run and scripts/test: packages, build folders, build.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${ZORVEL_BUILD_DIR:-$ROOT/build}
ASAN_BUILD_DIR=${ZORVEL_ASAN_BUILD_DIR:-$ROOT/build-asan}
JOBS=${JOBS:-$(nproc)}

BUILD_PACKAGES="cmake g++ make pkg-config qtbase5-dev qtscript5-dev libqt5svg5-dev libprotobuf-dev protobuf-compiler libxcb1-dev libxcb-ewmh-dev libxcb-xinerama0-dev"
TEST_PACKAGES="xvfb xauth xdotool xclip x11-utils openbox trayer xcompmgr xserver-xephyr"

# Installs the packages that are missing (apt-get update first, only when needed).
ensure_packages() {
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
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}
