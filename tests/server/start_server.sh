# Sourced by the shell tests that run the highscore server. start_server PROGRAM ARGS... starts it in
# the background with its output in $work/server.log, sets $server_pid, and sets $address to the
# http://host:port it listens on once it says so (within five seconds), else returns 1.
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
