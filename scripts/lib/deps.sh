# Shared by the scripts: installs the Debian packages the build needs, only when missing.
# fonts-wine: Tahoma and Tahoma Bold, the design's font, which the console registers at start;
# qt6-translations-l10n: Qt's own dialog texts in Russian (qtbase_ru.qm);
# qt6-charts-dev (with libqt6opengl6-dev, which its CMake package needs): the calibration curve.
REVODIVE_PACKAGES=(cmake g++ make qt6-base-dev libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev
                   xvfb xauth x11-utils imagemagick socat mingw-w64 clang libclang-rt-14-dev
                   fonts-wine qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev)

# With no arguments, the packages above; else the packages named.
ensure_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -gt 0 ] || wanted=("${REVODIVE_PACKAGES[@]}")
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ]; then return 0; fi
    echo "== installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
