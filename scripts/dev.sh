#!/usr/bin/env bash
# Kelvara developer set-up: installs what is missing, builds in build/, then runs the game
# ("run"), the test suite ("test"), the benchmarks ("bench") or makes and checks the Debian
# package ("package", also the last step of "test"). Safe to repeat.
set -euo pipefail
cd "$(dirname "$0")/.."

action=${1:-run}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
          libgl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk xvfb xauth xdotool
          python3 dpkg-dev fakeroot lintian desktop-file-utils appstream)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)

build() {  # build <dir> [cmake options...]
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$dir" -j "$jobs"
}

# Makes build/package/kelvara_*.deb and checks it: menu entry, AppStream data, lintian without
# errors, and (as root, where no kelvara package is installed yet) that it installs and
# removes cleanly.
package() {
    build build -DKELVARA_WERROR=ON
    rm -rf build/package
    (cd build && cpack -G DEB >/dev/null)
    local deb
    deb=$(ls build/package/kelvara_*.deb)
    echo "== package $deb"
    local root
    root=$(mktemp -d)
    dpkg-deb -x "$deb" "$root"
    desktop-file-validate "$root"/usr/share/applications/org.kelvara.Kelvara.desktop
    appstreamcli validate --no-net "$root"/usr/share/metainfo/org.kelvara.Kelvara.metainfo.xml
    lintian --fail-on error "$deb"
    rm -rf "$root"
    if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W -f='${Status}' kelvara 2>/dev/null | grep -q "ok installed"; then
        DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >/dev/null
        test -x /usr/games/kelvara && test -f /usr/share/kelvara/set/kelvara.ini
        dpkg -r kelvara >/dev/null
        if [ -e /usr/games/kelvara ] || [ -e /usr/share/kelvara ]; then
            echo "kelvara package left files behind" >&2
            exit 1
        fi
        echo "installs and removes cleanly"
    fi
}

case "$action" in
    run)
        build build -DKELVARA_WERROR=ON
        exec ./build/app/kelvara
        ;;
    test)
        build build -DKELVARA_WERROR=ON
        build build-asan -DKELVARA_WERROR=ON -DKELVARA_SANITIZE=ON -DKELVARA_BENCH=OFF
        export QT_QPA_PLATFORM=offscreen
        echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
        if ! ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j "$jobs" \
                >build-asan/ctest.log 2>&1; then
            cat build-asan/ctest.log
            exit 1
        fi
        tail -n 3 build-asan/ctest.log
        echo "== tests"
        ctest --test-dir build --output-on-failure -j "$jobs"
        package
        ;;
    package)
        package
        ;;
    bench)
        build build -DKELVARA_WERROR=ON
        for b in kelvara-bench-player kelvara-bench-solver kelvara-bench-levels; do
            (cd build && "./bench/$b")
        done
        ;;
    *)
        echo "usage: scripts/dev.sh [run|test|bench|package]" >&2
        exit 2
        ;;
esac
