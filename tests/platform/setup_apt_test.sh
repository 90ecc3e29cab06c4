#!/usr/bin/env bash
# The set-up's package step against a stand-in apt-get on the PATH whose update fails as a registry
# mirror mid-sync does: the set-up tries again, goes on while the packages still install, and
# otherwise ends naming the index and saying to run it again later.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
INDEX=http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
cat >"$work/bin/apt-get" <<EOF
#!/usr/bin/env bash
state=\$FAKE_STATE
case "\$1" in
update)
    n=\$(( \$(cat "\$state/updates" 2>/dev/null || echo 0) + 1 ))
    echo \$n >"\$state/updates"
    if [ \$n -le "\$FAKE_UPDATE_FAILS" ]; then
        echo "Get:1 http://deb.debian.org/debian bookworm InRelease [151 kB]"
        echo "E: Failed to fetch $INDEX  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi ;;
install)
    echo "\$*" >>"\$state/installed"
    if [ "\$FAKE_INSTALL" = broken ]; then
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100
    fi ;;
*) exit 1 ;;
esac
exit 0
EOF
chmod +x "$work/bin/apt-get"

failures=0
cases=0
fail() {
    echo "FAILED: $1"
    sed 's/^/    /' "$out"
    failures=$((failures + 1))
}

# run_case <update failures> <install: ok|broken>: the step's exit code in $rc, its output in $out.
run_case() {
    cases=$((cases + 1))
    local state="$work/case$cases"
    mkdir -p "$state"
    out="$state/out"
    (
        export PATH="$work/bin:$PATH" FAKE_STATE="$state" FAKE_UPDATE_FAILS=$1 FAKE_INSTALL=$2
        export VYX_APT_TRIES=3 VYX_APT_PAUSE=0 VYX_SETUP_COMMAND=./scripts/test.sh
        # shellcheck source=/dev/null
        source "$ROOT/scripts/setup.sh"
        SUDO=
        apt_update_and_install wine32:i386 libcups2:i386
    ) >"$out" 2>&1
    rc=$?
    updates=$(cat "$state/updates" 2>/dev/null || echo 0)
    installed=$(cat "$state/installed" 2>/dev/null)
}

run_case 2 ok
[ $rc = 0 ] || fail "a sync over by the third try: the set-up went on (exit $rc)"
[ "$updates" = 3 ] || fail "a sync over by the third try: three updates (saw $updates)"
[[ "$installed" == *wine32:i386* ]] || fail "a sync over by the third try: the packages installed"

run_case 99 ok
[ $rc = 0 ] || fail "an index still failing whose packages install: the set-up went on (exit $rc)"
[ "$updates" = 3 ] || fail "an index still failing: tried three times (saw $updates)"
grep -q "going on" "$out" || fail "an index still failing whose packages install: the user is told"

run_case 99 broken
[ $rc != 0 ] || fail "an index failing and the packages not installing: the set-up ends"
grep -qF "$INDEX" "$out" || fail "the message names the failing index"
grep -q "mid-sync" "$out" || fail "the message says the registry is mid-sync"
grep -q "run ./scripts/test.sh again later" "$out" || fail "the message says to run the command again later"

run_case 0 broken
[ $rc != 0 ] || fail "packages not installing after a good update: the set-up ends"
[ "$updates" = 1 ] || fail "a good update is not repeated (saw $updates)"
grep -q "mid-sync" "$out" && fail "a good update's install failure does not blame the registry's sync"

[ $cases = 4 ] || { echo "FAILED: ran $cases cases"; exit 1; }
[ $failures = 0 ] || exit 1
echo "passed: $cases cases"
