# shellcheck shell=bash
# With the database the build ships: make a category and two recipes by clicking and typing, find
# one of them by searching, change the one found, quit with Ctrl+Q, and find it all in the file.
#
# Where each control lies in the window's content, from MainFormLayout.cpp (left, top, w, h).
readonly NEW_CATEGORY=(314 58 80 20) SAVE_CATEGORY=(600 58 80 20)
readonly NEW_RECIPE=(600 228 80 20) EDIT_RECIPE=(508 543 80 20) SAVE_RECIPE=(600 543 80 20)
readonly DIRECTIONS=(20 318 660 213) SEARCH=(395 64 267 22)
# The tab bar starts at the tab panel's corner (11,14); each tab is as wide as its caption, so
# these points lie well inside the first and the second tab.
readonly RECIPES_TAB_X=40 CATEGORIES_TAB_X=120 TABS_Y=26
# The recipe list (20,96) starts with its heading; its first row lies just below it.
readonly FIRST_RECIPE_ROW_X=100 FIRST_RECIPE_ROW_Y=123

start_app
attach_main_window
db_has "SELECT count(*) FROM Recipe" 0 || fail "the shipped database already holds recipes"

click $CATEGORIES_TAB_X $TABS_Y
click_control "${NEW_CATEGORY[@]}"
type_text "Weeknight"
click_control "${SAVE_CATEGORY[@]}"
poll "the new category in the file" \
    db_has "SELECT Name FROM Category WHERE CategoryId <> 1" "Weeknight"

click $RECIPES_TAB_X $TABS_Y
click_control "${NEW_RECIPE[@]}"
type_text "Lemon Tart"
# The name field hands the keyboard to the category pop-up; its next row after "General" is the
# new category.
press Tab Down
click_control "${DIRECTIONS[@]}"
type_text "Zest two lemons."
press Return
type_text "Bake for 25 minutes."
click_control "${SAVE_RECIPE[@]}"
poll "the first recipe in the file" db_has "SELECT count(*) FROM Recipe" 1

click_control "${NEW_RECIPE[@]}"
type_text "Apple Crumble"
click_control "${DIRECTIONS[@]}"
type_text "Rub the butter into the flour."
click_control "${SAVE_RECIPE[@]}"
poll "the second recipe in the file" db_has "SELECT count(*) FROM Recipe" 2

# "Apple Crumble" sorts first; only a search that kept just the tart puts the tart in the first
# row, so the recipe renamed below tells which list the search left.
click_control "${SEARCH[@]}"
type_text "lemon"
click $FIRST_RECIPE_ROW_X $FIRST_RECIPE_ROW_Y
click_control "${EDIT_RECIPE[@]}"
press End
type_text " with Cream"
click_control "${SAVE_RECIPE[@]}"
poll "the renamed recipe in the file" \
    db_has "SELECT count(*) FROM Recipe WHERE Name LIKE '% with Cream'" 1

press ctrl+q
wait_for_exit
[ "$APP_RC" -eq 0 ] || fail "the app quit with exit code $APP_RC"

expect_db "the categories" \
    "SELECT group_concat(Name, ',') FROM (SELECT Name FROM Category ORDER BY CategoryId)" \
    "General,Weeknight"
expect_db "the recipes, their categories and directions" \
    "SELECT r.Name || ' / ' || c.Name || ' / ' || replace(r.Directions, char(10), '\\n')
       FROM Recipe r JOIN Category c ON c.CategoryId = r.CategoryId ORDER BY r.RecipeId" \
    "Lemon Tart with Cream / Weeknight / Zest two lemons.\\nBake for 25 minutes.
Apple Crumble / General / Rub the butter into the flour."
expect_db "the file's integrity" "PRAGMA integrity_check" "ok"
# A transaction left open at quit would leave its journal behind.
[ ! -e "$E2E_DIR/larderon_db.rsd-journal" ] || fail "a journal was left beside the database"
[ -z "$(ls -A "$E2E_DIR/elsewhere")" ] || fail "the app wrote into its working folder"
note "passed"
