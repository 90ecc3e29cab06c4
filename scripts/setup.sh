#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test the program: system packages, the Windows
# dependencies (built from Debian's source packages into a cache outside the checkout) and the
# Wine prefix in the build tree. Idempotent: a second run only checks.
#
# The program is 32-bit. On a machine that runs no 32-bit x86 code (some kernels and virtual
# machines), where Wine cannot start it, everything is set up for its 64-bit twin instead: the
# x86_64 dependencies and a 64-bit prefix, so the same sources are built and tested there.
#
#   VYX_BUILD_DIR   build tree (default: <checkout>/build)
#   VYX_DEPS_CACHE  dependency cache (default: $HOME/.cache/vyx-deps)
#   VYX_ARCH        i686 or x86_64 (default: i686 where the machine runs it, else x86_64)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${VYX_BUILD_DIR:-$ROOT/build}
CACHE_ROOT=${VYX_DEPS_CACHE:-$HOME/.cache/vyx-deps}
ARCH=${VYX_ARCH:-}
JOBS=$(nproc)
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

say() { printf '[setup] %s\n' "$*" >&2; }
die() { printf '[setup] FAILED: %s\n' "$*" >&2; exit 1; }

APT_PACKAGES=(
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
    wine wine32:i386 xvfb xauth locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
    fonts-ipaexfont-gothic fonts-vlgothic fonts-noto-cjk
    nasm cmake make dpkg-dev imagemagick libz-mingw-w64-dev googletest xz-utils bzip2
    # Printing goes to a PDF printer (a CUPS daemon the test session starts; the 32-bit library is
    # the one Wine's printing loads); printed pages are read back with poppler, catalog pages are
    # opened in a headless browser.
    cups printer-driver-cups-pdf libcups2:i386 poppler-utils chromium
)
# What the 64-bit twin needs besides (the 64-bit CUPS library is the one 64-bit Wine loads).
APT_PACKAGES_X86_64=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 libcups2
)

# ---------------------------------------------------------------- system packages
enable_deb_src() {
    local changed=0 f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        grep -q 'debian' "$f" || continue
        if grep -qE '^Types: deb$' "$f"; then
            $SUDO sed -i -E 's/^Types: deb$/Types: deb deb-src/' "$f"
            changed=1
        fi
    done
    if [ -f /etc/apt/sources.list ] && grep -qE '^deb .*debian' /etc/apt/sources.list; then
        local src
        src=$(grep -E '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /')
        while IFS= read -r line; do
            grep -qxF "$line" /etc/apt/sources.list || { echo "$line" | $SUDO tee -a /etc/apt/sources.list >/dev/null; changed=1; }
        done <<<"$src"
    fi
    return $((1 - changed))
}

APT_TRIES=${VYX_APT_TRIES:-4}
APT_PAUSE=${VYX_APT_PAUSE:-30}
APT_FAILED_INDEXES=()   # what the last apt-get update could not fetch
APT_MID_SYNC=0          # whether it said the registry is being synced

# apt-get update, again after a pause while an index fails: a registry mirror mid-sync serves an
# index whose size its Release file does not give, for minutes. Non-zero when the last try failed.
apt_update() {
    local try out
    for ((try = 1; ; ++try)); do
        if [ "$try" = 1 ]; then say "apt-get update"; else say "apt-get update (try $try of $APT_TRIES)"; fi
        if out=$($SUDO apt-get update -q 2>&1); then
            APT_FAILED_INDEXES=()
            return 0
        fi
        mapfile -t APT_FAILED_INDEXES < <(sed -n -E 's/^[EW]: Failed to fetch ([^ ]+).*/\1/p' <<<"$out")
        if grep -q -i -E 'Mirror sync in progress|unexpected size|Hash Sum mismatch' <<<"$out"; then
            APT_MID_SYNC=1
        fi
        grep -E '^[EW]: ' <<<"$out" | sed 's/^/[setup]   /' >&2 || true
        [ "$try" -lt "$APT_TRIES" ] || return 1
        say "trying again in $APT_PAUSE s"
        sleep "$APT_PAUSE"
    done
}

