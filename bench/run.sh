#!/usr/bin/env bash
# Benchmarks of the staged install (called by `make bench` with the stage folder).
# First benchmark: requests per second of requestqx-host serving a small file from /files/
# over keep-alive, side by side with nginx serving the same file in the same run, printed as
# the ratio host/nginx. Second benchmark: full post-and-render cycles per second of the
# login screen over the staged database (8 sessions, each on its own keep-alive connection,
# posting Accept with a password and no user chosen, which re-renders the screen with its
# alert, with the current track number), against the same host serving that page's bytes as
# a static file, printed as the ratio. Third: the signed-in page cycle, sessions signed in
# through the login screen, each posting the home screen's Update over a list of 50 requests and
# reading the whole page back, against the same page's bytes from /files/ (target ratio at least
# 0.5). Fourth: the host's resident memory growth per signed-in idle session over 1,000 sessions,
# on a host of its own (target at most 200 KiB). The host runs over a database made here, beside
# a copy of the staged library, as an install lays them out. Everything runs on loopback ports
# chosen here.
# Fifth benchmark (given the render benchmark's program, which make bench builds): pages per
# second and bytes per page of a form of sixty controls of every kind (lists of 50 items, a memo
# of 100 lines, a tab control with pages) rendered in a session without HTTP; the same with a
# dynamic 320x240 picture written to the session's cache as JPEG or GIF at every render, from a
# JPEG or a GIF picture; and a post of every control's value with an action, then its page.
# Sixth benchmark (given the grid benchmark's program): the home screen's request list over a
# real SQLite file of 1,000 and 10,000 listed requests, (a) opened and walked reading each
# column's display text, (b) rendered as the page of its grid: microseconds per row, (b)/(a) at
# 10,000 rows (target at most 3) and the 10,000-row render against the 1,000-row one (at most 11).
set -euo pipefail

