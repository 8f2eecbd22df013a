# What the benchmark scripts share (sourced): a free loopback port, and waiting until a URL
# answers. Both expect $work, the script's working folder, for the logs shown on failure.

# A free loopback port, found by binding port 0.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

wait_for() {  # url
  for _ in $(seq 100); do
    curl -fs -o /dev/null "$1" && return 0
    sleep 0.1
  done
  echo "bench: nothing answers at $1" >&2
  tail -n 5 "$work/host.log" "$work/nginx/logs/error.log" >&2 2>/dev/null || true
  return 1
}
