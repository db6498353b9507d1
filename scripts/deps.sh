# Installs the Debian packages the build needs, only those that are missing.
# Sourced by play.sh and test.sh.

ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev libjpeg62-turbo-dev
                fonts-dejavu-core)
TEST_PACKAGES=(xvfb xdotool x11-utils x11-xserver-utils openbox clang libclang-rt-14-dev pulseaudio
               pulseaudio-utils imagemagick libjpeg-turbo-progs
               fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji)
