# shellcheck shell=bash
# Helpers the end-to-end scenarios share: start the real executable, find its window, click and
# type as a person does, poll for what should follow, and read the database file with sqlite3.
#
# A scenario runs inside its own X server with E2E_DIR holding the copied executable (and the
# database, when it has one). Everything is driven through the X server, so the app sees the same
# events a person's mouse and keyboard would produce.

# How long any one awaited state may take; generous, because a loaded machine (ctest -j) starts
# the app slowly, and a state that never comes fails the test after this anyway.
E2E_TIMEOUT=${E2E_TIMEOUT:-30}

# The main window's content is 700x600 (MainFormLayout.cpp); the menu bar sits above it.
readonly CONTENT_WIDTH=700
readonly CONTENT_HEIGHT=600

APP_PID=""
APP_RC=""

note() { echo "e2e: $*"; }

fail() {
    echo "e2e FAILED: $*" >&2
    if [ -n "$APP_PID" ] && app_running; then
        echo "--- the app's windows:" >&2
        describe_windows >&2
    fi
    save_screen "failure"
    if [ -s "$E2E_DIR/app.log" ]; then
        echo "--- the app's output:" >&2
        cat "$E2E_DIR/app.log" >&2
    fi
    stop_app
    exit 1
}

# A picture of the screen helps to see why a step failed; only when ImageMagick happens to be
# installed, since the tests do not depend on it.
save_screen() {
    [ -n "${E2E_ARTIFACTS:-}" ] && command -v import >/dev/null 2>&1 || return 0
    mkdir -p "$E2E_ARTIFACTS"
    import -window root "$E2E_ARTIFACTS/$1.png" 2>/dev/null &&
        echo "e2e: screen saved to $E2E_ARTIFACTS/$1.png" >&2
    return 0
}

# Starts the copied executable from another folder than its own, so that finding the database
# beside the executable (and not in the working folder) is part of what is tested.
start_app() {
    mkdir -p "$E2E_DIR/elsewhere"
    (cd "$E2E_DIR/elsewhere" && exec "$E2E_DIR/larderon") >"$E2E_DIR/app.log" 2>&1 &
    APP_PID=$!
    note "started the app (pid $APP_PID)"
}

app_running() {
    local state
    [ -r "/proc/$APP_PID/stat" ] || return 1
    # The third field is the state; a child that exited stays as a zombie (Z) until waited for.
    read -r _ _ state _ <"/proc/$APP_PID/stat" || return 1
    [ "$state" != "Z" ]
}

stop_app() {
    if [ -n "$APP_PID" ] && app_running; then
        kill "$APP_PID" 2>/dev/null
        wait "$APP_PID" 2>/dev/null
    fi
    APP_PID=""
}

# Waits for the app to end on its own and sets APP_RC to its exit code.
wait_for_exit() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while app_running; do
        ((SECONDS < deadline)) ||
            fail "the app was still running ${E2E_TIMEOUT}s after it was told to quit"
        sleep 0.1
    done
    wait "$APP_PID"
    APP_RC=$?
    APP_PID=""
    note "the app quit with exit code $APP_RC"
}

# poll <what> <command...>: runs the command until it succeeds, failing the test after
# E2E_TIMEOUT seconds or as soon as the app ends. The short pause keeps a waiting test from
# taking a core from the app.
poll() {
    local what=$1
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            fail "timed out after ${E2E_TIMEOUT}s waiting for $what"
        fi
        app_running || fail "the app ended while waiting for $what"
        sleep 0.1
    done
}

# Whether a window titled exactly "Larderon" is shown; sets WIN_ID to the first one. The main
# window and the app's message boxes share that title. A message box carries it only in
# _NET_WM_NAME (Qt leaves its WM_NAME empty), which "xdotool search --name" does not read, so
# the app's windows are found by class and their titles read one by one.
larderon_window_shown() {
    local id
    for id in $(xdotool search --onlyvisible --class '^Larderon$' 2>/dev/null); do
        if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "Larderon" ]; then
            WIN_ID=$id
            return 0
        fi
    done
    return 1
}

# Waits for a window titled "Larderon" and sets WIN_ID, WIN_X, WIN_Y, WIN_WIDTH and WIN_HEIGHT.
find_larderon_window() {
    # shellcheck disable=SC2034 # WINDOW and SCREEN are set by the eval and not needed.
    local X Y WIDTH HEIGHT WINDOW SCREEN
    poll "a window named \"Larderon\"" larderon_window_shown
    eval "$(xdotool getwindowgeometry --shell "$WIN_ID")"
    WIN_X=$X WIN_Y=$Y WIN_WIDTH=$WIDTH WIN_HEIGHT=$HEIGHT
}

# For a failure report: which of the app's windows are shown, and how big (a message box nobody
# expected explains many a timeout).
describe_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class '^Larderon$' 2>/dev/null); do
        echo "  window $id \"$(xdotool getwindowname "$id" 2>/dev/null)\"" \
            "$(xdotool getwindowgeometry "$id" 2>/dev/null | grep -o 'Geometry: .*')"
    done
}

# Finds the main window and gives it the keyboard. Sets MENU_HEIGHT: the content starts below the
# menu bar, and the window is its designed size, so the rest of the height is the menu bar.
attach_main_window() {
    find_larderon_window
    MENU_HEIGHT=$((WIN_HEIGHT - CONTENT_HEIGHT))
    note "main window $WIN_ID at ${WIN_X},${WIN_Y}, ${WIN_WIDTH}x${WIN_HEIGHT}," \
        "menu bar ${MENU_HEIGHT} px"
    if [ "$WIN_WIDTH" -ne "$CONTENT_WIDTH" ] || ((MENU_HEIGHT <= 0 || MENU_HEIGHT >= 80)); then
        fail "the main window is ${WIN_WIDTH}x${WIN_HEIGHT}; expected ${CONTENT_WIDTH} wide" \
            "and ${CONTENT_HEIGHT} plus a menu bar high"
    fi
    # No window manager runs under Xvfb, so nothing else gives the window the focus that its
    # keyboard shortcuts (Ctrl+Q) need.
    xdotool windowfocus --sync "$WIN_ID" || fail "cannot give the main window the keyboard"
}

# click <x> <y>: a left click at a point of the window's content, as the layout places controls.
click() {
    xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + MENU_HEIGHT + $2)) click 1 ||
        fail "cannot click at $1,$2"
}

# Clicks the middle of a control given by its designed left, top, width and height.
click_control() {
    click $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

type_text() {
    xdotool type --delay 15 -- "$1" || fail "cannot type \"$1\""
}

press() {
    xdotool key --delay 15 -- "$@" || fail "cannot press $*"
}

# The database file is only ever read, so a test can never create or change it.
db_query() {
    sqlite3 -readonly -cmd '.timeout 5000' "$E2E_DIR/larderon_db.rsd" "$1"
}

# db_has <sql> <expected>: whether the query prints exactly the expected text.
db_has() {
    [ "$(db_query "$1" 2>/dev/null)" = "$2" ]
}

# expect_db <what> <sql> <expected>: a final check on the file after the app has quit.
expect_db() {
    local actual
    actual=$(db_query "$2") || fail "cannot read the database for $1"
    [ "$actual" = "$3" ] || fail "$1: expected [$3], found [$actual]"
    note "ok: $1"
}

# Lists a folder's files with their sizes and times, to show nothing in it was created or touched.
folder_state() {
    (cd "$1" && find . -path ./runtime -prune -o -type f -printf '%p %s %T@\n' | sort)
}