stage=$(cd "${1:?usage: bench/run.sh STAGE_DIR [RENDER_BENCH [GRID_BENCH]]}" && pwd)
render_bench=${2:-}
grid_bench=${3:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
duration=${BENCH_DURATION:-10s}
connections=${BENCH_CONNECTIONS:-64}
threads=${BENCH_THREADS:-2}

for tool in wrk nginx curl c++ sqlite3; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done
for file in requestqx-host requestqx-admin RequestQX9.so Files; do
  [[ -e "$stage/$file" ]] || { echo "bench: $stage/$file is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source "$here/common.sh"

# The library beside its Files folder and database, as installed; the sessions open this
# database: one user (list index 0, password "bench") with 50 requests awaiting attention.
cp "$stage/RequestQX9.so" "$work/RequestQX9.so"
cp -r "$stage/Files" "$work/Files"
mkdir -p "$work/database"
"$stage/requestqx-admin" init-db "$work/database/Requests.mdb" >/dev/null
{
  echo "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New');"
  echo "INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays)"
  echo "  VALUES (1, 'EN', 'Bench User', 'bench', 'bench@example.com', 0, 30);"
  for n in $(seq 50); do
    echo "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent)"
    echo "  VALUES ($n, 'Bench request $n', $((1000 + n)), 1, $((n % 2)));"
    echo "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments,"
    echo "  Id_UserStatus, StatusType) VALUES ($((1000 + n)), $n, 1, 46000.5, 'Reported $n', 1, 1);"
  done
} | sqlite3 -bail "$work/database/Requests.mdb"

# The same small page for both servers.
if [[ -f "$stage/Files/SessionEnd.htm" ]]; then
  cp "$stage/Files/SessionEnd.htm" "$work/Files/bench.htm"
else
  head -c 900 /dev/zero | tr '\0' 'x' > "$work/Files/bench.htm"
fi
size=$(stat -c %s "$work/Files/bench.htm")

start_host() {  # port; the host serves the library's copy and its Files folder
  "$stage/requestqx-host" --bind 127.0.0.1 --port "$1" --extension "$work/RequestQX9.so" \
    --root "$work/Files" 2>> "$work/host.log" &
  pids+=($!)
  host_pid=$!
}
host_port=$(free_port)
start_host "$host_port"

nginx_port=$(free_port)
mkdir -p "$work/nginx/logs" "$work/nginx/tmp"
# As many nginx workers as the host has I/O threads (one per processor), in the foreground.
# Run as root, its workers would switch to an account that cannot read the bench folder.
user_line=""
[[ $(id -u) -eq 0 ]] && user_line="user root;"
cat > "$work/nginx/nginx.conf" <<CONF
$user_line
daemon off;
worker_processes $(nproc);
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log warn;
events { worker_connections 4096; }
http {
  include /etc/nginx/mime.types;
  access_log $work/nginx/logs/access.log;
  client_body_temp_path $work/nginx/tmp;
  proxy_temp_path $work/nginx/tmp;
  fastcgi_temp_path $work/nginx/tmp;
  uwsgi_temp_path $work/nginx/tmp;
  scgi_temp_path $work/nginx/tmp;
  sendfile on;
  keepalive_requests 1000000;
  server {
    listen 127.0.0.1:$nginx_port;
    location /files/ { alias $work/Files/; }
  }
}
CONF
nginx -p "$work/nginx" -e "$work/nginx/logs/error.log" -c "$work/nginx/nginx.conf" &
pids+=($!)

wait_for "http://127.0.0.1:$host_port/files/bench.htm"
wait_for "http://127.0.0.1:$nginx_port/files/bench.htm"

rps() {  # url -> requests per second
  wrk -t "$threads" -c "$connections" -d "$duration" --latency "$1" > "$work/wrk.out"
  grep -E 'Non-2xx|Socket errors' "$work/wrk.out" >&2 || true
  awk '/^Requests\/sec:/ { print $2 }' "$work/wrk.out"
}

echo "bench: static file of $size bytes from /files/, keep-alive, $connections connections," \
     "$threads wrk threads, $duration each"
host_rps=$(rps "http://127.0.0.1:$host_port/files/bench.htm")
nginx_rps=$(rps "http://127.0.0.1:$nginx_port/files/bench.htm")
printf 'requestqx-host  %12.0f requests/s\n' "$host_rps"
printf 'nginx           %12.0f requests/s\n' "$nginx_rps"
awk -v h="$host_rps" -v n="$nginx_rps" 'BEGIN { printf "ratio host/nginx  %.2f\n", h / n }'

# Post-and-render cycles: the load client checks that every page shows the text it posted.
sessions=${BENCH_SESSIONS:-8}
seconds=${BENCH_SECONDS:-10}
c++ -O2 -std=c++20 -pthread -o "$work/postload" "$here/postload.cpp"
load() { "$work/postload" "$@" --port "$host_port" | awk '{ print $6 }'; }
echo "bench: login screen post-and-render cycles, $sessions sessions on keep-alive connections," \
     "${seconds}s each"
post_rate=$(load login --sessions "$sessions" --seconds "$seconds" --save "$work/Files/page.htm")
page_size=$(stat -c %s "$work/Files/page.htm")
static_rate=$(load static --sessions "$sessions" --seconds "$seconds" --path /files/page.htm)
printf 'post and render   %12.0f cycles/s\n' "$post_rate"
printf 'static page       %12.0f requests/s (the same %d bytes from /files/)\n' "$static_rate" "$page_size"
awk -v p="$post_rate" -v s="$static_rate" 'BEGIN { printf "ratio post/static  %.2f\n", p / s }'

# The signed-in page cycle: every page must list the 50 requests. The host's processor time
# per cycle and per static request is printed too: it does not depend on what else runs on the
# machine as much as the rates do.
host_ticks() { awk '{ print $14 + $15 }' "/proc/$host_pid/stat"; }
echo "bench: home screen Update cycles over 50 listed requests, $sessions signed-in sessions on" \
     "keep-alive connections, ${seconds}s each"
ticks=$(host_ticks)
cycle_rate=$(load home --sessions "$sessions" --seconds "$seconds" --password bench \
               --expect "Bench request " --count 50 --save "$work/Files/home.htm")
cycle_ticks=$(( $(host_ticks) - ticks ))
home_size=$(stat -c %s "$work/Files/home.htm")
ticks=$(host_ticks)
home_static=$(load static --sessions "$sessions" --seconds "$seconds" --path /files/home.htm)
static_ticks=$(( $(host_ticks) - ticks ))
printf 'page cycle        %12.0f cycles/s (one request each)\n' "$cycle_rate"
printf 'static page       %12.0f requests/s (the same %d bytes from /files/)\n' "$home_static" "$home_size"
awk -v p="$cycle_rate" -v s="$home_static" 'BEGIN {
  printf "ratio cycle/static %.2f (target at least 0.5: %s)\n", p / s, (p / s >= 0.5) ? "met" : "not met" }'
awk -v ct="$cycle_ticks" -v st="$static_ticks" -v p="$cycle_rate" -v s="$home_static" -v t="$seconds" \
    -v hz="$(getconf CLK_TCK)" 'BEGIN {
  printf "host processor time %.0f us per cycle, %.0f us per static request\n",
         ct / hz * 1e6 / (p * t), st / hz * 1e6 / (s * t) }'

