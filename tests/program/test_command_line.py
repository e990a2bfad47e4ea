# The real program's command line, with no display and no textures: --help
# and --version answer, every kind of bad input is one line and status 2,
# and none of them asks the start-up question or looks for a window; the
# options that answer the question ahead do not ask it. --help and the
# manual page list the same options, and --version says the build's version.
#
# Usage: test_command_line.py PROGRAM BUILD_FOLDER

import os
import re
import subprocess
import sys
import tempfile

binary, build = (os.path.abspath(a) for a in sys.argv[1:3])
no_display = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
QUESTION, NO_WINDOW = "Would You Like To Run In Fullscreen Mode?", "RegisterClassEx Failed!"
HELP = "see 'tenebrel --help'\n"

# The arguments, the status, stdout (a pattern), and stderr: a pattern for
# it all, or for the options that run, whether the question is asked.
CASES = [
    (["--help"], 0, r"Usage: tenebrel \[OPTION\]\.\.\.\n(.+\n|\n)+", ""),
    (["-h", "--windowed"], 0, r"Usage: tenebrel (.+\n|\n)+", ""),
    (["--version"], 0, r"tenebrel \d+\.\d+\.\d+, free software under the MIT licence\n", ""),
    (["--bogus"], 2, "", r"tenebrel: unknown option '--bogus'; " + HELP),
    (["--renderer=vulkan"], 2, "", r"tenebrel: 'vulkan' is no renderer: .*; " + HELP),
    (["--renderer"], 2, "", r"tenebrel: --renderer needs a value; " + HELP),
    (["--benchmark=-3"], 2, "", r"tenebrel: '-3' is no number of seconds .*; " + HELP),
    (["--benchmark=abc"], 2, "", r"tenebrel: 'abc' is no number of seconds .*; " + HELP),
    (["--sum=gpu", "--sum", "buffer"], 2, "", r"tenebrel: --sum is given twice, .*; " + HELP),
    (["stray"], 2, "", r"tenebrel: unexpected argument 'stray': .*; " + HELP),
    (["--windowed", "--fullscreen"], 2, "", r"tenebrel: --windowed and --fullscreen .*; " + HELP),
    # Good options run, and with no display end as it always has: the
    # question asked only where no option answered it.
    ([], 255, "", True),
    (["--windowed", "--renderer", "gl1", "--sum=buffer"], 255, "", False),
    (["--fullscreen"], 255, "", False),
    (["--benchmark", "2"], 255, r"benchmark: 2 seconds along a fixed path through the room\n", False),
]


def run(arguments):
    with tempfile.TemporaryDirectory() as empty:  # no textures to find
        return subprocess.run([binary, *arguments], cwd=empty, env=no_display, capture_output=True,
                              text=True, timeout=60)


def options(text):  # the options a text names, as -h and --name
    return set(re.findall(r"(?<![\w-])(-[a-z]|--[a-z]+)\b", text))


failed = 0
for arguments, status, out, err in CASES:
    result = run(arguments)
    errors_fit = re.fullmatch(err, result.stderr) if isinstance(err, str) else \
        (QUESTION in result.stderr) == err and NO_WINDOW in result.stderr
    if result.returncode != status or not re.fullmatch(out, result.stdout) or not errors_fit:
        failed += 1
        print(f"FAILED {arguments}: status {result.returncode}\n{result.stdout}{result.stderr}")

# An answer that cannot be written is no success.
with open("/dev/full", "w") as full:
    result = subprocess.run([binary, "--version"], env=no_display, stdout=full, stderr=subprocess.PIPE,
                            text=True, timeout=60)
if result.returncode != 1 or result.stderr != "tenebrel: the answer could not be written to the standard output\n":
    failed += 1
    print(f"FAILED --version to a full disk: status {result.returncode}\n{result.stderr}")

# The manual page's OPTIONS section names each option in the line after
# each .TP, and the same ones as --help's list before its first blank line
# after the usage.
manual = open(os.path.join(build, "install", "tenebrel.6")).read()
section = manual.partition("\n.SH OPTIONS\n")[2].partition("\n.SH ")[0].replace("\\-", "-")
in_manual = options("\n".join(re.findall(r"^\.TP\n(.*)", section, re.M)))
listed = run(["--help"]).stdout.split("\n\n")[1]
in_help = options(listed)
if not in_help or in_help != in_manual:
    failed += 1
    print(f"FAILED --help lists {sorted(in_help)}, the manual page {sorted(in_manual)}")
version = re.search(r'^\.TH .* "Tenebrel (\S+)"', manual, re.M).group(1)
if run(["--version"]).stdout.split()[1].rstrip(",") != version:
    failed += 1
    print(f"FAILED --version does not say the build's version, {version}")
print(f"{failed} failed")
sys.exit(min(failed, 1))
