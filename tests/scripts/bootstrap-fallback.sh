#!/usr/bin/env bash
# scripts/bootstrap against a package archive in the middle of a sync: the
# package tools are fakes (first on PATH, and named through KV_APT_GET,
# KV_DPKG, KV_DPKG_QUERY), so nothing is installed and nothing runs as root.
#
# The fake apt-get fails its first "update" with a mirror-sync error and
# refuses to install the packages named in FAKE_REFUSE (apt installs nothing
# when one package of a request is refused); the fake dpkg reports i386 as a
# foreign architecture when FAKE_I386 is set. Every call is written to calls.log.
set -uo pipefail

root=${KV_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
work=${KV_TEST_WORK:-$(mktemp -d)}
failures=0

fail() { echo "FAIL [$case_name]: $*"; failures=$((failures + 1)); }

make_fakes() {  # <bin>
    cat >"$1/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_STATE/calls.log"
case $1 in
update)
    n=$(($(cat "$FAKE_STATE/updates" 2>/dev/null || echo 0) + 1))
    echo "$n" >"$FAKE_STATE/updates"
    if [ "$n" -eq 1 ]; then
        echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-i386/Packages.xz" \
             " File has unexpected size (8812032 != 8811924). Mirror sync in progress? [IP: 192.0.2.1 80]" >&2
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
        exit 100
    fi
    ;;
install)
    shift
    wanted=()
    for p in "$@"; do
        [[ $p == -* ]] && continue
        if [[ " $FAKE_REFUSE " == *" $p "* ]]; then
            echo "E: Package '$p' has no installation candidate" >&2
            exit 100
        fi
        wanted+=("$p")
    done
    printf '%s\n' "${wanted[@]}" >>"$FAKE_STATE/installed"
    ;;
*)
    echo "fake apt-get: unexpected call: $*" >&2
    exit 2
    ;;
esac
FAKE
    cat >"$1/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg-query $*" >>"$FAKE_STATE/calls.log"
package=${!#}
grep -qx -- "$package" "$FAKE_STATE/installed" 2>/dev/null || exit 1
printf 'install ok installed'
FAKE
    cat >"$1/dpkg" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE_STATE/calls.log"
case $1 in
--print-foreign-architectures) [ -z "${FAKE_I386:-}" ] || echo i386 ;;
--add-architecture) ;;
*) echo "fake dpkg: unexpected call: $*" >&2; exit 2 ;;
esac
FAKE
    # as_root uses sudo when not run as root.
    cat >"$1/sudo" <<'FAKE'
#!/usr/bin/env bash
exec "$@"
FAKE
    chmod +x "$1"/*
}

# run_bootstrap <case> <refused packages> <i386 present: 1 or empty>
# Sets $status and $output (stdout and stderr together) and $state.
run_bootstrap() {
    case_name=$1
    state=$work/$1
    rm -rf "$state"
    mkdir -p "$state/bin" "$state/deps"
    make_fakes "$state/bin"
    output=$(PATH="$state/bin:$PATH" FAKE_STATE="$state" FAKE_REFUSE="$2" FAKE_I386="$3" \
        KV_APT_GET="$state/bin/apt-get" KV_DPKG="$state/bin/dpkg" KV_DPKG_QUERY="$state/bin/dpkg-query" \
        KV_DEPS_DIR="$state/deps" KV_APT_RETRY_PAUSE=0 KV_BOOTSTRAP_PACKAGES_ONLY=1 \
        timeout 30 bash "$root/scripts/bootstrap" 2>&1)
    status=$?
}

expect_output() {  # <text>
    grep -qF -- "$1" <<<"$output" || fail "no \"$1\" in the output"
}

expect_no_unexpected_calls() {
    grep -q "fake .*unexpected call" <<<"$output" && fail "a package tool was called in an unexpected way"
}

# The 32-bit Wine package is missing from the archive: the rest is installed
# and the run goes on, on the x86_64 build.
run_bootstrap optional-missing "wine32:i386" 1
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
expect_output "apt-get update reported a failing index"
expect_output "wine32:i386 cannot be installed"
expect_output "the tests will run on the x86_64 build"
grep -qx "cmake" "$state/installed" || fail "the required packages were not installed"
grep -qx "wine32:i386" "$state/installed" && fail "wine32:i386 shows as installed"
grep -q -- "--add-architecture" "$state/calls.log" && fail "i386 was added although present"
expect_no_unexpected_calls

# A required package cannot be installed: the run stops and names it.
run_bootstrap required-missing "wine32:i386 cmake" ""
[ "$status" -ne 0 ] || fail "exit status 0, expected a failure"
expect_output "bootstrap: cannot install: cmake "
grep -q "cannot install:.*ninja-build" <<<"$output" && fail "an installable package was named"
grep -qx "dpkg --add-architecture i386" "$state/calls.log" || fail "the architecture was not added through the replaced dpkg"
expect_no_unexpected_calls

if [ "$failures" -ne 0 ]; then
    echo "--- output of the last run:"
    echo "$output"
    exit 1
fi
echo "bootstrap fallback: all cases passed"
