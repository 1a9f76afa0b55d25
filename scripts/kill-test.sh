#!/usr/bin/env bash
# Checks that no original is lost when veltran-cli runs are killed or overlap, over a generated GB site:
#   scripts/kill-test.sh [--two-runs | --no-hard-links] [TRIALS] [PAGES] [JOBS]
# Without a mode: TRIALS runs (default 200) with backups and as many with --no-backup over a site of
# PAGES pages (default 300), each killed with SIGKILL at a moment drawn evenly over the length of an
# uninterrupted run. Each run converts JOBS files at once (default 4).
# --no-hard-links: the same kills on a file system that refuses hard links and unnamed files: a bindfs
# (FUSE) pass-through of the site whose link() and linkat() fail with EPERM (a library preloaded into
# bindfs). Installs bindfs when missing; needs /dev/fuse.
# --two-runs: TRIALS times, two runs over the same site at once and left to finish, GB to UTF-8 twice
# in even trials and GB to BIG5 beside GB to UTF-8 in odd ones; each run's --report must not claim a
# page that holds another run's conversion.
# After each trial every page must hold its original bytes or a whole conversion, every .bak the
# original (and be there when its page is converted), and no other file may be in the site (strays
# are only counted without hard links, where the new file has a name while it is written). After each
# kill a next run must name every stray and lose nothing, and veltran-cli --clean-staged must leave
# none. Prints the figures; exits 1 when a file was lost, a stray was not named or not removed, or a
# run claimed what it did not do. Not
# part of CI: it takes minutes. Uses build/cli/veltran-cli (or $VELTRAN_CLI), building it when missing,
# and python3.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${VELTRAN_CLI:-$root/build/cli/veltran-cli}"
mode=kill
case "${1:-}" in
--two-runs) mode=two-runs && shift ;;
--no-hard-links) mode=no-hard-links && shift ;;
esac
[ -x "$cli" ] || "$root/scripts/build.sh"

shim=
if [ "$mode" = no-hard-links ]; then
    if ! command -v bindfs >/dev/null; then
        sudo_cmd=()
        [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
        "${sudo_cmd[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends bindfs >/dev/null
    fi
    shim="$(mktemp -d)/no-hard-links.so"
    cc -shared -fPIC -o "$shim" -x c - <<'EOF'
#include <errno.h>
/* bindfs passes link requests on to these: refused, the file system has no hard links. */
int link(const char* from, const char* to) { (void)from; (void)to; errno = EPERM; return -1; }
int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags)
{
    (void)fromFolder; (void)from; (void)toFolder; (void)to; (void)flags;
    errno = EPERM;
    return -1;
}
EOF
fi

exec python3 - "$cli" "$mode" "$shim" "${1:-200}" "${2:-300}" "${3:-4}" <<'EOF'
import atexit, json, os, random, shutil, signal, subprocess, sys, tempfile, time

cli, mode, shim, trials, pages, jobs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), sys.argv[6]
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
atexit.register(shutil.rmtree, work, True)
pristine = os.path.join(work, "pristine")
originals = {}
for i in range(pages):
    relative = os.path.join("section%d" % (i % 7), "page%03d.htm" % i)
    originals[relative] = gb_page(int(200 * (200 ** rng.random())))
    os.makedirs(os.path.join(pristine, os.path.dirname(relative)), exist_ok=True)
    with open(os.path.join(pristine, relative), "wb") as f:
        f.write(originals[relative])

# The site is converted where it is mounted; without hard links that is a bindfs view of a plain folder.
site = os.path.join(work, "site")
mounted = None
os.makedirs(site)
if mode == "no-hard-links":
    mounted = site
    site = os.path.join(work, "mounted")
    os.makedirs(site)
    subprocess.run(["bindfs", mounted, site], check=True, env=dict(os.environ, LD_PRELOAD=shim))
    # Whatever ends the script, the mount goes before the folders under it.
    atexit.register(subprocess.run, ["umount", site], check=False)
    probe = os.path.join(site, "probe")
    open(probe, "wb").close()
    try:
        os.link(probe, probe + ".link")
        sys.exit("the bindfs mount makes hard links: the preloaded library did not take")
    except PermissionError:
        os.remove(probe)

def fresh_site():
    for name in os.listdir(site):
        shutil.rmtree(os.path.join(site, name))
    shutil.copytree(pristine, site, dirs_exist_ok=True)
    return site

def command(target, backup, report=None):
    return ([cli, "--quiet", "-j", jobs, "--from", "gb", "--to", target] + ([] if backup else ["--no-backup"]) +
            (["--report", report] if report else []) + [site])

def read(path):
    with open(path, "rb") as f:
        return f.read()

def conversions(target):
    fresh_site()
    subprocess.run(command(target, False), check=True)
    return {relative: read(os.path.join(site, relative)) for relative in originals}

converted = {"utf8": conversions("utf8")}
if mode == "two-runs":
    converted["big5"] = conversions("big5")

