# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
          libgl-dev libzip-dev fonts-dejavu-core fonts-urw-base35 poppler-utils sqlite3 xvfb xauth
          clang-format desktop-file-utils appstream dpkg-dev file groff-base
          qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libxtst-dev libxdamage-dev
          chromium chromium-driver python3-selenium)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installation de : ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [TARGET] [cmake options...]
# Q7_DEBUG_INFO=0 leaves out the debugger's tables: CI builds once and never debugs.
build() {
    local dir="$1" target="${2:-all}"
    shift; [ $# -gt 0 ] && shift
    local flags=()
    [ "${Q7_DEBUG_INFO:-1}" = 0 ] && flags=("-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG")
    cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" "$@" >/dev/null
    cmake --build "$dir" --target "$target" -j"$(nproc)"
}
