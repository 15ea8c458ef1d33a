#!/usr/bin/env bash
# Kelvara developer set-up: installs what is missing, builds in build/, then runs the game
# ("run"), the test suite ("test"), the benchmarks ("bench"), makes and checks the Debian
# package ("package", also a step of "test") or runs the fuzz harnesses for longer
# ("fuzz [seconds per harness]", default 600). "test" also checks the formatting and runs the
# threaded parts under ThreadSanitizer. Safe to repeat.
set -euo pipefail
cd "$(dirname "$0")/.."

action=${1:-run}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          libgl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk xvfb xauth xdotool
          python3 dpkg-dev fakeroot lintian desktop-file-utils appstream
          clang libclang-rt-14-dev clang-format git ccache
          libavahi-client-dev avahi-daemon avahi-utils dbus-daemon iproute2)

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

# ccache where present (a second tree or a repeated run then compiles only what changed). The
# precompiled headers are cached too once ccache may skip their defines and time macros.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros}
fi

# The sanitizer trees are built with clang, which compiles instrumented code about three times
# faster than g++, at -O1 with line tables only: faster to build, and the solver, whose loops
# the tests wait for, keeps its own -O3. The ASan tree also holds the fuzz harnesses.
sanitizer_flags=(-DKELVARA_WERROR=ON -DKELVARA_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++
                 "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
asan_options=("${sanitizer_flags[@]}" -DKELVARA_SANITIZE=ON -DKELVARA_FUZZ=ON)

configure() {  # configure <dir> [cmake options...]: once per tree, again when the options change
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$dir/dev-options" 2>/dev/null)" != "$*" ]; then
        cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
        echo "$*" >"$dir/dev-options"
    fi
}

build() {  # build <dir> [cmake options...]
    configure "$@"
    cmake --build "$1" -j "$jobs"
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

# Fails when a C++ file tracked by git differs from what clang-format makes of it (.clang-format).
format_check() {
    local files
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
    echo "== formatting of ${#files[@]} files"
    if ! clang-format --dry-run --Werror "${files[@]}"; then
        echo "formatting drift: run clang-format -i on the files named above" >&2
        exit 1
    fi
}

# The threaded parts under ThreadSanitizer: the table solved on several threads, the service
# that solves it in the background and publishes it, its readers (levels, play aids), and the
# stored answers, scanned in pieces on two threads and indexed in a thread of their own.
tsan() {
    configure build-tsan "${sanitizer_flags[@]}" -DKELVARA_TSAN=ON -DKELVARA_GUI=OFF
    cmake --build build-tsan -j "$jobs" --target kelvara-solver-tests kelvara-levels-tests \
        kelvara-play-tests kelvara-classic-tests
    echo "== threaded parts under ThreadSanitizer"
    local run bin filter
    for run in "solver/kelvara-solver-tests Solver.ThreadCountDoesNotChangeTheTable:ChunkPool.*" \
               "levels/kelvara-levels-tests TableService.*" \
               "classic/kelvara-classic-tests Experience.Edit*:Experience.Many*:Experience.File*" \
               "levels/kelvara-play-tests LevelOpponent.*"; do
        read -r bin filter <<<"$run"
        if ! TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
                "build-tsan/tests/$bin" --gtest_filter="$filter" >build-tsan/tsan.log 2>&1; then
            cat build-tsan/tsan.log
            echo "ThreadSanitizer: $bin $filter failed" >&2
            exit 1
        fi
        echo "$bin $filter: $(grep -m1 -o 'PASSED.*' build-tsan/tsan.log)"
    done
}

# Builds the harnesses in the ASan tree build-asan/ (the libraries they read with carry the
# coverage instrumentation there) and runs each for the given seconds from the seeds in
# fuzz/corpus/<harness>/; what they find to keep goes to build-asan/corpus/, a failing input to
# build-asan/findings/.
fuzz() {  # fuzz <seconds per harness>
    configure build-asan "${asan_options[@]}"
    cmake --build build-asan -j "$jobs" --target kelvara-fuzzers
    mkdir -p build-asan/findings
    local fuzzers
    mapfile -t fuzzers < <(sed 's/^kelvara-fuzz-//' build-asan/fuzz/harnesses.txt)
    # As many harnesses side by side as there are cores; each keeps its own log.
    local h pids=() names=() failed=0 k
    for h in "${fuzzers[@]}"; do
        mkdir -p "build-asan/corpus/$h"
        "./build-asan/fuzz/kelvara-fuzz-$h" -max_total_time="$1" -max_len=8192 -timeout=20 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-asan/findings/$h-" \
            "build-asan/corpus/$h" "fuzz/corpus/$h" >"build-asan/fuzz-$h.log" 2>&1 &
        pids+=($!) names+=("$h")
        if [ "${#pids[@]}" -ge "$jobs" ] || [ "$h" = "${fuzzers[-1]}" ]; then
            for k in "${!pids[@]}"; do
                fuzz_report "${names[$k]}" "${pids[$k]}" || failed=1
            done
            pids=() names=()
        fi
    done
    return "$failed"
}

fuzz_report() {  # fuzz_report <harness> <pid>: waits for it and says how it went
    local log="build-asan/fuzz-$1.log"
    if ! wait "$2"; then
        tail -n 40 "$log"
        echo "fuzz $1: FAILED (input in build-asan/findings/)" >&2
        return 1
    fi
    echo "fuzz $1: $(grep -m1 -o 'DONE .*' "$log" | sed 's/ lim:.*//')," \
         "$(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$log" | sed 's/.*: //') runs"
}

case "$action" in
    run)
        build build -DKELVARA_WERROR=ON
        exec ./build/app/kelvara
        ;;
    test)
        format_check
        build build -DKELVARA_WERROR=ON
        # The plain tree and the package stay with g++; the ASan tree builds the harnesses too.
        build build-asan "${asan_options[@]}"
        export QT_QPA_PLATFORM=offscreen
        echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
        # Leak checking is on; tests/lsan.supp names the one library whose own caches it skips.
        if ! ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
                ctest --test-dir build-asan --output-on-failure -j "$jobs" \
                >build-asan/ctest.log 2>&1; then
            cat build-asan/ctest.log
            exit 1
        fi
        tail -n 3 build-asan/ctest.log
        echo "== tests"
        ctest --test-dir build --output-on-failure -j "$jobs"
        tsan
        package
        echo "== fuzz harnesses, a short run each"
        fuzz 12
        ;;
    package)
        package
        ;;
    fuzz)
        fuzz "${2:-600}"
        ;;
    bench)
        build build -DKELVARA_WERROR=ON
        for b in kelvara-bench-player kelvara-bench-solver kelvara-bench-levels; do
            (cd build && "./bench/$b")
        done
        bash bench/engine_vs_grep.sh build/tools/kelvara-engine
        ;;
    *)
        echo "usage: scripts/dev.sh [run|test|bench|package|fuzz [seconds]]" >&2
        exit 2
        ;;
esac
