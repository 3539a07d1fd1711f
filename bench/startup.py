#!/usr/bin/env python3
"""Start-up time: process start to the main window mapped, against a minimal Qt window, in one run.

Runs under its own Xvfb without a window manager. Cases: the feed host unreachable (the reserved
domain, as shipped), and a local feed server that accepts the connection and never answers (the feed
host pointed at 127.0.0.1 through a private /etc/hosts in a mount namespace; needs root and unshare).
"""
import os, socket, statistics, subprocess, sys, tempfile, threading, time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
bin_dir = os.path.join(build, "bin")
timer = os.path.join(bin_dir, "startuptimer")
program = os.path.join(bin_dir, "vornel-transcriber")
minimal = os.path.join(bin_dir, "minimalwindow")
REQUEST_BOUND_MS = 15000

display = ":57"
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1.0)
env = dict(os.environ, DISPLAY=display)
env.pop("QT_QPA_PLATFORM", None)


def measure(title, command):
    out = subprocess.run([timer, title] + command, env=env, capture_output=True, text=True, timeout=120)
    if out.returncode != 0:
        raise SystemExit(f"start-up timer failed for {command}: {out.stderr}")
    return float(out.stdout.strip())


def silent_server(stop):
    srv = socket.socket()
    srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    srv.bind(("127.0.0.1", 443))
    srv.listen(16)
    srv.settimeout(0.2)
    held = []
    while not stop.is_set():
        try:
            conn, _ = srv.accept()
            held.append(conn)  # accepted, never answered
        except socket.timeout:
            pass
    for c in held:
        c.close()
    srv.close()


def median_p95(values):
    values = sorted(values)
    return statistics.median(values), values[min(len(values) - 1, int(round(0.95 * (len(values) - 1))))]


try:
    ref, ours = [], []
    for _ in range(runs):  # interleaved, so both see the same machine load
        ref.append(measure("MinimalWindow", [minimal]))
        ours.append(measure("Vornel", [program]))
    silent = []
    can_redirect = os.geteuid() == 0 and subprocess.run(["which", "unshare"], capture_output=True).returncode == 0
    if can_redirect:
        stop = threading.Event()
        t = threading.Thread(target=silent_server, args=(stop,), daemon=True)
        t.start()
        with tempfile.NamedTemporaryFile("w", suffix=".hosts", delete=False) as hosts:
            hosts.write("127.0.0.1 localhost vornel.example\n")
        wrapped = ["unshare", "-m", "sh", "-c", f'mount --bind "{hosts.name}" /etc/hosts && exec "$0"', program]
        for _ in range(max(2, runs // 5)):
            silent.append(measure("Vornel", wrapped))
        stop.set()
        os.unlink(hosts.name)
finally:
    xvfb.terminate()

rm, rp = median_p95(ref)
om, op = median_p95(ours)
print("start-up to main window shown (ms, median of %d)" % runs)
print(f"| figure | value | reference | ratio | target | met |")
print(f"|---|---|---|---|---|---|")
print(f"| start-up, feed host unreachable | {om:.0f} ms (p95 {op:.0f}) | minimal Qt window {rm:.0f} ms (p95 {rp:.0f}) "
      f"| {om / rm:.2f} | ≤ 1.5 × | {'yes' if om <= 1.5 * rm else 'NO'} |")
if silent:
    sm = statistics.median(silent)
    print(f"| start-up, feed server never answers | {sm:.0f} ms | request bound {REQUEST_BOUND_MS} ms "
          f"| {sm / REQUEST_BOUND_MS:.2f} | ≤ bound + window | {'yes' if sm <= REQUEST_BOUND_MS + 1.5 * rm else 'NO'} |")
else:
    print("| start-up, feed server never answers | skipped (needs root and unshare) | | | | |")
