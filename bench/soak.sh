#!/usr/bin/env bash
# The soak run (called by `make soak` with the stage folder): SOAK_PEOPLE simulated people
# (200) use the staged service for SOAK_MINUTES (5) through the soak client (bench/soak.cpp),
# against a host of its own over a database made here with a staff of SOAK_STAFF users (five per
# person: each visit signs in as one of them, as in an organisation where a fifth of the staff
# use the service at once), and a real SMTP server on loopback (the mail tests' aiosmtpd peer)
# receiving the service's mail. The session time-out is shortened to SOAK_TIMEOUT_SECONDS (20)
# through the settings file's test option SessionTimeoutSeconds, so that the sessions people
# walk away from are freed within the run and their number settles in the first minute. Prints
# the client's lines per minute and its verdicts; exits non-zero when a target is not met.
set -euo pipefail

stage=$(cd "${1:?usage: bench/soak.sh STAGE_DIR}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
people=${SOAK_PEOPLE:-200}
staff=${SOAK_STAFF:-$((5 * people))}
minutes=${SOAK_MINUTES:-5}
timeout=${SOAK_TIMEOUT_SECONDS:-20}

for tool in curl c++ sqlite3 python3; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done
/usr/bin/python3 -c 'import aiosmtpd' 2>/dev/null || { echo "soak: python3-aiosmtpd is missing (run scripts/setup.sh)" >&2; exit 1; }
for file in requestqx-host requestqx-admin RequestQX9.so Files; do
  [[ -e "$stage/$file" ]] || { echo "soak: $stage/$file is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  exec 3>&- 2>/dev/null || true  # the SMTP peer stops when its standard input closes
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
source "$here/common.sh"

c++ -O2 -std=c++20 -pthread -o "$work/soak" "$here/soak.cpp"

# The SMTP peer, plain with AUTH LOGIN, storing every message in mail/; the system python3
# has its aiosmtpd package.
mkdir -p "$work/mail"
mkfifo "$work/smtp.in"
/usr/bin/python3 "$here/../tests/mail/smtp_peer.py" --mode plain --folder "$work/mail" \
  < "$work/smtp.in" > "$work/smtp.port" 2> "$work/smtp.log" &
pids+=($!)
exec 3> "$work/smtp.in"
for _ in $(seq 100); do [[ -s "$work/smtp.port" ]] && break; sleep 0.1; done
smtp_port=$(head -n 1 "$work/smtp.port")
[[ -n "$smtp_port" ]] || { echo "soak: the SMTP peer did not start" >&2; cat "$work/smtp.log" >&2; exit 1; }

# The install: the library with its Files, its settings and its database. User i is
# "Soak Person i" (password "soak", may send mail) with 8 requests awaiting attention, 2 new
# and 2 answered yesterday, each with its note, and two addresses in the mail history.
host_port=$(free_port)
cp "$stage/RequestQX9.so" "$work/RequestQX9.so"
cp -r "$stage/Files" "$work/Files"
printf '[WEBSERVICE]\r\nTCPIPPort=%s\r\nSessionTimeoutSeconds=%s\r\n[DATABASE]\r\nFileName=%s\r\n' \
  "$host_port" "$timeout" "$work/database" > "$work/ZozarodUruzede.ini"
mkdir -p "$work/database"
"$stage/requestqx-admin" init-db "$work/database/Requests.mdb" >/dev/null
{
  echo "BEGIN;"
  echo "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'),"
  echo "  (2, 'EN', 'Awaiting attention'), (3, 'EN', 'Done'), (4, 'EN', 'Cancelled'),"
  echo "  (8, 'EN', 'Reminded'), (13, 'EN', 'Sent by e-mail');"
  echo "INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, AutType)"
  echo "  VALUES (1, '127.0.0.1', 'mailer', 'secret', $smtp_port, 0, 1);"
  for i in $(seq "$staff"); do
    echo "INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays)"
    echo "  VALUES ($i, 'EN', 'Soak Person $i', 'soak', 'person$i@example.com', 1, 30);"
    echo "INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES"
    echo "  ($((2 * i)), $i, 'desk$i@example.com'), ($((2 * i + 1)), $i, 'facilities@example.com');"
    for k in $(seq 12); do
      request=$((100 * i + k))
      status=2
      ((k > 8)) && status=1
      ((k > 10)) && status=3
      echo "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent)"
      echo "  VALUES ($request, 'Fault $k of person $i', $request, $i, $((k % 3 == 0)));"
      echo "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments,"
      echo "  Id_UserStatus, StatusType) VALUES ($request, $request, $status,"
      echo "  julianday('now', 'localtime') - 2415018.5 - 1, 'Note on fault $k', $i, 1);"
    done
  done
  # A year of history, as a service in use has: 36 requests each, done long ago, outside every
  # day window, so that the database is larger than a connection's page cache from the start.
  echo "WITH RECURSIVE k(n) AS (SELECT 13 UNION ALL SELECT n + 1 FROM k WHERE n < 48)"
  echo "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent)"
  echo "  SELECT 100 * Id_User + n, 'Old fault ' || n || ' of person ' || Id_User, 100 * Id_User + n,"
  echo "  Id_User, 0 FROM Users, k;"
  echo "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments,"
  echo "  Id_UserStatus, StatusType) SELECT Id_Request, Id_Request, 3,"
  echo "  julianday('now', 'localtime') - 2415018.5 - 400 + Id_Request % 100 * 5, 'Done long ago', Id_User, 1"
  echo "  FROM Request WHERE Id_Request % 100 > 12;"
  echo "COMMIT;"
} | sqlite3 -bail "$work/database/Requests.mdb"

"$stage/requestqx-host" --bind 127.0.0.1 --port "$host_port" --extension "$work/RequestQX9.so" \
  --root "$work/Files" 2>> /tmp/soakhost.log &
pids+=($!)
host_pid=$!
wait_for "http://127.0.0.1:$host_port/files/SessionEnd.htm"

status=0
"$work/soak" --port "$host_port" --host-pid "$host_pid" --cache "$work/Cache" --mails "$work/mail" \
  --people "$people" --staff "$staff" --minutes "$minutes" --timeout-seconds "$timeout" || status=$?
if [[ -s "$work/RequestQX9.log" ]]; then
  echo "soak: the service's log (RequestQX9.log), last lines:"
  tail -n 20 "$work/RequestQX9.log"
fi
exit "$status"
