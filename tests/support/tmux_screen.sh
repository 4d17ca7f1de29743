# Reading and typing into a program that runs in a window of a tmux server of the test's own.
# Sourced by the tests that drive zantel-tui; the caller sets $socket (the server) and $window
# and defines fail, which ends the test.

screen() { tmux -L "$socket" capture-pane -p -t "$window"; }
keys() { tmux -L "$socket" send-keys -t "$window" "$@"; }
type_text() { tmux -L "$socket" send-keys -t "$window" -l "$1"; }

# Waits up to 10 s for the screen to show a fixed text.
expect_screen() {
  local _
  for _ in $(seq 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  fail "the screen never showed '$1'"
}

# Waits up to 10 s for a fixed text to leave the screen.
expect_not_screen() {
  local _
  for _ in $(seq 100); do
    screen | grep -qF -- "$1" || return 0
    sleep 0.1
  done
  fail "the screen still shows '$1'"
}

# Waits up to 10 s for the first line that shows $1 to show $2 as well.
expect_line() {
  local _
  for _ in $(seq 100); do
    [[ $(screen | grep -F -- "$1" | head -n 1) == *"$2"* ]] && return 0
    sleep 0.1
  done
  fail "the line with '$1' never showed '$2'"
}
