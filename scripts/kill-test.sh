#!/usr/bin/env bash
# Kills veltran-cli with SIGKILL at random moments of runs over a generated GB site and checks that
# no original is lost:
#   scripts/kill-test.sh [TRIALS] [PAGES] [JOBS]
# runs TRIALS runs (default 200) with backups and as many with --no-backup over a site of PAGES pages
# (default 300), converting JOBS files at once (default 4), each killed at a moment drawn evenly over the length of an uninterrupted run. After
# each kill every page must hold its original bytes or its whole conversion, every .bak the original
# (and be there when its page is converted), and no other file may be in the site. Prints the
# figures; exits 1 when a file was lost or a stray file was left. Not part of CI: it takes minutes.
# Uses build/cli/veltran-cli (or $VELTRAN_CLI), building it when missing, and python3.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${VELTRAN_CLI:-$root/build/cli/veltran-cli}"
[ -x "$cli" ] || "$root/scripts/build.sh"
exec python3 - "$cli" "${1:-200}" "${2:-300}" "${3:-4}" <<'EOF'
import os, random, shutil, signal, subprocess, sys, tempfile, time

cli, trials, pages, jobs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
rng = random.Random(int(os.environ.get("VELTRAN_KILL_SEED", "10")))

# Pages of random common GB 2312 characters (level 1, rows B0-D7) in HTML, from 200 bytes to 40 kB,
# in a few folders: plausible GB text, so a first run converts every page.
def gb_page(size):
    out = bytearray(b'<html><head><meta charset="gb2312"></head><body>\r\n')
    while len(out) < size:
        out += b"<p>"
        for _ in range(rng.randint(5, 60)):
            lead = rng.randint(0xB0, 0xD7)
            out += bytes([lead, rng.randint(0xA1, 0xF9 if lead == 0xD7 else 0xFE)])
        out += b"</p>\r\n"
    return bytes(out + b"</body></html>\r\n")

work = tempfile.mkdtemp(prefix="veltran-kill-")
pristine = os.path.join(work, "pristine")
originals = {}
for i in range(pages):
    relative = os.path.join("section%d" % (i % 7), "page%03d.htm" % i)
    originals[relative] = gb_page(int(200 * (200 ** rng.random())))
    os.makedirs(os.path.join(pristine, os.path.dirname(relative)), exist_ok=True)
    with open(os.path.join(pristine, relative), "wb") as f:
        f.write(originals[relative])

def fresh_site():
    site = os.path.join(work, "site")
    shutil.rmtree(site, ignore_errors=True)
    shutil.copytree(pristine, site)
    return site

def command(site, backup):
    return [cli, "--quiet", "-j", jobs, "--from", "gb", "--to", "utf8"] + ([] if backup else ["--no-backup"]) + [site]

def read(path):
    with open(path, "rb") as f:
        return f.read()

# The whole conversion of every page, and how long an uninterrupted run takes.
site = fresh_site()
subprocess.run(command(site, False), check=True)
converted = {relative: read(os.path.join(site, relative)) for relative in originals}
durations = []
for _ in range(3):
    site = fresh_site()
    start = time.monotonic()
    subprocess.run(command(site, True), check=True)
    durations.append(time.monotonic() - start)
run_time = sorted(durations)[1]

def check(site, backup):
    lost, strays, done = [], [], 0
    expected = set()
    for relative, original in originals.items():
        path = os.path.join(site, relative)
        expected.add(relative)
        now = read(path) if os.path.isfile(path) else None
        if now not in (original, converted[relative]):
            lost.append(relative + (" (missing)" if now is None else " (neither original nor conversion)"))
            continue
        done += now == converted[relative]
        bak = path + ".bak"
        if backup:
            expected.add(relative + ".bak")
            if os.path.exists(bak) and read(bak) != original:
                lost.append(relative + ".bak (not the original)")
            elif now == converted[relative] and not os.path.exists(bak):
                lost.append(relative + ".bak (missing)")
    for folder, _, files in os.walk(site):
        for name in files:
            relative = os.path.relpath(os.path.join(folder, name), site)
            if relative not in expected:
                strays.append(relative)
    return lost, strays, done

failed = False
print("veltran-cli: %s, %s jobs\nsite: %d pages, %.1f MB; an uninterrupted run takes %.0f ms" %
      (cli, jobs, pages, sum(map(len, originals.values())) / 1e6, run_time * 1000))
for backup in (True, False):
    lost_total, stray_total, before, during, after = 0, 0, 0, 0, 0
    for trial in range(trials):
        site = fresh_site()
        process = subprocess.Popen(command(site, backup))
        time.sleep(rng.uniform(0, run_time * 1.1))
        process.send_signal(signal.SIGKILL)
        process.wait()
        lost, strays, done = check(site, backup)
        if lost or strays:
            print("trial %d (%s): lost %s, stray %s" % (trial, "backup" if backup else "no backup", lost, strays))
        lost_total += len(lost)
        stray_total += len(strays)
        before += done == 0
        during += 0 < done < pages
        after += done == pages
    failed = failed or lost_total > 0 or stray_total > 0
    print("%s: %d kills (%d before the first page was converted, %d during the run, %d after the last); "
          "%d files lost, %d stray files" % ("with backup" if backup else "without backup", trials, before, during,
                                              after, lost_total, stray_total))
shutil.rmtree(work)
sys.exit(1 if failed else 0)
EOF
