# Times the stages of scripts/test and scripts/test-windows (sourced by both). `stage NAME` ends
# the stage before and starts NAME; the times go to the file $ZANTEL_STAGE_TIMES, which the
# outermost script makes and prints when it exits, a failed stage marked as such.

if [ -z "${ZANTEL_STAGE_TIMES:-}" ]; then
  ZANTEL_STAGE_TIMES=$(mktemp)
  export ZANTEL_STAGE_TIMES
  stages_owner=true
else
  stages_owner=false
fi
stage_name=
stage_start=$SECONDS

stage() {
  stage_end 0
  stage_name=$1
  stage_start=$SECONDS
}

# stage_end STATUS: notes the running stage's time; a status other than 0 marks it failed.
stage_end() {
  [ -n "$stage_name" ] || return 0
  local mark=""
  [ "$1" -eq 0 ] || mark=" (failed)"
  printf '%-18s %6d s%s\n' "$stage_name" $((SECONDS - stage_start)) "$mark" >>"$ZANTEL_STAGE_TIMES"
  stage_name=
}

# For the EXIT trap: ends the running stage with the script's status and, in the outermost
# script, prints every stage and the total.
stages_finish() {
  local status=$1
  stage_end "$status"
  [ "$stages_owner" = true ] || return 0
  echo "Stage times:"
  cat "$ZANTEL_STAGE_TIMES"
  printf '%-18s %6d s (%d min %d s)\n' total "$SECONDS" $((SECONDS / 60)) $((SECONDS % 60))
  rm -f "$ZANTEL_STAGE_TIMES"
}
