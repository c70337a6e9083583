# A korvex.Sim run is the --fast console's run of the same commands, row for row.
import subprocess

import numpy as np

import korvex

COMMANDS = [
    ("jgoto 10 20 30 0 0 0", 1.0),
    ("setobstacle 1 0.5 0.2 0.3 0.05", 0),
    ("goto 0.5 0.1 0.3 1 0 0 0", 1.5),
    ("pfmove 0.45 0.15 0.35 1 0 0 0", 0.5),
]
GATHERED = ("q", "dq", "qd", "x", "dx", "xd")


def gather_text(runs):
    lines = []
    for r in runs:
        for i in range(len(r["t"])):
            values = np.concatenate([[r["t"][i]]] + [r[k][i] for k in GATHERED])
            lines.append("".join("%f\t" % v for v in values) + "\n")
    return "".join(lines)


def test_rows_match_the_fast_consoles_gather_file(run_dir, tmp_path):
    script = ["startgather " + str(tmp_path / "console.mat")]
    for line, seconds in COMMANDS:
        script.append(line)
        if seconds:
            script.append("wait %d" % (seconds * 1000))
    script.append("stopgather")
    (tmp_path / "s.txt").write_text("\n".join(script) + "\n")
    subprocess.run(["./korvex", "--no-gui", "--fast", "--script", str(tmp_path / "s.txt")],
                   cwd=run_dir, stdin=subprocess.DEVNULL, capture_output=True, timeout=120, check=True)
    console = (tmp_path / "console.mat").read_text()

    with korvex.Sim() as sim:
        runs = []
        for line, seconds in COMMANDS:
            sim.command(line)
            if seconds:
                runs.append(sim.run(seconds))
    assert console.count("\n") == 1500
    assert gather_text(runs) == console
