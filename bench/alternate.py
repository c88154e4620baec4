#!/usr/bin/env python3
"""Times whole processes taking turns, for comparing two builds (or a build and a peer tool) on
a machine whose speed drifts: each round runs every command once, in order, so that a slow
minute slows them all alike. Prints each command's median and fastest wall time and its median
CPU time (user + system) in milliseconds, then the load.

    bench/alternate.py ROUNDS 'LABEL::COMMAND ARGS...' ['LABEL::COMMAND ARGS...' ...]

Each command runs without a shell (posix_spawn to wait4), its output going to /dev/null; its
arguments are split as a shell would split them (shlex), so quote a pattern such as '*ing'.
Example, two builds side by side over a program folder made with `zantric-cli make`:

    bench/alternate.py 21 "old::./old-cli -C words search '*ing'" \\
                          "new::./new-cli -C words search '*ing'" "grep::grep -x '.*ing' words.txt"
"""
import os
import shlex
import statistics
import sys
import time


def main():
    if len(sys.argv) < 3 or not sys.argv[1].isdigit():
        sys.exit(__doc__)
    rounds = int(sys.argv[1])
    cases = []
    for given in sys.argv[2:]:
        label, _, command = given.partition("::")
        cases.append((label, shlex.split(command)))
    wall = {label: [] for label, _ in cases}
    cpu = {label: [] for label, _ in cases}
    null = os.open(os.devnull, os.O_WRONLY)
    actions = [(os.POSIX_SPAWN_DUP2, null, 1), (os.POSIX_SPAWN_DUP2, null, 2)]
    for _ in range(rounds):
        for label, argv in cases:
            start = time.perf_counter()
            pid = os.posix_spawnp(argv[0], argv, os.environ, file_actions=actions)
            _, _, usage = os.wait4(pid, 0)
            wall[label].append((time.perf_counter() - start) * 1000)
            cpu[label].append((usage.ru_utime + usage.ru_stime) * 1000)
    for label, _ in cases:
        print(f"{label:28s} median {statistics.median(wall[label]):8.2f}  "
              f"fastest {min(wall[label]):8.2f}  cpu {statistics.median(cpu[label]):8.2f}")
    print("load", " ".join(open("/proc/loadavg").read().split()[:3]))


if __name__ == "__main__":
    main()