# Memory per idle session, on a fresh host (memory freed by the runs above would hide growth):
# a few sessions first, so that what every process loads once is counted before.
# The old host must be gone first: it shares the library copy, its cache and its database.
kill "$host_pid"
wait "$host_pid" 2>/dev/null || true
host_port=$(free_port)
start_host "$host_port"
wait_for "http://127.0.0.1:$host_port/files/bench.htm"
idle=${BENCH_IDLE_SESSIONS:-1000}
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$host_pid/status"; }
load signin --sessions 8 --password bench > /dev/null
before=$(rss)
load signin --sessions "$idle" --password bench > /dev/null
sleep 1
after=$(rss)
echo "bench: $idle sessions signed in and left idle"
awk -v b="$before" -v a="$after" -v n="$idle" 'BEGIN {
  k = (a - b) / n
  printf "host memory       %d KiB before, %d KiB after: %.0f KiB per session (target at most 200: %s)\n",
         b, a, k, (k <= 200) ? "met" : "not met" }'

# Rendering without HTTP: one line per benchmark of the render benchmark's program.
if [[ -z "$render_bench" ]]; then
  echo "bench: no render benchmark program given; pages of many controls not measured"
  exit 0
fi
echo "bench: a form of 60 controls rendered in a session without HTTP, one core"
"$render_bench" --benchmark_min_time="${BENCH_RENDER_SECONDS:-2}" --benchmark_format=json \
  > "$work/render.json"
python3 - "$work/render.json" <<'REPORT'
import json, sys
lines = {
    "Render": "render 60 controls",
    "RenderWithChart/jpeg_as_jpeg": " + picture, JPEG as JPEG",
    "RenderWithChart/gif_as_jpeg": " + picture, GIF as JPEG",
    "RenderWithChart/jpeg_as_gif": " + picture, JPEG as GIF",
    "RenderWithChart/gif_as_gif": " + picture, GIF as GIF",
    "PostAndRender": "post and render",
}
failed = False
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    label = lines.get(b["name"], b["name"])
    if b.get("error_occurred"):
        print(f"{label:<26} failed: {b.get('error_message', '')}", file=sys.stderr)
        failed = True
        continue
    unit = "cycles/s" if b["name"] == "PostAndRender" else "pages/s "
    line = f"{label:<26}{b['items_per_second']:8.0f} {unit} {b['page_bytes']:7.0f} bytes/page"
    if "image_bytes" in b:
        line += f", picture file {b['image_bytes']:.0f} bytes"
    print(line)
sys.exit(1 if failed else 0)
REPORT

[[ -n "$grid_bench" ]] || exit 0
echo "bench: the request grid over a real SQLite file, one core"
"$grid_bench" --benchmark_min_time="${BENCH_GRID_SECONDS:-2}" --benchmark_format=json \
  > "$work/grid.json"
python3 - "$work/grid.json" <<'REPORT'
import json, sys
us = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("error_occurred"):
        print(f"{b['name']} failed: {b.get('error_message', '')}", file=sys.stderr)
        sys.exit(1)
    rows = int(b["name"].split("/")[1])
    us[b["name"]] = b["real_time"] / rows  # real_time is in microseconds
for n in (1000, 10000):
    print(f"{n:>6} rows: (a) open and walk {us[f'WalkRequests/{n}/1']:6.3f} us/row "
          f"(walk alone {us[f'WalkRequests/{n}/0']:6.3f}), (b) render {us[f'RenderRequestGrid/{n}']:6.3f} us/row")
ratio = us["RenderRequestGrid/10000"] / us["WalkRequests/10000/1"]
walk_ratio = us["RenderRequestGrid/10000"] / us["WalkRequests/10000/0"]
scale = us["RenderRequestGrid/10000"] * 10000 / (us["RenderRequestGrid/1000"] * 1000)
print(f"(b)/(a) at 10,000 rows {ratio:.2f} (target at most 3; against the walk alone {walk_ratio:.2f}); "
      f"render 10,000 / 1,000 rows {scale:.1f}x (target at most 11)")
REPORT
