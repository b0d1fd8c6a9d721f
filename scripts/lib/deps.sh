# Shared by the scripts: installs the Debian packages the build needs, only when missing.
REVODIVE_PACKAGES=(cmake g++ make qt6-base-dev libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev
                   xvfb xauth x11-utils imagemagick socat mingw-w64 clang libclang-rt-14-dev
                   qt6-charts-dev libqt6opengl6-dev)

ensure_packages() {
    local missing=()
    for p in "${REVODIVE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then return 0; fi
    echo "== installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
