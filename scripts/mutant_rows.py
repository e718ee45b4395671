#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Which checks kill which mutants, and can a suite cut down to a sample's
kills be trusted?

Reads the JSON lines that `scripts/mutants.py --failures FILE` writes. A row
is one check of one test: its streamed message when it has one (the row of a
table), else its file and line. Prints, for each test, the mutants only it
kills; then a split-half estimate, repeated over 200 random splits of the
killed mutants: keep only the rows that kill the first half (all of them, or
the fewest that still kill each), and count how many of the second half's
mutants those rows still kill. A suite trimmed to one sample's kills keeps
about that share of the kills on mutants outside the sample.

  scripts/mutant_rows.py FILE...
"""

import collections
import json
import random
import sys


def row(failure):
    _, test, where, message = failure.split("|", 3)
    return f"{test}|{message}" if message else f"{test}|{where}"


def greedy_cover(rows_of):
    """The fewest rows (greedily) that still kill every mutant."""
    left, chosen = set(range(len(rows_of))), set()
    while left:
        count = collections.Counter(r for i in left for r in rows_of[i])
        best = max(count, key=lambda r: (count[r], r))
        chosen.add(best)
        left = {i for i in left if best not in rows_of[i]}
    return chosen


def main():
    records = [json.loads(line) for path in sys.argv[1:] for line in open(path)]
    killed = [set(map(row, r["failures"])) for r in records if r["outcome"] == "killed"]
    tally = collections.Counter(r["outcome"] for r in records)
    print(f"mutants {len(records)}: killed {tally['killed']}, survived {tally['survived']}, "
          f"did not compile {tally['no-compile']}; rows that kill any: {len(set().union(*killed))}")

    tests_of = [{r.split("|")[0] for r in rows} for rows in killed]
    any_kill = collections.Counter(t for tests in tests_of for t in tests)
    sole_kill = collections.Counter(next(iter(tests)) for tests in tests_of if len(tests) == 1)
    print("\nkills: only this test / this test among others")
    for test in sorted(any_kill):
        print(f"  {sole_kill[test]:3d} / {any_kill[test]:3d}  {test}")

    if len(killed) < 4:
        return 0
    kept_all = kept_cover = tried = 0
    sizes_all, sizes_cover = [], []
    for trial in range(200):
        shuffled = random.Random(trial).sample(killed, len(killed))
        first, second = shuffled[:len(shuffled) // 2], shuffled[len(shuffled) // 2:]
        used, cover = set().union(*first), greedy_cover(first)
        sizes_all.append(len(used))
        sizes_cover.append(len(cover))
        tried += len(second)
        kept_all += sum(bool(rows & used) for rows in second)
        kept_cover += sum(bool(rows & cover) for rows in second)
    print(f"\nsplit in halves ({len(killed) // 2} killed mutants each, 200 splits): keeping every row "
          f"that kills the first half (~{sum(sizes_all) / 200:.0f} rows) still kills "
          f"{kept_all / tried:.1%} of the second half; keeping the fewest that do "
          f"(~{sum(sizes_cover) / 200:.0f} rows), {kept_cover / tried:.1%}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
