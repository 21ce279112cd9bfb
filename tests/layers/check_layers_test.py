#!/usr/bin/env python3
"""The layer checker refuses each kind of wrong include, planted one at a time in a copy of
src/, and names the file; the untouched copy and a subfolder with a right include pass.

    check_layers_test.py CHECKER SRC QT_INCLUDE
"""
import os
import shutil
import subprocess
import sys
import tempfile

WIRING = "app/GuiDesktopWiring.h"
# (file under src/, text added to it, what the checker must print; "" means it must pass)
CASES = [
    ("files/OvdParser.cpp", "", ""),
    ("files/OvdParser.cpp", f'#include "../{WIRING}"',
     f"src/files/OvdParser.cpp: ../{WIRING} (a layer that may not be included from here)"),
    ("files/OvdParser.cpp", f"#include <{WIRING}>",
     f"src/files/OvdParser.cpp: {WIRING} (a layer that may not be included from here)"),
    ("files/OvdParser.cpp", f'#include "kernel/../{WIRING}"',
     f"src/files/OvdParser.cpp: kernel/../{WIRING} (a layer that may not be included"),
    ("files/OvdParser.cpp", f'#define WIRING "{WIRING}"\n#include WIRING',
     "src/files/OvdParser.cpp: WIRING (an include through a macro, which cannot be checked)"),
    ("Stray.cpp", '#include "kernel/Text.h"',
     "src/Stray.cpp lies directly in src/, in no layer"),
    ("results/PaintHeatMap.cpp", "#include <QWidget>",
     "src/results/PaintHeatMap.cpp: QWidget (a drawing file includes a QtWidgets header)"),
    ("files/OvdParser.cpp", '#include "ui/GuiDialogs.h"',
     "src/files/OvdParser.cpp: ui/GuiDialogs.h (a core file includes a desktop header)"),
    ("measurement/RunJournal.cpp", '#include "results/PaintHeatMap.h"',
     "src/measurement/RunJournal.cpp: results/PaintHeatMap.h (a core file includes a drawing"),
    ("results/sub/Helper.h", '#include "kernel/Text.h"', ""),
    ("results/sub/Helper.h", '#include "measurement/RunJournal.h"',
     "src/results/sub/Helper.h: measurement/RunJournal.h (a layer that may not be included"),
]


def run_case(checker, src, qt_include, case):
    planted_in, text, expected = case
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "src")
        shutil.copytree(src, copy)
        path = os.path.join(copy, planted_in)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "a", encoding="utf-8") as f:
            f.write("\n" + text + "\n")
        done = subprocess.run([sys.executable, checker, "--src", copy, "--qt-include", qt_include],
                              capture_output=True, text=True)
    passed = done.returncode == 0 and done.stdout == ""
    if done.stderr or (passed if expected else not passed) or expected not in done.stdout:
        return f"{planted_in} + {text!r}: exit {done.returncode}\n{done.stdout}{done.stderr}"
    return None


def main():
    checker, src, qt_include = sys.argv[1:4]
    failures = [f for f in (run_case(checker, src, qt_include, c) for c in CASES) if f]
    for f in failures:
        print("FAILED:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
