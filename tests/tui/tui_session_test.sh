#!/usr/bin/env bash
# Drives zantel-tui in a tmux window the way a person does and reads the screen after every
# step (tmux capture-pane). Scenarios:
#   session  selection by masks on the file panel, its files sorted by extension (Ctrl+F4, again
#            reversed) and back by name; the demo phone: disk menu, F1 help, the SIM card's
#            contacts, an entry viewed and a new one created (and found in the phone's saved
#            state), copies to the file panel as text and as a vCard, the window shrunk, grown
#            and made too small, F10
#   sms      the functions menu drawn over both panels with Far's shadow and the screen back
#            after it, then reached round from its first item to the last, which switches to the
#            messages: a folder entered, a message read with F3, one composed with Shift+F4
#            and sent (found in the phone's saved state), the configuration menu from F9, F10
#   export   F5 on the SIM card at the plug-in's root: the whole memory exported as CSV into
#            the file panel's folder
#   hangup   the phone goes away while its panel is open: the error is shown with the reason the
#            module met, the host keeps running and quits cleanly
#   cut      the line is cut in the middle of an answer while the phone is being opened
#   viewer   F3 on a file of the file panel: its first lines under a title, End, F8 round the code
#            pages, F10 back to the panels as they were; F4 runs $VISUAL on it and reads the
#            panel again
#   options  arguments zantel-tui cannot take are named, not run with
#   run      scripts/run as a person starts it: the demo phone's storages show at once, and F10
#            leaves the demo phone saved
# Usage: tui_session_test.sh SCENARIO ZANTEL_TUI MODULE PHONESIM BUILD_DIR
# Exit 77 (skipped) only when tmux is missing.
set -uo pipefail
# Our own tmux server, whatever session the caller may be in.
unset TMUX

scenario=$1
tui=$2
module=$3
phonesim=$4
build_dir=${5:-}
root=$(cd "$(dirname "$0")/../.." && pwd)

if ! command -v tmux >/dev/null; then
  echo "SKIPPED: tmux is not installed (scripts/setup installs it)"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zantel-tui-test.XXXXXX")
socket="zantel-tui-test-$$"
simulator=
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null
  if [ -n "$simulator" ] && kill -0 "$simulator" 2>/dev/null; then
    kill -TERM "$simulator" 2>/dev/null
    wait "$simulator" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  echo "---- screen ----"
  tmux -L "$socket" capture-pane -p -t zt 2>/dev/null
  echo "---- host's standard error ----"
  cat "$work/stderr" 2>/dev/null
  exit 1
}

window=zt
# shellcheck source=../support/tmux_screen.sh
source "$(dirname "$0")/../support/tmux_screen.sh"

# Waits for the plug-in panel's status line (the current item) to show a text.
expect_current() {
  local _
  for _ in $(seq 100); do
    [[ $(screen | tail -n 4 | head -n 1) == *"$1"* ]] && return 0
    sleep 0.1
  done
  fail "the current item never became '$1'"
}

# Waits for the session's four files to stand in the panels in the order $1 (names joined by
# spaces), the status lines under the panels left out.
expect_file_order() {
  local _ order
  for _ in $(seq 100); do
    order=$(screen | head -n -4 | grep -oE '[a-d]\.(txt|vcf|csv)' | tr '\n' ' ')
    [[ $order == "$1 " ]] && return 0
    sleep 0.1
  done
  fail "the files stand in the order '$order', not '$1'"
}

# A system-error box: the line above the plug-in's text names the reason the module met, which
# the host reads from the thread's last error, shared with the module as Windows shares it.
expect_system_error() {
  local reason
  reason=$(screen | grep -B1 -F -- "$1" | head -n 1)
  [[ $reason == *"A device attached to the system is not functioning."* ]] ||
    fail "the box does not name the line's failure above '$1': $reason"
}

# The box whose top line shows $1 stands over both panels and casts Far's shadow, dark grey on
# black, on the cells to its right and below; every other cell keeps the text of the screen $2
# and the colours of $3 (screen_colours) from before the box. Waits up to 10 s for a screen that
# tmux may still be drawing.
expect_box_with_shadow() {
  local _ problem
  for _ in $(seq 100); do
    problem=$(box_shadow_problem "$@") && return 0
    sleep 0.1
  done
  fail "$problem"
}

# What is wrong with the box and its shadow (see expect_box_with_shadow), said on standard
# output; run in a subshell, which a problem ends with status 1.
problem() {
  echo "$*"
  exit 1
}

