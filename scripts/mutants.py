#!/usr/bin/env python3
"""Puts back, one at a time, faults that the safety tests must catch, and says which test caught each:

    scripts/mutants.py        (after scripts/build.sh; the build folder is build/)

Each fault is a literal change to one source file, undone whatever happens."""
import os
import subprocess

os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
MUTANTS = [
 ("failed file stays marked converted", "batch/RunJob.cpp", "            converted.Remove(before);\n", "", "test_batch", "RunJobTest.*"),
 ("--from auto decides on any lead", "core/SourceEncodingCheck.cpp", "if (readings.Of(valid[1]).cost - judged.cost < kClearMargin) {", "if (readings.Of(valid[1]).cost - judged.cost < 1) {", "test_core", "ClearMargin.*:*SourceEncodingCheck*:*GuessSource*"),
 ("already-UTF-8 boundary", "core/SourceEncodingCheck.cpp", "if (declared.valid && declared.cost - seen.cost < kClearMargin)", "if (declared.valid && declared.cost - seen.cost <= kClearMargin)", "test_core", "ClearMargin.*:*WrongSource*:*ChooseSource*"),
 ("times to the second", "core/FileIdentity.cpp", "a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec", "a.tv_sec == b.tv_sec", "test_core", "ConvertFile*:*ReplaceFile*"),
 ("staged copy 0666", "core/ReplaceFile.cpp", "options.ownership ? options.ownership->mode & 0777 : 0666", "0666", "test_core", "ConvertFile*:*ReplaceFile*"),
 ("U+2029 not escaped", "core/ShownName.cpp", " || c == 0x2029", "", "test_core", "*ShownName*"),
 ("guessed file refused despite rules", "core/SourceEncodingCheck.cpp", "if (*guess.encoding == target && !rulesOn) {", "(void)rulesOn;\n    if (*guess.encoding == target) {", "test_core", "ChooseSource*:*ChooseSourceReading*"),
 ("put back over a file", "core/LoneBackup.cpp", "int error = calls.RenameNoReplace(backup, file);", "int error = calls.Rename(backup, file);", "test_core", "*LoneBackup*"),
 ("hard-linked file replaced", "core/OtherNames.cpp", "    if (info.st_nlink <= 1)\n", "    if (info.st_nlink <= 1 || true)\n", "test_core", "ConvertFile*:*LoneBackup*"),
 ("sparse file read", "core/FileReader.cpp", "if (limits.refuseBinary && HasHoles(fd, size, calls))", "if (limits.refuseBinary && HasHoles(fd, size, calls) && false)", "test_core", "ConvertFile*"),
 ("stray removed while its file converts", "filelist/StrayFiles.cpp", "if (LockedByARun(stray.parent_path() / page, calls))", "if (LockedByARun(stray.parent_path() / page, calls) && false)", "test_filelist", "*RemoveStray*"),
 ("unlistable folder dropped", "filelist/FindFiles.cpp", "    if (listError != 0)\n", "    if (listError != 0 && false)\n", "test_filelist", "*FindFiles*"),
]
for name, path, old, new, target, filt in MUTANTS:
    src = open(path).read()
    if old not in src:
        print(f"{name}: PATTERN NOT FOUND"); continue
    open(path, "w").write(src.replace(old, new, 1))
    try:
        b = subprocess.run(["cmake", "--build", "build", "--target", target, "-j2"], capture_output=True, text=True)
        if b.returncode != 0:
            print(f"{name}: build failed"); print(b.stdout[-500:]); continue
        exe = f"build/tests/{target.split('_')[1]}/{target}"
        r = subprocess.run([exe, f"--gtest_filter={filt}", "--gtest_brief=1"], capture_output=True, text=True)
        failed = [l.split(",")[0] for l in r.stdout.splitlines() if l.startswith("[  FAILED  ]") and "listed below" not in l]
        print(f"{name}: {'caught' if r.returncode != 0 else 'SURVIVED'} by {sorted(set(f.split()[3] for f in failed if len(f.split()) > 3))[:4]}")
    finally:
        open(path, "w").write(src)
subprocess.run(["cmake", "--build", "build", "-j2"], capture_output=True)
