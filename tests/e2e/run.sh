#!/usr/bin/env bash
# Runs one end-to-end scenario against the real executable in a fresh folder and an X server of
# its own:  run.sh <scenario.sh> <larderon> <make_db> <with-database|without-database|foreign-file>
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server or xdotool on this machine).
set -uo pipefail

scenario=$1 app=$2 make_db=$3 database=$4
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run Xvfb xauth xdotool sqlite3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "e2e: skipped, $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/larderon-e2e.XXXXXX") || exit 1
trap 'rm -rf "$E2E_DIR"' EXIT
# The app looks for larderon_db.rsd beside its executable, so each test gets its own copy of both.
cp "$app" "$E2E_DIR/larderon" || exit 1
case $database in
    with-database) "$make_db" "$E2E_DIR/larderon_db.rsd" >/dev/null || exit 1 ;;
    without-database) ;;
    # What a person might leave there by mistake: a text file under the database's name.
    foreign-file)
        printf '%s\n' "Grandma's recipes" "Scones: flour, butter, milk." >"$E2E_DIR/larderon_db.rsd"
        ;;
    *)
        echo "e2e: unknown database choice $database" >&2
        exit 2
        ;;
esac
export E2E_DIR E2E_ARTIFACTS=${E2E_ARTIFACTS:-}

# The tests run with QT_QPA_PLATFORM=offscreen; this one must reach the X server. Scaling set
# in the environment would move the controls away from their designed pixels.
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# xvfb-run -a picks a free display number, but two runs starting together can pick the same one
# and one server then fails to start. The scenario leaves a mark as its first act, so a failure
# without the mark was the server's, and is tried again on another number.
for attempt in 1 2 3 4 5; do
    rm -f "$E2E_DIR/.started"
    # shellcheck disable=SC2016 # expanded by the inner shell, where E2E_DIR is exported.
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        bash -c 'touch "$E2E_DIR/.started" && source "$1" && source "$2"' \
        e2e "$here/lib.sh" "$scenario"
    rc=$?
    if [ -e "$E2E_DIR/.started" ] || [ "$attempt" -eq 5 ]; then
        exit $rc
    fi
    echo "e2e: the X server did not start (attempt $attempt); trying again"
    sleep "0.$((RANDOM % 9 + 1))"
done
