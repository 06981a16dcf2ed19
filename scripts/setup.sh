# Sourced by run.sh and test.sh: installs the Debian packages the project needs and builds it.
set -euo pipefail

PACKAGES=(build-essential cmake pkg-config ccache qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n
          libsqlite3-dev sqlite3 mdbtools-dev mdbtools zlib1g-dev libgif-dev
          libgtest-dev libbenchmark-dev xvfb xauth clang libclang-rt-14-dev desktop-file-utils)

install_missing_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installiere: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_project() {
    local root="$1"
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build" -j"$(nproc)"
}
