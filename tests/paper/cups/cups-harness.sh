#!/usr/bin/env bash
# A CUPS server of a test's own: configuration, spool and logs under DIR, listening only on
# 127.0.0.1:PORT, with a PDF-writing queue (kaede-pdf), a driverless queue on a simulated
# IPP printer that takes PDF (kaede-ipp) and one that takes raster only (kaede-raster).
#   cups-harness.sh start DIR PORT    prints the CUPS_SERVER value on success
#   cups-harness.sh stop DIR          stops everything start started
set -uo pipefail
cmd=$1 dir=$2
here=$(cd "$(dirname "$0")" && pwd)

stop() {
  # every process is asked to end at once, then each is waited for (5 s at most in all)
  local pids=()
  for f in "$dir"/pids/*; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    kill "$pid" 2>/dev/null && pids+=("$pid")
    rm -f "$f"
  done
  for _ in $(seq 50); do
    local alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ "$alive" = 0 ] && break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  # the bus this harness started leaves no socket behind it for the next one to trust
  if [ -f "$dir/own-dbus" ]; then rm -f /run/dbus/system_bus_socket /run/dbus/pid "$dir/own-dbus"; fi
  rm -f /etc/cups/cups-pdf-kaede-pdf.conf.kaede-test 2>/dev/null
  if [ -f "$dir/cups-pdf-conf" ]; then rm -f "$(cat "$dir/cups-pdf-conf")" "$dir/cups-pdf-conf"; fi
}

wait_port() {  # wait_port PORT: until something listens there (at most 10 s)
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/"$1") 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

if [ "$cmd" = stop ]; then stop; exit 0; fi
port=$3
mkdir -p "$dir"/{spool,cache,state,log,pids,pdf,ipp,raster,dbus}
chmod 0755 "$dir" "$dir"/pdf
cat >"$dir/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel warn
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/spool
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
FileDevice Yes
User lp
Group lp
SystemGroup root
CONF
mkdir -p "$dir/ppd"
# cups-pdf reads its configuration by queue name from the system's folder: this one writes
# into the test's folder and goes with stop
conf=/etc/cups/cups-pdf-kaede-pdf.conf
printf 'Out %s\nAnonDirName %s\nLabel 0\nOutputFile kaede-${JOB}\n' "$dir/pdf" "$dir/pdf" >"$conf" 2>/dev/null &&
  echo "$conf" >"$dir/cups-pdf-conf"

# a system bus and a name service on the loopback interface only, for the simulated printers
if [ -z "${KAEDE_CUPS_NO_AVAHI:-}" ] && ! pgrep -x avahi-daemon >/dev/null; then
  mkdir -p /run/dbus /run/avahi-daemon
  # a socket left by a bus that was stopped answers nobody: only a bus that answers is kept
  if ! dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1; then
    rm -f /run/dbus/system_bus_socket /run/dbus/pid
    dbus-daemon --system --fork --print-pid >"$dir/pids/dbus" 2>/dev/null && echo 1 >"$dir/own-dbus"
  fi
  cat >"$dir/avahi.conf" <<CONF
[server]
allow-interfaces=lo
use-ipv6=no
enable-dbus=yes
[publish]
publish-workstation=no
[wide-area]
enable-wide-area=no
CONF
  avahi-daemon -f "$dir/avahi.conf" --no-drop-root --no-chroot -D >/dev/null 2>&1
  sleep 0.5
  pgrep -x avahi-daemon >"$dir/pids/avahi" || rm -f "$dir/pids/avahi"
fi

cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/pids/cupsd"
wait_port "$port" || { echo "cupsd did not start" >&2; cat "$dir/log/"* >&2; stop; exit 1; }
export CUPS_SERVER=127.0.0.1:$port

lpadmin -p kaede-pdf -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd || { stop; exit 1; }

start_ipp() {  # start_ipp NAME PORT FORMATS
  { cat "$here/ipp-postcards.conf"
    echo "ATTR mimeMediaType document-format-supported $3"
    echo "ATTR mimeMediaType document-format-default ${3%%,*}"
    echo "ATTR text printer-make-and-model \"Kaede $1\""
    if [ "$4" = raster ]; then
      echo "ATTR resolution pwg-raster-document-resolution-supported 300dpi"
      echo "ATTR keyword pwg-raster-document-type-supported black_1,sgray_8,srgb_8"
      echo "ATTR keyword pwg-raster-document-sheet-back normal"
      echo "ATTR keyword urf-supported V1.4,CP1,W8,SRGB24,RS300,DM1"
    fi
  } >"$dir/$1.conf"
  ippeveprinter -n localhost -p "$2" -d "$dir/$4" -k -a "$dir/$1.conf" "$1" >"$dir/log/$1.out" 2>&1 &
  echo $! >"$dir/pids/$1"
  # a queue the server could not describe is taken away again: asking it would only wait
  wait_port "$2" && lpadmin -p "$1" -E -v "ipp://localhost:$2/ipp/print" -m everywhere &&
    lpoptions -p "$1" -l >/dev/null 2>&1 || { lpadmin -x "$1" 2>/dev/null; return 1; }
}
start_ipp kaede-ipp $((port + 1)) application/pdf ipp || echo "kaede-ipp not started" >&2
start_ipp kaede-raster $((port + 2)) image/pwg-raster,image/urf raster || echo "kaede-raster not started" >&2
echo "$CUPS_SERVER"