def check(backup):
    lost, strays, done = [], [], 0
    expected = set()
    for relative, original in originals.items():
        path = os.path.join(site, relative)
        expected.add(relative)
        now = read(path) if os.path.isfile(path) else None
        if now != original and all(now != conversion[relative] for conversion in converted.values()):
            lost.append(relative + (" (missing)" if now is None else " (neither original nor conversion)"))
            continue
        done += now != original
        bak = path + ".bak"
        if backup:
            expected.add(relative + ".bak")
            if os.path.exists(bak) and read(bak) != original:
                lost.append(relative + ".bak (not the original)")
            elif now != original and not os.path.exists(bak):
                lost.append(relative + ".bak (missing)")
    for folder, _, files in os.walk(site):
        for name in files:
            relative = os.path.relpath(os.path.join(folder, name), site)
            if relative not in expected:
                strays.append(relative)
    return lost, strays, done

print("veltran-cli: %s, %s jobs\nsite: %d pages, %.1f MB%s" % (cli, jobs, pages, sum(map(len, originals.values())) / 1e6,
      "; on bindfs without hard links" if mounted else ""))
failed = False

if mode == "two-runs":
    reports = os.path.join(work, "reports")
    os.makedirs(reports)
    figures = {}
    for trial in range(trials):
        fresh_site()
        targets = ("utf8", "utf8") if trial % 2 == 0 else ("big5", "utf8")
        names = [os.path.join(reports, "%d-%s.json" % (n, t)) for n, t in enumerate(targets)]
        for name in names:
            if os.path.exists(name):
                os.remove(name)
        runs = [subprocess.Popen(command(t, True, name), stderr=subprocess.PIPE) for t, name in zip(targets, names)]
        errors = [run.communicate()[1].decode(errors="replace") for run in runs]
        lost, strays, done = check(True)
        # A page a run says it converted holds that run's conversion.
        false_claims, claimed, locked_out = [], 0, 0
        for target, name in zip(targets, names):
            with open(name) as f:
                for entry in json.load(f)["entries"]:
                    relative = os.path.relpath(entry["path"], site)
                    if entry["outcome"] == "converted":
                        claimed += 1
                        if read(os.path.join(site, relative)) != converted[target][relative]:
                            false_claims.append("%s (%s)" % (relative, target))
                    elif entry.get("reason") == "being converted by another run":
                        locked_out += 1
        if lost or strays or false_claims:
            print("trial %d (%s + %s): lost %s, stray %s, claimed falsely %s" % (trial, targets[0], targets[1], lost,
                                                                                strays, false_claims))
        kind = "%s + %s" % targets
        total = figures.setdefault(kind, [0, 0, 0, 0, 0, 0])
        for i, value in enumerate((1, len(lost), len(strays), len(false_claims), done, locked_out)):
            total[i] += value
        failed = failed or lost or strays or false_claims
    for kind, (runs, lost, strays, false_claims, done, locked_out) in figures.items():
        print("two runs at once, GB to %s: %d trials, %d pages converted, %d entries refused as being converted by "
              "the other run; %d files lost, %d stray files, %d false claims" % (kind, runs, done, locked_out, lost,
                                                                              strays, false_claims))
    sys.exit(1 if failed else 0)

# How long an uninterrupted run takes.
durations = []
for _ in range(3):
    fresh_site()
    start = time.monotonic()
    subprocess.run(command("utf8", True), check=True)
    durations.append(time.monotonic() - start)
run_time = sorted(durations)[1]
print("an uninterrupted run takes %.0f ms" % (run_time * 1000))

for backup in (True, False):
    lost_total, stray_total, before, during, after = 0, 0, 0, 0, 0
    put_back, named, removed, left_total = 0, 0, 0, 0
    for trial in range(trials):
        fresh_site()
        process = subprocess.Popen(command("utf8", backup))
        time.sleep(rng.uniform(0, run_time * 1.1))
        process.send_signal(signal.SIGKILL)
        process.wait()
        lost, strays, done = check(backup)
        # The next run puts back what was left as a lone backup and names the strays; --clean-staged then
        # removes them, and nothing may be lost or left after either. Without backups it is a dry run:
        # these pages of random characters are no text in any reading, so the encoding check has no
        # ground to refuse a converted one read again as GB.
        after_run = subprocess.run(command("utf8", backup) + ([] if backup else ["--dry-run"]),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE).stderr.decode(errors="replace")
        put_back += after_run.count("; put back from ")
        named += after_run.count(": left by an interrupted run\n")
        removed += subprocess.run([cli, "--clean-staged", site], stdout=subprocess.PIPE).stdout.decode().count("removed ")
        lost_next, left, _ = check(backup)
        lost += [name + " (after the next run)" for name in lost_next if name not in lost]
        if lost or strays or left:
            print("trial %d (%s): lost %s, stray %s, left after --clean-staged %s" %
                  (trial, "backup" if backup else "no backup", lost, strays, left))
        lost_total += len(lost)
        stray_total += len(strays)
        left_total += len(left)
        before += done == 0
        during += 0 < done < pages
        after += done == pages
    # A kill while a staged file has a name (while it is written, where no file can be made without a
    # name) leaves it behind; the next run is to name it and --clean-staged to remove it, which is what
    # fails here.
    failed = failed or lost_total > 0 or left_total > 0 or named != stray_total
    print("%s: %d kills (%d before the first page was converted, %d during the run, %d after the last); "
          "%d files lost, %d stray files; the next run put back %d pages and named %d strays, --clean-staged "
          "removed %d and left %d" % ("with backup" if backup else "without backup", trials, before, during, after,
                                     lost_total, stray_total, put_back, named, removed, left_total))
sys.exit(1 if failed else 0)
EOF
