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

# The screen's colours: a line a row, a word a column, "foreground/background" as the SGR numbers
# tmux gives them (39/49 for the terminal's own, "1;" before a bold foreground). tmux carries
# colours over from one line to the next, so the whole screen is read from its top.
screen_colours() {
  local LC_ALL=C.UTF-8
  local line i code part fg=39 bg=49 bold='' cells
  local -a parts
  while IFS= read -r line; do
    cells=
    i=0
    while ((i < ${#line})); do
      if [[ ${line:i:1} == $'\e' ]]; then
        code=${line:i+2}
        code=${code%%m*}
        i=$((i + 3 + ${#code}))
        IFS=';' read -r -a parts <<<"$code"
        for ((part = 0; part < ${#parts[@]}; ++part)); do
          case ${parts[part]} in
            0 | '') fg=39 bg=49 bold='' ;;
            1) bold="1;" ;;
            22) bold='' ;;
            38 | 48)
              [[ ${parts[part]} == 38 ]] && fg="38;5;${parts[part + 2]}" || bg="48;5;${parts[part + 2]}"
              part=$((part + 2))
              ;;
            3? | 9?) fg=${parts[part]} ;;
            4? | 10?) bg=${parts[part]} ;;
          esac
        done
        continue
      fi
      cells+="$bold$fg/$bg "
      i=$((i + 1))
    done
    echo "$cells"
  done < <(tmux -L "$socket" capture-pane -e -p -t "$window")
}

# The screen's colours once two readings a tenth of a second apart agree (up to 10 s).
settled_screen_colours() {
  local _ last now
  last=$(screen_colours)
  for _ in $(seq 100); do
    sleep 0.1
    now=$(screen_colours)
    [ "$now" = "$last" ] && break
    last=$now
  done
  echo "$now"
}
