# Sourced by the scripts: installs the Debian packages that are missing.
# Usage: ensurePackages pkg...

ensurePackages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What builds the game and its tools (the level importer reads glTF and OBJ
# with tinygltf and tinyobjloader), and what the test command uses besides: the
# benchmark library, a second SDL runtime, an X server and input for it (and
# XTest's library, which the tests call for drags on time), the X library that
# shows the pointer's image (XFixes, whether the pointer shows), a window
# manager and a screen grabber for a desktop's screen, clang with libFuzzer
# and the sanitizers (and LLVM's symbolizer for their reports: without it
# they warn on standard error), Mesa's software driver, the manual reader, and
# what makes and checks the Debian package (cpack needs file and
# dpkg-shlibdeps; lintian, desktop-file-validate, appstreamcli). Debian 12 and
# 13 both have these names; clang and llvm are each release's own version.
# scripts/busy-test also keeps the processors busy with stress-ng.
BUILD_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev libgl1-mesa-dev libglu1-mesa-dev libtinygltf-dev
                libtinyobjloader-dev)
TEST_PACKAGES=(libbenchmark-dev libsdl1.2-compat xvfb xauth xdotool libxtst6 libxfixes3 openbox imagemagick python3
               clang llvm libclang-rt-dev libgl1-mesa-dri man-db file dpkg-dev lintian desktop-file-utils appstream)
BUSY_PACKAGES=(stress-ng)
