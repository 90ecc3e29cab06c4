#!/usr/bin/env bash
# The set-up's check that Wine starts, against a stand-in wine on the PATH: a machine that runs no
# 32-bit code is told as such, another failure of Wine is told with what Wine said, a working Wine
# passes; and the architecture it sets up: the 64-bit twin only where no 32-bit code runs.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
cat >"$work/bin/wine" <<'EOF2'
#!/usr/bin/env bash
case $FAKE_WINE in
noi386) echo "/usr/bin/wine: 6: exec: /usr/lib/wine/wine: Exec format error" >&2; exit 2 ;;
broken) echo "wine: could not load kernel32.dll, status c0000135" >&2; exit 1 ;;
*) echo "wine-8.0 (Debian 8.0~repack-4)" ;;
esac
EOF2
chmod +x "$work/bin/wine"

failures=0
# check <fake> <expected exit> <text the output must hold>
check() {
    local out rc
    out=$(
        export PATH="$work/bin:$PATH" FAKE_WINE=$1 VYX_BUILD_DIR="$work/build"
        # shellcheck source=/dev/null
        source "$ROOT/scripts/setup.sh"
        check_runs_i386 2>&1
    )
    rc=$?
    if [ "$rc" != "$2" ] || ! grep -qF -- "$3" <<<"$out"; then
        echo "FAILED: wine '$1': exit $rc (wanted $2), output:"
        sed 's/^/    /' <<<"$out"
        failures=$((failures + 1))
    fi
}
check noi386 1 "this machine cannot run 32-bit x86 programs"
check broken 1 "Wine does not start: wine: could not load kernel32.dll"
check ok 0 ""

# arch <fake> <architecture wanted>: the choice the set-up makes from Wine's 32-bit loader.
arch() {
    local out
    out=$(
        export PATH="$work/bin:$PATH" FAKE_WINE=$1 VYX_BUILD_DIR="$work/build" VYX_WINE32_LOADER="$work/bin/wine"
        unset VYX_ARCH
        # shellcheck source=/dev/null
        source "$ROOT/scripts/setup.sh"
        APT_PACKAGES_X86_64=()
        choose_arch 2>/dev/null
        echo "$ARCH $(basename "$TOOLCHAIN") ${CACHE#"$CACHE_ROOT"}"
    )
    if [ "$out" != "$2" ]; then
        echo "FAILED: wine '$1' chose '$out', wanted '$2'"
        failures=$((failures + 1))
    fi
}
arch noi386 "x86_64 mingw-x86_64.cmake /x86_64"
arch ok "i686 mingw-i686.cmake "
arch broken "i686 mingw-i686.cmake "
echo "$((6 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
