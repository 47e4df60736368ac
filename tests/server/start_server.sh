# Sourced by the shell tests that run the highscore server.

# with_work_folder: $work, a temporary folder that goes, with the server started in it, when the
# script ends.
with_work_folder() {
  work=$(mktemp -d)
  server_pid=
  trap 'if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
        rm -rf "$work"' EXIT
}

# start_server PROGRAM ARGS... starts it in the background with its output in $work/server.log, sets
# $server_pid, and sets $address to the http://host:port it listens on once it says so (within five
# seconds), else returns 1.
start_server() {
  "$@" >"$work/server.log" 2>&1 &
  server_pid=$!
  address=
  for _ in $(seq 50); do
    address=$(sed -n 's/^kalscores: listening on \(http:[^,]*\),.*/\1/p' "$work/server.log")
    [ -n "$address" ] && return 0
    sleep 0.1
  done
  return 1
}
