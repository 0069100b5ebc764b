# shellcheck shell=bash
# With no database beside the executable, or a file of that name that is no database: the
# connection message appears, answering it ends the app with exit code 0, and the folder is left
# as it was: the app never makes its own database, nor writes into a file it cannot use.
before=$(folder_state "$E2E_DIR")
if [ -e "$E2E_DIR/larderon_db.rsd" ]; then
    contents_before=$(cksum <"$E2E_DIR/larderon_db.rsd")
fi

start_app
find_larderon_window
# The message box shares the app's title; the main window, had it opened, would be far larger.
((WIN_HEIGHT < CONTENT_HEIGHT)) ||
    fail "a ${WIN_WIDTH}x${WIN_HEIGHT} window opened; expected the connection message alone"
note "message box $WIN_ID, ${WIN_WIDTH}x${WIN_HEIGHT}"
save_screen "connection-message"
xdotool windowfocus --sync "$WIN_ID" || fail "cannot give the message box the keyboard"
press Return
wait_for_exit
[ "$APP_RC" -eq 0 ] || fail "the app quit with exit code $APP_RC"

if [ -n "${contents_before:-}" ]; then
    [ "$(cksum <"$E2E_DIR/larderon_db.rsd")" = "$contents_before" ] ||
        fail "the app changed the file that is no database"
else
    [ ! -e "$E2E_DIR/larderon_db.rsd" ] || fail "the app created larderon_db.rsd"
fi
after=$(folder_state "$E2E_DIR")
# Only the app's own output and the empty folder it was started from are new.
diff <(echo "$before") <(echo "$after" | grep -v -e '^\./app\.log ') >&2 ||
    fail "files were created or changed"
[ -z "$(ls -A "$E2E_DIR/elsewhere")" ] || fail "the app wrote into its working folder"
note "passed"
