#!/usr/bin/env python3
"""Soak run: the program plays a two-hour MP3 under Xvfb while typing goes on and F4/F5/F6 are pressed at
random every second; then the transcript is saved. Prints memory after the first minute and at the end,
the program's error output, and whether the saved file holds every word typed.

Usage: bench/soak.py BUILD_DIR [MINUTES [MP3]]   (needs Xvfb, openbox, xdotool; not part of CI)
Without MP3 a two-hour tone is encoded first.
"""
import os, random, subprocess, sys, tempfile, time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
minutes = float(sys.argv[2]) if len(sys.argv) > 2 else 10
program = os.path.join(build, "bin", "vornel-transcriber")
work = tempfile.mkdtemp(prefix="soak-")
media = os.path.join(work, "recording-2h.mp3")  # xdotool types ASCII reliably
out = os.path.join(work, "transcript.txt")

if len(sys.argv) > 3:
    os.symlink(os.path.abspath(sys.argv[3]), media)
else:
    subprocess.run([os.path.join(build, "bin", "makemedia"), "av://lavfi:sine=frequency=330:duration=7200", media,
                    "libmp3lame"], check=True)

display = ":58"
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1)
env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=work)
env.pop("QT_QPA_PLATFORM", None)
wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
errors = open(os.path.join(work, "stderr.txt"), "w+")
app = subprocess.Popen([program], env=env, stdout=errors, stderr=errors)


def xdo(*args):
    subprocess.run(["xdotool", *args], env=env, check=True)


def rss_kib():
    with open(f"/proc/{app.pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return -1


try:
    time.sleep(3)
    xdo("key", "alt+v")
    time.sleep(0.5)
    xdo("key", "Return")
    time.sleep(1.5)
    xdo("type", "--delay", "5", media)
    xdo("key", "Return")
    time.sleep(2)
    words = []
    start = time.time()
    rss_first_minute = None
    presses = {"F4": 0, "F5": 0, "F6": 0}
    rng = random.Random(7)
    i = 0
    while time.time() - start < minutes * 60:
        word = f"w{i} "
        xdo("type", "--delay", "8", word)
        words.append(word)
        key = rng.choice(["F4", "F5", "F6"])
        xdo("key", key)
        presses[key] += 1
        i += 1
        if rss_first_minute is None and time.time() - start >= 60:
            rss_first_minute = rss_kib()
        time.sleep(max(0.0, start + i - time.time()))
    rss_end = rss_kib()
    xdo("key", "ctrl+s")
    time.sleep(1.5)
    xdo("type", "--delay", "5", out)
    xdo("key", "Return")
    time.sleep(1.5)
    subprocess.run(["import", "-window", "root", os.path.join(work, "before-exit.png")], env=env)
    xdo("key", "ctrl+q")
    try:
        app.wait(timeout=10)
    except subprocess.TimeoutExpired:
        subprocess.run(["import", "-window", "root", os.path.join(work, "exit-hung.png")], env=env)
        print("the program did not end after Ctrl+Q; see", work)
finally:
    if app.poll() is None:
        app.kill()
    wm.kill()
    xvfb.terminate()

saved = open(out, "rb").read().decode("gb18030") if os.path.exists(out) else ""
complete = saved == "".join(words)
errors.seek(0)
error_text = errors.read().strip()
if rss_first_minute is None:
    rss_first_minute = rss_end
growth = (rss_end - rss_first_minute) / rss_first_minute
# Without a sound device the sound libraries themselves print their failed probes before the player falls
# back to its null output; those lines are counted apart from the program's own.
sound_noise = ("ALSA lib", "pw.", "[W][", "[E][")
lines = [l for l in error_text.splitlines() if l.strip()]
own_errors = [l for l in lines if not l.startswith(sound_noise) and "XDG_RUNTIME_DIR" not in l]
print(f"soak: {minutes:g} min, {i} rounds, keys {presses}")
print(f"| figure | value | target | met |")
print(f"|---|---|---|---|")
print(f"| memory after the first minute | {rss_first_minute / 1024:.1f} MiB | | |")
print(f"| memory at the end | {rss_end / 1024:.1f} MiB ({growth * 100:+.1f} %) | within 10 % | {'yes' if abs(growth) <= 0.10 else 'NO'} |")
print(f"| the program's error output | {len(own_errors)} lines | none | {'yes' if not own_errors else 'NO'} |")
print(f"| sound libraries' probe messages | {len(lines) - len(own_errors)} lines | (no sound device here) | |")
print(f"| saved file holds every word | {len(saved)} of {len(''.join(words))} characters | all | {'yes' if complete else 'NO'} |")
print(f"| exit code after Ctrl+Q | {app.returncode} | 0 | {'yes' if app.returncode == 0 else 'NO'} |")
if own_errors:
    print("\n".join(own_errors[:40]))