# Why the registry failed, for a message that ends the set-up.
apt_update_failure() {
    local what="apt-get update could not fetch ${APT_FAILED_INDEXES[*]:-an index of the package registry}"
    if [ "$APT_MID_SYNC" = 1 ]; then
        what+=": the package registry is mid-sync (the index does not match its Release file)"
    fi
    printf '%s; run %s again later' "$what" "${VYX_SETUP_COMMAND:-./scripts/setup.sh}"
}

# apt_update_and_install [package...]: the update goes on past an index that cannot be fetched as
# long as the packages still install from what is known; otherwise the set-up ends naming it.
apt_update_and_install() {
    local updated=1 out
    apt_update || {
        updated=0
        say "going on without it; the packages may still install"
    }
    [ $# -gt 0 ] || return 0
    say "installing: $*"
    if ! out=$($SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" 2>&1); then
        grep -E '^E: |broken|unmet' <<<"$out" | tail -n 20 | sed 's/^/[setup]   /' >&2 || true
        [ "$updated" = 1 ] && die "apt-get install failed"
        die "the packages cannot be installed: $(apt_update_failure)"
    fi
}

missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

setup_system() {
    local update=0 missing=()
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture"
        $SUDO dpkg --add-architecture i386
        update=1
    fi
    if enable_deb_src; then
        say "enabled deb-src"
        update=1
    fi
    mapfile -t missing < <(missing_packages "${APT_PACKAGES[@]}")
    if [ -z "$(apt-cache showsrc libjpeg-turbo 2>/dev/null | head -n 1)" ]; then
        update=1
    fi
    if [ "$update" = 1 ] || [ ${#missing[@]} -gt 0 ]; then
        apt_update_and_install "${missing[@]}"
    fi
    if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
        say "generating the ja_JP.UTF-8 locale"
        $SUDO sed -i -E 's/^# *(ja_JP\.UTF-8 UTF-8)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen >/dev/null
    fi
}

# ---------------------------------------------------------------- Windows dependencies
declare -A PREFIX_OF KEY_OF   # package -> its cache prefix and its "package-version" key

# The architecture to build and test: i686 unless this machine cannot run it. Wine's 32-bit loader
# stands for every i386 program here; Debian's wine starts it whenever it is installed.
WINE32_LOADER=${VYX_WINE32_LOADER:-/usr/lib/wine/wine}
choose_arch() {
    if [ -z "$ARCH" ]; then
        local said
        if said=$("$WINE32_LOADER" --version 2>&1); then
            ARCH=i686
        else
            case $said in
            *"Exec format error"*)
                ARCH=x86_64
                say "this machine cannot run 32-bit x86 programs (its kernel or virtual machine has no 32-bit user mode), so Wine cannot start the 32-bit program here: the tests run on its 64-bit twin, built from the same sources, under 64-bit Wine" ;;
            *) ARCH=i686 ;;   # check_runs_i386 tells what is wrong
            esac
        fi
    fi
    case $ARCH in
    i686) CACHE=$CACHE_ROOT ;;
    x86_64)
        CACHE=$CACHE_ROOT/x86_64
        local missing=()
        mapfile -t missing < <(missing_packages "${APT_PACKAGES_X86_64[@]}")
        [ ${#missing[@]} = 0 ] || apt_update_and_install "${missing[@]}" ;;
    *) die "VYX_ARCH is i686 or x86_64, not $ARCH" ;;
    esac
    TOOLCHAIN=$ROOT/cmake/mingw-$ARCH.cmake
}

# Wine's commands for the prefix of the chosen architecture.
wine_env() {
    export WINEPREFIX="$1" WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \
        WINEDEBUG=-all DISPLAY=
    if [ "$ARCH" = x86_64 ]; then
        export WINEARCH=win64 PATH="$ROOT/scripts/wine64:$PATH"
    else
        export WINEARCH=win32
    fi
}

cmake_dep() { # src build prefix args...
    local src=$1 bld=$2 prefix=$3
    shift 3
    # Chained with && because errexit is off inside the caller's "if !" test.
    cmake -S "$src" -B "$bld" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" &&
        cmake --build "$bld" -j "$JOBS" &&
        cmake --install "$bld"
}

recipe_libjpeg_turbo() {
    cmake_dep "$1" "$2" "$3" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_JPEG8=OFF -DWITH_TURBOJPEG=OFF \
        -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
}

recipe_tiff() {
    cmake_dep "$1" "$2" "$3" -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
        -Dtiff-opengl=OFF -Dcxx=OFF -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dzlib=ON -Dpixarlog=ON \
        -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF
}

recipe_libonig() {
    cmake_dep "$1" "$2" "$3" -DENABLE_POSIX_API=OFF -DINSTALL_DOCUMENTATION=OFF -DINSTALL_EXAMPLES=OFF
}

recipe_libpng1_6() {
    cmake_dep "$1" "$2" "$3" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
        -Dld-version-script=OFF
}

recipe_libexif() {
    cp "$ROOT/cmake/deps/libexif/CMakeLists.txt" "$1/CMakeLists.txt"
    cmake_dep "$1" "$2" "$3"
}

recipe_openjpeg2() {
    cmake_dep "$1" "$2" "$3" -DBUILD_STATIC_LIBS=ON -DBUILD_CODEC=OFF -DBUILD_TESTING=OFF \
        -DBUILD_DOC=OFF -DBUILD_JPIP=OFF
}

recipe_googletest() {
    cmake_dep "$1" "$2" "$3" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

recipe_benchmark() {
    cmake_dep "$1" "$2" "$3" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
        -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_ENABLE_INSTALL=ON \
        -DGIT_VERSION=0.0.0  # Debian's patch skips the git query; 0.0.0 selects the project version
}

# Debian versions of a source package, newest first.
source_versions() {
    apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u -r -V
}

# build_dep package [dependency packages...]: builds the newest version apt can fetch, unless the
# cache already holds it built with the same recipe and dependencies.
build_dep() {
    local pkg=$1
    shift
    local recipe="recipe_${pkg//[-.]/_}" d deps_key="" v
    for d in "$@"; do deps_key+=" ${KEY_OF[$d]}"; done
    local recipe_hash
    recipe_hash=$( { declare -f "$recipe" cmake_dep; cat "$TOOLCHAIN" "$ROOT/cmake/mingw-common.cmake"; [ "$pkg" != libexif ] || cat "$ROOT/cmake/deps/libexif/CMakeLists.txt"; } | sha1sum | cut -c1-12)
    local versions
    versions=$(source_versions "$pkg")
    if [ -z "$versions" ]; then
        [ ${#APT_FAILED_INDEXES[@]} = 0 ] || die "apt knows no source package $pkg: $(apt_update_failure)"
        die "apt knows no source package $pkg (is deb-src enabled?)"
    fi
    for v in $versions; do
        local prefix="$CACHE/$pkg-${v#*:}"   # no epoch: prefixes travel in a colon-separated list
        local key="$pkg-$v recipe:$recipe_hash deps:$deps_key"
        if [ -f "$prefix/.vyx-built" ] && [ "$(cat "$prefix/.vyx-built")" = "$key" ]; then
            PREFIX_OF[$pkg]=$prefix
            KEY_OF[$pkg]="$pkg-$v"
            return 0
        fi
        local dl="$CACHE_ROOT/src/$pkg-${v#*:}"   # sources serve both architectures
        if ! ls "$dl"/*.dsc >/dev/null 2>&1; then
            say "fetching the source of $pkg $v"
            rm -rf "$dl" && mkdir -p "$dl"
            # A failed download may be a passing network fault as well as a version the archive
            # dropped: nothing is remembered, the next run asks again.
            if ! (cd "$dl" && apt-get source --download-only "$pkg=$v" >"$dl.log" 2>&1); then
                say "  could not download $pkg $v; trying an older version. The download said:"
                grep '^E:' "$dl.log" | sed 's/^/[setup]     /' >&2 || true
                rm -rf "$dl"
                continue
            fi
        fi
        local log="$CACHE/logs/$pkg-${v#*:}.log"
        say "building $pkg $v for $ARCH Windows (log: $log)"
        mkdir -p "$CACHE/logs" "$CACHE/work"
        local work="$CACHE/work/$pkg-${v#*:}"
        rm -rf "$work" "$prefix"
        mkdir -p "$work"
        dpkg-source -x "$dl"/*.dsc "$work/src" >"$log" 2>&1 ||
            die "unpacking $pkg $v (see $log)"
        local dep_prefixes=""
        for d in "$@"; do dep_prefixes+="${dep_prefixes:+:}${PREFIX_OF[$d]}"; done
        if ! (export VYX_DEPS_PREFIXES="$dep_prefixes"; "$recipe" "$work/src" "$work/build" "$prefix") \
            >>"$log" 2>&1; then
            tail -n 30 "$log" >&2
            die "building $pkg $v (see $log)"
        fi
        if [ "$pkg" = libjpeg-turbo ] && ! grep -q "SIMD extensions: ${ARCH/i686/i386}" "$log"; then
            die "libjpeg-turbo was configured without the ${ARCH/i686/i386} SIMD extensions (see $log)"
        fi
        echo "$key" >"$prefix/.vyx-built"
        rm -rf "$work"
        PREFIX_OF[$pkg]=$prefix
        KEY_OF[$pkg]="$pkg-$v"
        return 0
    done
    die "no version of $pkg could be fetched"
}

setup_deps() {
    mkdir -p "$CACHE_ROOT/src"
    build_dep libjpeg-turbo
    build_dep tiff libjpeg-turbo
    build_dep libonig
    build_dep libpng1.6
    build_dep libexif
    build_dep openjpeg2
    build_dep googletest
    build_dep benchmark
    local all="" p
    for p in libjpeg-turbo tiff libonig libpng1.6 libexif openjpeg2 googletest benchmark; do
        all+="${all:+:}${PREFIX_OF[$p]}"
    done
    mkdir -p "$BUILD_DIR"
    {
        echo "# Written by scripts/setup.sh: the architecture and dependency prefixes of this build tree."
        echo "export VYX_ARCH=$ARCH"
        echo "export VYX_DEPS_PREFIXES='$all'"
        for p in libjpeg-turbo tiff libonig libpng1.6 libexif openjpeg2 googletest benchmark; do
            echo "# ${KEY_OF[$p]}"
        done
    } >"$BUILD_DIR/deps.env"
}

# ---------------------------------------------------------------- Wine prefix
# Face names the program asks for, mapped to Japanese fonts Debian ships, chosen so that every
# printable ASCII mark of a name keeps its ink and place at the program's sizes (9 to 16 pixels).
# Not the IPA faces: under Wine the hinting of IPAGothic and IPAMincho draws "_" as nothing and
# "." touching the next letter, and IPAexGothic, IPAMincho and the other Mincho faces put "~" up
# at the cap height, where it reads as an overline. The VL faces lose "_" at 9 pixels only, which
# the program's low-line painter draws itself.
FONT_REPLACEMENTS=(
    "ＭＳ Ｐゴシック=VL PGothic" "MS PGothic=VL PGothic" "MS UI Gothic=VL PGothic"
    "ＭＳ ゴシック=VL Gothic" "MS Gothic=VL Gothic" "ＭＳ 明朝=Noto Serif CJK JP" "MS Mincho=Noto Serif CJK JP"
)

# Xvfb has no window manager: unmanaged windows spare every hidden top-level window Wine's
# two-second wait for a window-manager reply.
X11_DRIVER_SETTINGS=("Managed=N")
PREFIX_RECIPE_VERSION=3   # bump when the prefix settings below change

# The program's settings in a prefix: written into a new one, and over an older one's, so that a
# build tree made before a change (and the files in its prefix) is brought up to date in place.
write_prefix_settings() {
    local prefix=$1
    (
        wine_env "$prefix"
        local r
        for r in "${FONT_REPLACEMENTS[@]}"; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${r%%=*}" /t REG_SZ /d "${r#*=}" /f >/dev/null 2>&1 ||
                exit 1
        done
        for r in "${X11_DRIVER_SETTINGS[@]}"; do
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v "${r%%=*}" /t REG_SZ /d "${r#*=}" /f >/dev/null 2>&1 || exit 1
        done
        # No crash debugger: under a display it would wait in a dialog and hold the test run.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f \
            >/dev/null 2>&1 || exit 1
        wineserver -w
    )
}

# Whether the prefix's user registry holds the replacement "name"="face", as Wine writes it (a
# character past ASCII as \xNNNN; the line passes through the environment, where awk reads no
# escapes).
prefix_has_replacement() {
    local prefix=$1 name=$2 face=$3 escaped
    escaped=$(printf '%s' "$name" | iconv -f UTF-8 -t UTF-32LE | od -An -v -tu4 |
        awk '{ for (i = 1; i <= NF; ++i) if ($i < 128) printf "%c", $i; else printf "\\x%04x", $i }')
    KEY="\"$escaped\"=\"$face\"" awk '
        /^\[/ { inside = index($0, "[Software\\\\Wine\\\\Fonts\\\\Replacements]") == 1 }
        inside && $0 == ENVIRON["KEY"] { found = 1 }
        END { exit !found }' "$prefix/user.reg"
}

# Some kernels and virtual machines run no 32-bit x86 code: every i386 program, Wine's own loader
# included, fails with "Exec format error", which the prefix's creation would only report as failed.
check_runs_i386() {
    local said
    said=$(wine --version 2>&1) && return 0
    case $said in
    *"Exec format error"*)
        die "this machine cannot run 32-bit x86 programs (its kernel or virtual machine has no 32-bit user mode), so Wine cannot start the program or its tests here; the dependencies are built, so the sources still compile (cmake with $BUILD_DIR/deps.env). Wine said: $said" ;;
    *) die "Wine does not start: $said" ;;
    esac
}

setup_wine_prefix() {
    local prefix="$BUILD_DIR/wineprefix"
    local stamp="$prefix/.vyx-ready"
    local want
    want=$(printf '%s\n' "${FONT_REPLACEMENTS[@]}" "${X11_DRIVER_SETTINGS[@]}" "$PREFIX_RECIPE_VERSION" "$ARCH" |
        sha1sum | cut -c1-12)
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && return 0
    local arch_line="#arch=win32"
    [ "$ARCH" = i686 ] || arch_line="#arch=win64"
    if [ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ] && [ -f "$stamp" ] &&
        grep -qx "$arch_line" "$prefix/system.reg"; then
        say "bringing the Wine prefix $prefix up to date"
    else
        say "creating the Wine prefix $prefix"
        rm -rf "$prefix"
        mkdir -p "$BUILD_DIR"
        (
            wine_env "$prefix"
            wineboot -i >/dev/null 2>&1
            wineserver -w
        ) || die "creating the Wine prefix"
    fi
    write_prefix_settings "$prefix" || die "writing the settings of the Wine prefix"
    local r face
    for r in "${FONT_REPLACEMENTS[@]}"; do
        face=${r#*=}
        fc-list ":family=$face" family | grep -q . || die "the font $face is not installed"
        prefix_has_replacement "$prefix" "${r%%=*}" "$face" ||
            die "the font replacement ${r%%=*} -> $face did not reach the Wine prefix"
    done
    echo "$want" >"$stamp"
}

# Wine's own Marlett (from fonts-wine), which draws the caption buttons and the frame-control
# glyphs: without it in the prefix they show as the letters "0 1 r". Also for a prefix made before
# this step existed; a stamp keeps the second run to a file check.
MARLETT=/usr/share/wine/fonts/marlett.ttf
setup_prefix_fonts() {
    local prefix="$BUILD_DIR/wineprefix"
    local fonts="$prefix/drive_c/windows/Fonts"
    local stamp="$prefix/.vyx-fonts"
    [ -f "$stamp" ] && [ -f "$fonts/marlett.ttf" ] && return 0
    [ -f "$MARLETT" ] || die "$MARLETT is missing (package fonts-wine)"
    say "adding Marlett to the Wine prefix"
    mkdir -p "$fonts"
    cp "$MARLETT" "$fonts/marlett.ttf"
    (
        wine_env "$prefix"
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
            /t REG_SZ /d marlett.ttf /f >/dev/null 2>&1
    ) || die "registering Marlett in the Wine prefix"
    echo 1 >"$stamp"
}

# Sourced (by its tests), it only defines the steps.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
    setup_system
    choose_arch
    setup_deps
    [ "$ARCH" != i686 ] || check_runs_i386
    if [ "$ARCH" = x86_64 ] && [ -z "${VYX_ARCH:-}" ] && [ "${VYX_BUILD_I686:-0}" = 1 ]; then
        # The 32-bit program is still what users get: its dependencies too, so that the test run
        # can build it (build/i686) where it cannot run it.
        ( ARCH=i686 BUILD_DIR=$BUILD_DIR/i686; choose_arch; setup_deps )
    fi
    setup_wine_prefix
    setup_prefix_fonts
    say "ready"
fi
