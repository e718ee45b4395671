#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Mutation testing for hxcore: how many small faults do the tests catch?

Applies a reproducible sample of single-point mutations to the library's own
sources (core/ and the platform folders the build compiles), one at a time.
For each mutant it rebuilds incrementally, runs every test program with a
time limit, and records the outcome:

  killed     a test failed, crashed or ran out of time
  survived   every test passed: a fault the tests do not see (or an
             equivalent mutant, which no test can see)
  no-compile the mutant does not build

The same seed and sample size over the same sources give the same mutants.

  scripts/mutants.py [--seed N] [--sample N] [--build-dir DIR] [--timeout S]
                     [--report FILE] [--list] [--failures FILE] [PATH_PREFIX...]

PATH_PREFIX limits the sites to files under those paths (core/common/HXUrl).
The build directory is configured on first use (optimised lightly, no debug
info, no -Werror: a mutant that only warns still runs). The report is
Markdown: the tally, then every survivor by file and line.

--failures FILE records which assertions each mutant makes fail: every
GoogleTest program runs whole (no stop at the first failure) and each failed
assertion is written as "program|test|file:line|streamed message", one JSON
line per mutant. The shell-driven tests do not run in this mode.
scripts/mutant_rows.py reads such files.
"""

import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIBRARY_DIRS = ("core/", "platform/")
# An incremental build takes well under a minute; one that runs longer is a
# mutated build-time tool (the secret scrambler) that no longer ends.
BUILD_TIMEOUT = 240

RELATIONAL_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
LOGICAL_SWAPS = {"&&": "||", "||": "&&"}
RELATIONAL = re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )")
LOGICAL = re.compile(r"(?<= )(&&|\|\|)(?= )")
INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")
CONDITION = re.compile(r"\b(if|while) \(")
STATEMENT = re.compile(
    r"^\s*(?:[A-Za-z_][\w:]*(?:\.|->|::))*[A-Za-z_][\w]*(?:\[[^\]]*\])?\s*"
    r"(\(|=[^=]|\+=|-=|\*=|/=|%=|\|=|&=|\^=|<<=|>>=|\+\+|--)")
EARLY_RETURN = re.compile(r"\breturn\b[^;]*;")
DECLARATION_START = re.compile(
    r"^\s*(?:const|constexpr|static|auto|return|using|typedef|case|default|template|"
    r"namespace|class|struct|enum|public|private|protected|else|do|break|continue)\b")


@dataclass(frozen=True)
class Mutant:
    path: str    # relative to ROOT
    line: int    # 1-based
    column: int  # 0-based, in the line
    operator: str
    original: str
    replacement: str

    def describe(self):
        return f"{self.path}:{self.line} {self.operator}: `{self.original.strip()}` -> `{self.replacement.strip()}`"


def mask_code(text):
    """The text with comments, string and character literals blanked out, so
    that only code is mutated. Lengths and line breaks are kept."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out[i:j] = " " * (j - i)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out[i:j] = [ch if ch == "\n" else " " for ch in text[i:j]]
            i = j
        elif text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            delimiter = text[i + 2:open_paren]
            j = text.find(")" + delimiter + '"', open_paren)
            j = n if j < 0 else j + len(delimiter) + 2
            out[i:j] = [ch if ch == "\n" else " " for ch in text[i:j]]
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):  # 1'000 separators
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out[i + 1:j - 1] = " " * max(0, j - 1 - (i + 1))
            i = j
        else:
            i += 1
    return "".join(out)


