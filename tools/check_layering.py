#!/usr/bin/env python3
"""Checks the module's direction of dependence: each subsystem includes only its own and
lower subsystems, no two units depend on each other (directly or round a loop), the suite
never includes the module, exported headers include no private one, and only the command
units include tcl.h."""
import re
import subprocess
import sys
from pathlib import Path

ORDER = ["record", "support", "report", "discovery", "analysis", "regen", "manager", "tcl"]
PRIVATE = re.compile(r'^#include "(%s)/(ipman_\w+)\.h"' % "|".join(ORDER), re.M)
ROOT = Path(__file__).resolve().parent.parent


def tracked(*patterns):
    listing = subprocess.run(["git", "ls-files", *patterns], cwd=ROOT, capture_output=True, text=True, check=True)
    return [ROOT / name for name in listing.stdout.split()]


def unit_of(path):
    return f"{path.parent.name}/{path.stem}"


def find_loop(graph):
    state = {}

    def visit(unit, trail):
        state[unit] = "open"
        for used in sorted(graph.get(unit, ())):
            if state.get(used) == "open":
                return trail[trail.index(used):] + [used]
            if used not in state:
                loop = visit(used, trail + [used])
                if loop:
                    return loop
        state[unit] = "done"
        return None

    for unit in sorted(graph):
        if unit not in state:
            loop = visit(unit, [unit])
            if loop:
                return loop
    return None


def main():
    problems = []
    graph = {}
    for path in tracked("ipman/*.cpp", "ipman/*.h"):
        text = path.read_text(errors="replace")
        own = path.parent.name
        unit = unit_of(path)
        for sub, name in PRIVATE.findall(text):
            if ORDER.index(sub) > ORDER.index(own):
                problems.append(f"{path.relative_to(ROOT)}: {own} includes {sub}/{name}.h")
            if f"{sub}/{name}" != unit:
                graph.setdefault(unit, set()).add(f"{sub}/{name}")
        if "#include <tcl.h>" in text and own != "tcl":
            problems.append(f"{path.relative_to(ROOT)}: includes tcl.h outside the command units")
    loop = find_loop(graph)
    if loop:
        problems.append("units depend on each other: " + " -> ".join(loop))
    module = re.compile(r'#include [<"](ipman/|(%s)/ipman_)' % "|".join(ORDER))
    for path in tracked("suite/*.cpp", "suite/*.h"):
        if module.search(path.read_text(errors="replace")):
            problems.append(f"{path.relative_to(ROOT)}: the suite includes the module")
    for path in tracked("include/ipman/*.h"):
        if PRIVATE.search(path.read_text(errors="replace")):
            problems.append(f"{path.relative_to(ROOT)}: an exported header includes a private one")
    for problem in problems:
        print(problem)
    if not problems:
        print(f"layering: {sum(len(used) for used in graph.values())} unit dependences, all downward or "
              "within a subsystem, no loops")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
