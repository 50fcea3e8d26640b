#!/usr/bin/env python3
"""Mutation check of the test suite.

Applies each fault of mutants.tsv alone to the source tree, rebuilds the tests of the fault's
layer incrementally, runs them and records whether they fail (the mutant is killed). The file is
restored after every mutant, also when the run is interrupted.

    tools/mutation/mutate.py --build build [--layer app] [--only TEXT] [--out result.tsv]
"""
import argparse
import pathlib
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
TABLE = pathlib.Path(__file__).with_name("mutants.tsv")

# For each layer: the targets to build and the test programs (file name patterns) to run.
# A fault in a lower layer is affected by the tests of the layers above it too; the GUI tests
# are left out below the GUI for their run time.
GUI = (["gui_tests", "quorvel"], ["gui_tests", "gui_*_tests"])
CLI = (["cli_tests", "quorvel-render"], ["cli_tests"])
FILES = (["files_tests"] + CLI[0], ["files_tests"] + CLI[1])
SUITES = {
    "engine": (["engine_tests", "engine_robustness_tests"] + FILES[0],
               ["engine_tests", "engine_robustness_tests"] + FILES[1]),
    "files": FILES,
    "cli": CLI,
    "document": GUI,
    "app": GUI,
    "panels": GUI,
    "library": GUI,
}


def mutants():
    for number, line in enumerate(TABLE.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 5:
            sys.exit(f"{TABLE.name}:{number}: expected 5 tab-separated fields")
        yield dict(zip(("layer", "file", "original", "mutated", "fault"), fields))


def find_programs(build, patterns):
    found = []
    for pattern in patterns:
        found += [p for p in sorted(build.glob(f"tests/**/{pattern}")) if p.is_file()]
    return found


def run_suite(build, layer):
    targets, patterns = SUITES[layer]
    built = subprocess.run(["cmake", "--build", str(build), "--target", *targets],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if built.returncode != 0:
        return "does not build"
    for program in find_programs(build, patterns):
        try:
            ran = subprocess.run([str(program), "--gtest_brief=1"], cwd=program.parent,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 timeout=900)
        except subprocess.TimeoutExpired:
            return f"killed ({program.name} timed out)"
        if ran.returncode != 0:
            return f"killed ({program.name})"
    return "survived"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=pathlib.Path, required=True)
    parser.add_argument("--layer", action="append", help="only these layers")
    parser.add_argument("--only", help="only the faults whose description contains this")
    parser.add_argument("--out", type=pathlib.Path, default=pathlib.Path("mutants-result.tsv"))
    args = parser.parse_args()
    build = args.build.resolve()
    # A terminated run still restores the mutated file (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))

    chosen = [m for m in mutants() if (not args.layer or m["layer"] in args.layer)
              and (not args.only or args.only in m["fault"])]
    for m in chosen:
        text = (ROOT / m["file"]).read_text()
        if text.count(m["original"]) != 1:
            sys.exit(f"{m['file']}: the original text of '{m['fault']}' is not there exactly once")

    print("checking the unmutated suite...", flush=True)
    for layer in sorted({m["layer"] for m in chosen}):
        if run_suite(build, layer) != "survived":
            sys.exit(f"the {layer} tests fail without any mutant; fix them first")

    with args.out.open("w") as out:
        out.write("layer\tfile\tfault\tresult\tseconds\n")
        for m in chosen:
            path = ROOT / m["file"]
            original = path.read_text()
            started = time.monotonic()
            try:
                path.write_text(original.replace(m["original"], m["mutated"]))
                result = run_suite(build, m["layer"])
            finally:
                path.write_text(original)
            seconds = time.monotonic() - started
            row = f"{m['layer']}\t{m['file']}\t{m['fault']}\t{result}\t{seconds:.0f}"
            print(row, flush=True)
            out.write(row + "\n")
            out.flush()
    # Leaves the build matching the restored sources.
    subprocess.run(["cmake", "--build", str(build)], stdout=subprocess.DEVNULL)
    summarise(args.out)


def summarise(path):
    rows = [line.split("\t") for line in path.read_text().splitlines()[1:]]
    print("\nlayer\tkilled/total")
    for layer in SUITES:
        mine = [r for r in rows if r[0] == layer]
        if mine:
            killed = sum(1 for r in mine if r[3] != "survived")
            print(f"{layer}\t{killed}/{len(mine)}")
    for r in rows:
        if r[3] == "survived":
            print(f"survived: {r[0]}: {r[2]} ({r[1]})")


if __name__ == "__main__":
    main()