def matching_paren(line, open_index):
    depth = 0
    for k in range(open_index, len(line)):
        if line[k] == "(":
            depth += 1
        elif line[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def sites_in_file(path):
    text = (ROOT / path).read_text()
    lines = text.split("\n")
    masked = mask_code(text).split("\n")
    sites = []
    previous_code = ""
    for number, (line, code) in enumerate(zip(lines, masked), start=1):
        stripped = code.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in code or "template" in code:
            previous_code = stripped or previous_code
            continue

        def add(column, operator, old, new):
            sites.append(Mutant(path, number, column, operator, old, new))

        for m in RELATIONAL.finditer(code):
            add(m.start(), "relational", m.group(1), RELATIONAL_SWAPS[m.group(1)])
        for m in LOGICAL.finditer(code):
            add(m.start(), "logical", m.group(1), LOGICAL_SWAPS[m.group(1)])
        for m in INTEGER.finditer(code):
            value = int(m.group(1))
            moved = value + 1 if value % 2 == 0 else value - 1  # a fixed direction per value
            add(m.start(), "constant", m.group(1), str(moved))
        for m in CONDITION.finditer(code):
            close = matching_paren(code, m.end() - 1)
            if close > 0:
                condition = line[m.end() - 1:close + 1]
                add(m.end() - 1, "condition-true", condition, "(true)")
                add(m.end() - 1, "condition-false", condition, "(false)")
        is_statement = (stripped.endswith(";") and STATEMENT.match(code)
                        and not DECLARATION_START.match(code) and not stripped.startswith("}"))
        if is_statement:
            start = len(code) - len(code.lstrip())
            add(start, "statement-removed", line[start:], ";")
        early = EARLY_RETURN.search(code)
        if early and (previous_code.startswith("if (") or stripped.startswith("if (")):
            add(early.start(), "return-removed", line[early.start():early.end()], ";")
        previous_code = stripped
    return sites


def apply(mutant):
    path = ROOT / mutant.path
    original = path.read_text()
    lines = original.split("\n")
    line = lines[mutant.line - 1]
    end = mutant.column + len(mutant.original)
    assert line[mutant.column:end] == mutant.original, mutant
    lines[mutant.line - 1] = line[:mutant.column] + mutant.replacement + line[end:]
    path.write_text("\n".join(lines))
    return original


def kill_session(leader):
    """Kills every process of the session `leader` started. Process groups are
    not enough: ninja gives each build command a group of its own, and a
    mutated build-time tool that loops would outlive the build."""
    for stat in Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
            if int(fields[3]) == leader:  # the session id, after state, ppid, pgrp
                os.kill(int(stat.parent.name), signal.SIGKILL)
        except (OSError, ValueError, IndexError):
            pass


def run(cmd, timeout):
    """Runs cmd in a session of its own; returns its status, or None when it
    ran out of time (the whole session is killed then)."""
    with subprocess.Popen(cmd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=True) as process:
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_session(process.pid)
            process.wait()
            return None


def configure(build_dir):
    if (build_dir / "build.ninja").exists():
        # An existing build (a CI smoke run reuses the test build) only needs
        # its compile commands, to tell which sources it compiles.
        if not (build_dir / "compile_commands.json").exists():
            subprocess.run(["cmake", "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", str(build_dir)],
                           check=True, stdout=subprocess.DEVNULL)
        return
    subprocess.run(
        ["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
         "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1", "-DCMAKE_C_FLAGS_RELEASE=-O1",
         "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", "-DHXCORE_BUILD_TESTS=ON", "-DHXCORE_BUILD_TOOLS=ON",
         "-DHXCORE_WARNINGS_AS_ERRORS=OFF",
         # Test lists are read when the tests run, not after every relink.
         "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"],
        check=True, stdout=subprocess.DEVNULL)


def library_sources(build_dir):
    """The library's own files that this build compiles (not tests, tools or
    generated files)."""
    commands = json.loads((build_dir / "compile_commands.json").read_text())
    found = set()
    for entry in commands:
        source = Path(entry["file"]).resolve()
        if "hxcore_obj" not in entry.get("output", entry["command"]):
            continue
        try:
            relative = source.relative_to(ROOT).as_posix()
        except ValueError:
            continue
        if relative.startswith(LIBRARY_DIRS):
            found.add(relative)
    return sorted(found)


def test_commands(build_dir, timeout):
    """One command per test program: a GoogleTest program runs once, whole;
    the other registered tests run through ctest, which knows their
    properties (expected output, expected failure)."""
    listing = json.loads(subprocess.run(
        ["ctest", "--test-dir", str(build_dir), "--show-only=json-v1"],
        check=True, capture_output=True, text=True).stdout)
    programs, others = [], []
    for test in listing["tests"]:
        command = test.get("command") or []
        if any(arg.startswith("--gtest_filter=") for arg in command):
            program = [command[0], "--gtest_brief=1"]
            if program not in programs:
                programs.append(program)
        else:
            others.append(re.escape(test["name"]))
    if others:
        programs.append(["ctest", "--test-dir", str(build_dir), "--timeout", str(timeout),
                         "-R", "^(" + "|".join(others) + ")$"])
    return programs


def test_programs_by_source(build_dir):
    """For each test source's stem (HXUrl for HXUrl_test.cpp), the test
    programs that compile it."""
    commands = json.loads((build_dir / "compile_commands.json").read_text())
    programs = {}
    for entry in commands:
        match = re.search(r"CMakeFiles/(\w+)\.dir/", entry.get("output", entry["command"]))
        stem = Path(entry["file"]).stem
        if match and stem.endswith("_test"):
            programs.setdefault(stem[:-len("_test")], set()).add(match.group(1))
    return programs


def own_programs(mutant, programs_by_source):
    """The test programs named after the mutated file (HXUrl_test for
    HXUrl_parse.cpp, url_forms_test for url_forms.cpp): a mutant they kill
    needs nothing else built or run."""
    stem = Path(mutant.path).stem
    return sorted({program for source, programs in programs_by_source.items()
                   if stem.startswith(source) or source.startswith(stem) for program in programs})


def tests_pass(commands, timeout, jobs):
    """Runs the test programs, `jobs` at a time; the first that fails or runs
    out of time stops the others."""
    waiting = list(commands)
    running = []  # (process, deadline)
    try:
        while waiting or running:
            while waiting and len(running) < jobs:
                command = waiting.pop(0)
                limit = timeout * 4 if command[0] == "ctest" else timeout
                process = subprocess.Popen(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL, start_new_session=True)
                running.append((process, time.monotonic() + limit))
            time.sleep(0.02)
            for process, deadline in list(running):
                status = process.poll()
                if status is None and time.monotonic() < deadline:
                    continue
                if status != 0:
                    return False
                running.remove((process, deadline))
        return True
    finally:
        for process, _ in running:
            kill_session(process.pid)
            process.wait()


GTEST_FAILURE = re.compile(r"^(.*?)(?::(\d+))?: Failure$")
# Lines of a failure that show values rather than the test's own message.
GTEST_DETAIL = re.compile(r"^(Expected|Value of|Actual|Which is|Failed|Death test|With diff|@@|[-+ ]|C\+\+ exception)")


def failed_assertions(program, timeout):
    """Runs one GoogleTest program whole; returns its failed assertions as
    "test|file:line|message", or "test|crash" / "test|timeout"."""
    with subprocess.Popen(program, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", start_new_session=True) as process:
        try:
            output, _ = process.communicate(timeout=timeout)
            status = process.returncode
        except subprocess.TimeoutExpired:
            kill_session(process.pid)  # death tests' children too, which hold the pipe
            output, _ = process.communicate()
            status = None
    found, test, failure = [], "?", None

    def close():
        if failure:
            message = " / ".join(line for line in failure[1] if line and not GTEST_DETAIL.match(line))
            found.append(f"{test}|{failure[0]}|{message[:200]}")

    for line in output.splitlines():
        match = GTEST_FAILURE.match(line)
        if match:
            close()
            failure = (f"{Path(match.group(1)).name}:{match.group(2) or 'exception'}", [])
        elif line.startswith("["):
            close()
            failure = None
            if line.startswith("[ RUN      ] "):
                test = line[13:].strip()
        elif failure:
            failure[1].append(line)
    close()
    if status is None or (status != 0 and not found):
        found.append(f"{test}|{'timeout' if status is None else 'crash'}|")
    return sorted(set(found))


def record_failures(mutant, build, commands, timeout, out):
    """The --failures mode for one applied mutant: the GoogleTest programs of
    `commands`, each run whole and verbose (its failures name their test)."""
    failures = []
    if run(build, BUILD_TIMEOUT) != 0:
        outcome = "no-compile"
    else:
        for program in (c[0] for c in commands if c[0] != "ctest"):
            failures += [f"{Path(program).name}|{f}" for f in failed_assertions([program], timeout)]
        outcome = "killed" if failures else "survived"
    out.write(json.dumps({"mutant": mutant.describe(), "outcome": outcome, "failures": failures}) + "\n")
    out.flush()
    return outcome


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--sample", type=int, default=300)
    parser.add_argument("--build-dir", default="build/mutants")
    parser.add_argument("--timeout", type=float, default=120, help="seconds for each test program")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="test programs run at once")
    parser.add_argument("--report", default=None, help="Markdown report (default: BUILD_DIR/mutants.md)")
    parser.add_argument("--list", action="store_true", help="list the sampled mutants and stop")
    parser.add_argument("--failures", default=None, help="JSON lines: the assertions each mutant makes fail")
    parser.add_argument("paths", nargs="*", help="only files under these paths")
    args = parser.parse_args()

    build_dir = (ROOT / args.build_dir).resolve()
    configure(build_dir)
    sources = [s for s in library_sources(build_dir) if not args.paths or s.startswith(tuple(args.paths))]
    sites = [site for source in sources for site in sites_in_file(source)]
    sample = random.Random(args.seed).sample(sites, min(args.sample, len(sites)))
    sample.sort(key=lambda m: (m.path, m.line, m.column, m.operator))
    print(f"mutants: {len(sample)} of {len(sites)} sites in {len(sources)} files, seed {args.seed}", flush=True)
    if args.list:
        for mutant in sample:
            print(mutant.describe())
        return 0

    build = ["cmake", "--build", str(build_dir)]
    if run(build, None) != 0:
        sys.exit("mutants: the unmutated sources do not build")
    commands = test_commands(build_dir, args.timeout)
    programs_by_source = test_programs_by_source(build_dir)
    if not tests_pass(commands, args.timeout, args.jobs):
        sys.exit("mutants: the tests fail without any mutant")

    outcomes = []
    started = time.monotonic()
    failures_out = open(args.failures, "a") if args.failures else None
    for index, mutant in enumerate(sample, start=1):
        original = apply(mutant)
        own = own_programs(mutant, programs_by_source)
        own_commands = [c for c in commands if Path(c[0]).name in own]
        try:
            if failures_out:
                outcome = record_failures(mutant, build, commands, args.timeout, failures_out)
            elif own and run(build + ["--target", *own], BUILD_TIMEOUT) != 0:
                outcome = "no-compile"
            elif own_commands and not tests_pass(own_commands, args.timeout, args.jobs):
                outcome = "killed"
            elif run(build, BUILD_TIMEOUT) != 0:
                outcome = "no-compile"
            elif tests_pass([c for c in commands if c not in own_commands], args.timeout,
                            args.jobs):
                outcome = "survived"
            else:
                outcome = "killed"
        finally:
            (ROOT / mutant.path).write_text(original)
        outcomes.append((mutant, outcome))
        print(f"[{index}/{len(sample)}] {outcome:10} {mutant.describe()}", flush=True)

    if failures_out:
        failures_out.close()
    run(build, None)  # leave the build matching the sources
    killed = sum(1 for _, o in outcomes if o == "killed")
    survived = [m for m, o in outcomes if o == "survived"]
    uncompiled = sum(1 for _, o in outcomes if o == "no-compile")
    rate = killed / (killed + len(survived)) if killed or survived else 0.0
    report = Path(args.report) if args.report else build_dir / "mutants.md"
    with report.open("w") as out:
        out.write(f"# Mutants: seed {args.seed}, sample {len(sample)} of {len(sites)} sites\n\n")
        out.write(f"- killed: {killed}\n- survived: {len(survived)}\n- did not compile: {uncompiled}\n")
        out.write(f"- kill rate (killed / compiled): {rate:.1%}\n")
        out.write(f"- time: {time.monotonic() - started:.0f} s\n\n## Survivors\n\n")
        for mutant in sorted(survived, key=lambda m: (m.path, m.line)):
            out.write(f"- {mutant.describe()}\n")
    print(f"mutants: killed {killed}, survived {len(survived)}, did not compile {uncompiled}, "
          f"kill rate {rate:.1%}; report {report}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