box_shadow_problem() {
  local LC_ALL=C.UTF-8
  local -a before now colours old_colours
  local line top=-1 left right bottom row column inside shadow
  mapfile -t before <<<"$2"
  mapfile -t now <<<"$(screen)"
  mapfile -t old_colours <<<"$3"
  mapfile -t colours <<<"$(screen_colours)"
  for row in "${!now[@]}"; do
    [[ ${now[row]} == *"$1"* ]] && top=$row && break
  done
  ((top >= 0)) || problem "no box shows '$1'"
  line=${now[top]%%"$1"*}
  line=${line%╔*}
  left=${#line}
  line=${now[top]%%╗*}
  right=${#line}
  for ((bottom = top + 1; bottom < ${#now[@]}; ++bottom)); do
    [[ ${now[bottom]:left:1} == ╚ ]] && break
  done
  [[ ${now[bottom]:right:1} == ╝ ]] || problem "the box under '$1' has no frame at $left..$right"
  ((left > 0 && left < 50 && right >= 50 && right + 2 < 99)) ||
    problem "the box at columns $left..$right does not stand over both panels"
  for ((row = 0; row < ${#now[@]}; ++row)); do
    local -a cells old_cells
    read -r -a cells <<<"${colours[row]}"
    read -r -a old_cells <<<"${old_colours[row]}"
    for ((column = 0; column < 100; ++column)); do
      inside=0
      ((row >= top && row <= bottom && column >= left && column <= right)) && inside=1
      ((inside)) && continue
      shadow=0
      ((row > top && row <= bottom + 1 && column > right && column <= right + 2)) && shadow=1
      ((row == bottom + 1 && column >= left + 2 && column <= right + 2)) && shadow=1
      [[ ${now[row]:column:1} == "${before[row]:column:1}" ]] ||
        problem "the character at row $row, column $column changed beside the box"
      if ((shadow)); then
        [[ ${cells[column]-} == 90/40 ]] ||
          problem "the shadow at row $row, column $column is ${cells[column]-}, not dark grey on black"
      else
        [[ ${cells[column]-} == "${old_cells[column]-}" ]] ||
          problem "the colour at row $row, column $column changed beside the box"
      fi
    done
  done
}

start_phone() {
  "$phonesim" --link "$work/phone" --ready "$work/ready" --save "$work/saved.json" \
    --max-seconds 110 "$@" >"$work/phonesim.log" 2>&1 &
  simulator=$!
  for _ in $(seq 100); do
    [ -f "$work/ready" ] && return 0
    kill -0 "$simulator" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/phonesim.log"
  fail "the phone simulator did not start"
}

start_host() {
  mkdir -p "$work/files"
  # Cyrillic names show in the OEM page 866; the registry is the test's own.
  tmux -L "$socket" -f /dev/null new-session -d -s zt -x 100 -y 30 \
    "env TERM=tmux-256color LANG=C.UTF-8 ZANTEL_OEMCP=866 ZANTEL_COM1='$work/phone' \
     ZANTEL_REGISTRY='$work/registry.sqlite3' '$tui' '$module' '$work/files' 2>'$work/stderr'; \
     echo \$? >'$work/status'; sleep 60"
  expect_screen "No plug-in panel"
  expect_screen "10Quit"
}

quit_host() {
  keys F10
  for _ in $(seq 100); do
    [ -f "$work/status" ] && break
    sleep 0.1
  done
  [ -f "$work/status" ] || fail "F10 did not end the host"
  local status
  status=$(cat "$work/status")
  [ "$status" = 0 ] || fail "the host ended with status $status"
}

open_phone() {
  keys M-F1
  expect_screen "Disk"
  expect_screen "Mobile phone book"
  keys Enter
  expect_screen "SIM card"
  expect_screen "Phone memory"
}

session() {
  mkdir -p "$work/files"
  touch "$work/files/a.txt" "$work/files/b.txt" "$work/files/c.vcf" "$work/files/d.csv"
  start_phone
  start_host

  # Gray+ and Gray- on the file panel: a mask, or several, in a dialog of the host's own.
  keys +
  expect_screen "═ Select ═"
  keys End BSpace
  type_text "txt, *.vcf"
  keys Enter
  expect_screen " 3 selected "
  keys -
  expect_screen "═ Deselect ═"
  keys End BSpace BSpace BSpace
  type_text "b*"
  keys Enter
  expect_screen " 2 selected "

  # Ctrl+F4 sorts the file panel by extension; the same key again turns the order round.
  keys C-F4
  expect_file_order "d.csv a.txt b.txt c.vcf"
  keys C-F4
  expect_file_order "c.vcf b.txt a.txt d.csv"
  keys C-F3
  expect_file_order "a.txt b.txt c.vcf d.csv"

  open_phone

  keys Down Enter
  expect_screen "Anna Schmidt"
  expect_screen "Иван Петров"
  expect_screen "+79161234567"
  expect_screen "Dr. Ana Pope"

  # View an entry: F4 on the ninth line shows it in the plug-in's dialog, Esc leaves it.
  keys Home Down Down Down Down Down Down Down Down Down
  keys F4
  expect_screen "Edit entry"
  expect_line "Name:" "Мария Иванова"
  expect_line "Number:" "+79031112233"
  keys Escape
  expect_not_screen "Edit entry"

  # A new entry, typed in Cyrillic and Latin, arrives on the phone.
  keys S-F4
  expect_screen "New entry"
  # F1 in the dialog opens the help file on the dialog's topic; Esc returns to the dialog.
  keys F1
  expect_screen "Enter: follow"
  expect_line "Enter: follow" "BS: back"
  # The viewer covers the dialog: the title left showing is the help topic's.
  expect_screen "New entry"
  keys Escape
  expect_not_screen "Enter: follow"
  expect_screen "New entry"
  # A resize while the dialog waits redraws it in the middle of the new size.
  tmux -L "$socket" resize-window -t zt -x 80 -y 24
  expect_screen "╚══════════════════════════════════════╝╚══════════════════════════════════════╝"
  expect_screen "New entry"
  tmux -L "$socket" resize-window -t zt -x 100 -y 30
  expect_screen "10Quit"
  type_text "Tmux Тест"
  keys Down
  type_text "441632960555"
  expect_screen "+441632960555"
  keys Enter
  expect_not_screen "New entry"
  expect_screen "Tmux Тест"
  expect_line "Tmux Тест" "+441632960555"

  # Copy it to the file panel as text.
  keys End F5
  expect_screen "Copy Tmux Тест to:"
  keys Enter
  expect_not_screen "Copy Tmux Тест to:"
  expect_screen "Tmux Тест.txt"

  # As a vCard: focus moves down the dialog into its radio group and Space picks the format.
  keys Home Down F5
  expect_screen "Copy Anna Schmidt to:"
  keys Down Down Down Down Space
  expect_screen "(•) vCard"
  expect_line " Text" "( ) Text"
  keys Enter
  expect_screen "Anna Schmidt.vcf"
  grep -q "+4930901820" "$work/files/Anna Schmidt.vcf" || fail "the vCard lacks Anna's number"

  # The window shrinks, becomes too small and grows again: every size is drawn anew.
  tmux -L "$socket" resize-window -t zt -x 50 -y 15
  expect_screen "╚═══════════════════════╝╚═══════════════════════╝"
  expect_screen "Tmux Тест"
  tmux -L "$socket" resize-window -t zt -x 20 -y 5
  expect_screen "The window is too sm"
  tmux -L "$socket" resize-window -t zt -x 120 -y 35
  expect_screen "Anna Schmidt"
  expect_screen "12Screen"

  quit_host
  kill -TERM "$simulator"
  wait "$simulator"
  simulator=
  grep -q '"name": "Tmux Тест"' "$work/saved.json" ||
    grep -q '"name":"Tmux Тест"' "$work/saved.json" ||
    fail "the phone's saved state lacks the new entry"
  grep -q '441632960555' "$work/saved.json" || fail "the phone's saved state lacks the new number"
}

hangup() {
  start_phone
  start_host
  open_phone
  # The cable is pulled: the simulator ends and its terminal goes with it.
  kill -TERM "$simulator"
  wait "$simulator"
  simulator=
  keys Down Enter
  expect_screen "Cannot write to the phone"
  expect_system_error "Cannot write to the phone"
  keys Enter
  expect_not_screen "Cannot write to the phone"
  expect_screen "10Quit"
  # The host still answers: the disk menu opens and closes.
  keys M-F1
  expect_screen "Mobile phone book"
  keys Escape
  expect_not_screen "Mobile phone book"
  quit_host
}

# The line is cut half-way through an answer while the phone is being opened.
cut() {
  start_phone --hang-up-during 4
  start_host
  keys M-F1
  expect_screen "Mobile phone book"
  keys Enter
  expect_screen "Cannot read from the phone"
  expect_system_error "Cannot read from the phone"
  keys Enter
  expect_not_screen "Cannot read from the phone"
  expect_screen "No plug-in panel"
  quit_host
}

# The hex of a text as the phone gets it in UCS2: UTF-16, high byte first.
ucs2_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -v -tx1 | tr -d ' \n'; }

sms() {
  start_phone
  start_host
  open_phone

  # The functions menu, a box over both panels, as Far draws it: a shadow two columns wide on
  # its right and a row deep below dims what is there; no other cell changes, and the screen
  # comes back as it was when the menu closes.
  local plain coloured
  coloured=$(settled_screen_colours)
  plain=$(screen)
  keys F2
  expect_screen "═ Functions ═"
  expect_screen "Short messages"
  expect_box_with_shadow "═ Functions ═" "$plain" "$coloured"
  keys Escape
  expect_not_screen "═ Functions ═"
  [ "$(settled_screen_colours)" = "$coloured" ] || fail "the screen under the menu did not come back"
  [ "$(screen)" = "$plain" ] || fail "the text under the menu did not come back"

  # It goes round: Up on the first item is on the last, which switches the panel to the
  # messages; the folders count them.
  keys F2
  expect_screen "═ Functions ═"
  keys Up Enter
  expect_not_screen "═ Functions ═"
  expect_screen "Received"
  expect_line "Received" "24"
  expect_line "Unsent" " 2"

  # Into the received messages; F3 on the first shows it whole.
  keys Down Enter
  expect_screen "From"
  expect_screen "07.12.26 18:30"
  keys Down
  expect_current "+447700900123"
  keys F3
  expect_screen "═ Short message ═"
  expect_line "Number:" "+447700900123"
  expect_line "Time:" "Dec  7 18:30:00 2026"
  expect_screen "Running 10 minutes late, sorry!"
  keys Escape
  expect_not_screen "═ Short message ═"

  # Shift+F4 composes: the recipient, Tab past Find and Recipients to the text, Tab down the
  # text's lines to Send.
  keys S-F4
  expect_screen "═ New message ═"
  type_text "+441632960555"
  keys Tab Tab Tab
  type_text "Привет из tmux"
  expect_screen "Привет из tmux"
  keys Tab Tab Tab Tab Tab Enter
  expect_screen "The message has been sent"
  keys Enter
  expect_not_screen "The message has been sent"
  expect_not_screen "═ New message ═"

  # The plug-in's configuration menu, from F9 as from Far's Options menu.
  keys F9
  expect_screen " Zantel mobile phone "
  expect_screen "General settings"
  expect_screen "SMS settings"
  expect_screen "Model information"
  keys Escape
  expect_not_screen " Zantel mobile phone "

  quit_host
  kill -TERM "$simulator"
  wait "$simulator"
  simulator=
  # The phone keeps the message it sent: the recipient in swapped semi-octets after its
  # international type, then the text in UCS2.
  local sent
  sent=$(tr -d ' \n' <"$work/saved.json" | grep -o '"sent":\[[^]]*\]' | tr 'A-F' 'a-f')
  [[ $sent == *'0c91446123695055'* ]] || fail "the phone sent nothing to +441632960555: $sent"
  [[ $sent == *"$(ucs2_hex 'Привет из tmux')"* ]] || fail "the sent message lacks its text: $sent"
}

# F5 on a storage at the plug-in's root exports the whole memory in the format the copy dialog's
# radio buttons pick, into the file panel's folder.
export_csv() {
  start_phone
  start_host
  open_phone
  keys Down
  expect_current "SM"
  keys F5
  expect_screen "Copy SM to:"
  [[ $(screen | grep -A1 -F "Copy SM to:" | tail -n 1) == *"/files"* ]] ||
    fail "the copy dialog does not offer the file panel's folder"
  keys Down Down Down Space
  expect_screen "(•) CSV"
  expect_screen "( ) Text"
  keys Enter
  expect_not_screen "Copy SM to:"
  expect_screen "SM.csv"
  local file="$work/files/SM.csv"
  [ -f "$file" ] || fail "no SM.csv in the file panel's folder"
  # One line a contact under the header, names in the OEM page as the plug-in holds them.
  [ "$(head -n 1 "$file")" = $'Name,Phone\r' ] || fail "SM.csv does not start with its header"
  [ "$(wc -l <"$file")" = 19 ] || fail "SM.csv holds $(wc -l <"$file") lines, not 19"
  local line
  for line in "Anna Schmidt,+4930901820" "Balance,*100#" "Dr. Ana Popescu,+40721234567" \
    "Иван Петров,+79161234567"; do
    grep -qaxF "$(printf '%s\r' "$line" | iconv -f UTF-8 -t CP866)" "$file" ||
      fail "SM.csv lacks the line '$line'"
  done
  quit_host
}

# F3 on a text file: the viewer over the whole screen, the panels back as they were after it.
viewer() {
  mkdir -p "$work/files"
  {
    echo "Привет, мир"
    for i in $(seq -w 2 40); do echo "line $i"; done
  } >"$work/files/notes.txt"
  # An editor that saves a copy of the file beside it and adds a line.
  printf '#!/bin/sh\ncp "$1" "$1.orig" && echo edited >>"$1"\n' >"$work/editor"
  chmod +x "$work/editor"
  VISUAL="$work/editor" start_host
  keys End
  expect_current "notes.txt"
  local plain
  plain=$(screen)
  keys F3
  expect_screen "Привет, мир"
  expect_line "notes.txt" "UTF-8  Line 1/40"
  expect_screen "line 28"
  expect_not_screen "line 29"
  expect_screen "8OEM"
  keys End
  expect_screen "line 40"
  expect_line "notes.txt" "Line 13/40  100%"
  keys Home F8
  expect_line "notes.txt" "OEM 866  Line 1/40"
  expect_screen "╨Я╤А╨╕╨▓╨╡╤В"
  keys F8
  expect_line "notes.txt" "ANSI 1252"
  expect_screen "ÐŸÑ€Ð¸Ð²ÐµÑ‚"
  keys F8
  expect_screen "Привет, мир"
  keys F10
  local _
  for _ in $(seq 100); do
    [ "$(screen)" = "$plain" ] && break
    sleep 0.1
  done
  [ "$(screen)" = "$plain" ] || fail "the panels did not come back as they were after the viewer"

  # F4 hands the terminal to $VISUAL; the panel is read again after it.
  keys F4
  expect_screen "notes.txt.orig"
  expect_current "notes.txt"
  [ "$(tail -n 1 "$work/files/notes.txt")" = edited ] || fail "the editor did not get notes.txt"
  quit_host
}

# Arguments it cannot take: each is named on standard error before the usage, with status 2,
# and the screen is never taken over.
options() {
  local arguments expected output status
  while IFS='|' read -r arguments expected; do
    status=0
    # shellcheck disable=SC2086 # the arguments are split on purpose
    output=$("$tui" $arguments 2>&1 </dev/null) || status=$?
    [ "$status" = 2 ] || fail "zantel-tui $arguments ended with $status, not 2"
    [[ $output == *"$expected"* ]] || fail "zantel-tui $arguments did not say '$expected': $output"
    [[ $output == *"usage: zantel-tui"* ]] || fail "zantel-tui $arguments did not show the usage"
  done <<'TABLE'
--opne|unknown option "--opne"
--open --language|--language needs English or Russian after it
--open a b c|usage: zantel-tui
TABLE
}

# scripts/run itself, with nothing but a terminal: its own simulator plays the demo phone, whose
# state goes to a file of the test's own, as does everything else under HOME.
run() {
  [ -n "$build_dir" ] || fail "the run scenario needs the build folder"
  mkdir -p "$work/home" "$work/files"
  touch "$work/files/started-here.txt"
  tmux -L "$socket" -f /dev/null new-session -d -s zt -x 100 -y 30 -c "$work/files" \
    "env -u ZANTEL_COM1 -u ZANTEL_OEMCP -u ZANTEL_ACP -u ZANTEL_REGISTRY TERM=tmux-256color \
     LANG=C.UTF-8 HOME='$work/home' ZANTEL_BUILD_DIR='$build_dir' ZANTEL_RUN_PREBUILT=1 \
     ZANTEL_DEMO_STATE='$work/demo/phone.json' '$root/scripts/run' 2>'$work/stderr'; \
     echo \$? >'$work/status'; sleep 60"
  expect_screen "10Quit"
  # No key was pressed: the plug-in's root lists the phone's storages by their descriptions.
  expect_screen "SIM card"
  expect_screen "Phone memory"
  expect_screen "Dialled calls"
  expect_line "SIM card" "SM"
  expect_line "Phone memory" "ME"
  screen | grep -qF "No plug-in panel" && fail "the plug-in's panel did not open at start"
  # The right panel shows the folder scripts/run was started in.
  expect_screen "started-here.txt"
  quit_host
  [ -s "$work/demo/phone.json" ] || fail "scripts/run did not save the demo phone"
  grep -q "Anna Schmidt" "$work/demo/phone.json" || fail "the saved demo phone lacks its contacts"
}

case $scenario in
  session) session ;;
  run) run ;;
  options) options ;;
  viewer) viewer ;;
  sms) sms ;;
  export) export_csv ;;
  hangup) hangup ;;
  cut) cut ;;
  *)
    echo "unknown scenario '$scenario'"
    exit 2
    ;;
esac
echo "1 passed, 0 failed"
