#!/usr/bin/env python3
"""A jgoto, then a goto, drawn with matplotlib; then a PD law written in Python
set against the reference plug-in's jgoto.

    PYTHONPATH=build/python python3 examples/python/jgoto_goto.py [OUT.png]

Writes OUT.png (default korvex_example.png in the working directory).
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import korvex

GOAL = "jgoto 20 -40 150 10 40 10"  # degrees, as typed at the console
TOOL_TARGET = (0.45, 0.25, 0.35)  # m, base frame


def pd(state):
    """Computed-torque PD on the goal the console stored in qd (radians)."""
    kp, kv = 100.0, 20.0  # critically damped at 10 rad/s, no speed limit
    return state.A @ (kp * (state.qd - state.q) - kv * state.dq) + state.B + state.G


def main(out):
    sim = korvex.Sim()
    sim.command(GOAL)
    a = sim.run(4.0)  # the reference jgoto keeps every joint within dqmax (45 deg/s)
    # goto takes a position (m) and a unit quaternion: keep the tool's orientation.
    w, x, y, z = sim.state.x[3:]
    sim.command("goto %g %g %g %g %g %g %g" % (TOOL_TARGET + (w, x, y, z)))
    b = sim.run(5.0)  # a straight line within vmax
    t = np.concatenate([a["t"], b["t"]])
    q = np.degrees(np.concatenate([a["q"], b["q"]]))
    tool = np.concatenate([a["x"][:, :3], b["x"][:, :3]])

    # The same jgoto twice from the start: the plug-in's law and the Python PD.
    reference = korvex.Sim()
    reference.command(GOAL)
    ref = reference.run(5.0)
    mine = korvex.Sim()
    mine.set_law("jgoto", pd)
    mine.command(GOAL)
    own = mine.run(5.0)

    fig, ((ax_q, ax_xy), (ax_cmp, ax_err)) = plt.subplots(2, 2, figsize=(12, 8.5))
    for j in range(q.shape[1]):
        ax_q.plot(t, q[:, j], label="q%d" % (j + 1))
    ax_q.axvline(b["t"][0], color="grey", linestyle=":")
    ax_q.set(title="jgoto, then goto (dotted: goto given)", xlabel="time (s)", ylabel="joint angle (deg)")
    ax_q.legend(ncol=3, fontsize="small")

    ax_xy.plot(tool[: len(a["t"]), 0], tool[: len(a["t"]), 1], label="during jgoto")
    ax_xy.plot(tool[len(a["t"]):, 0], tool[len(a["t"]):, 1], label="during goto")
    ax_xy.plot([TOOL_TARGET[0]], [TOOL_TARGET[1]], "k+", markersize=14, label="goto target")
    ax_xy.set(title="tool path seen from above", xlabel="x (m)", ylabel="y (m)")
    ax_xy.axis("equal")
    ax_xy.legend(fontsize="small")

    for j, colour in ((1, "tab:orange"), (2, "tab:green")):
        ax_cmp.plot(ref["t"], np.degrees(ref["q"][:, j]), color=colour, label="q%d plug-in jgoto" % (j + 1))
        ax_cmp.plot(own["t"], np.degrees(own["q"][:, j]), "--", color=colour, label="q%d Python PD" % (j + 1))
    ax_cmp.set(title="jgoto: reference law vs. a PD written in Python", xlabel="time (s)",
               ylabel="joint angle (deg)")
    ax_cmp.legend(fontsize="small")

    goal = own["qd"][-1]
    ax_err.semilogy(ref["t"], np.degrees(np.abs(ref["q"] - goal).max(axis=1)) + 1e-6, label="plug-in jgoto")
    ax_err.semilogy(own["t"], np.degrees(np.abs(own["q"] - goal).max(axis=1)) + 1e-6, label="Python PD")
    ax_err.set(title="largest joint error", xlabel="time (s)", ylabel="deg")
    ax_err.legend(fontsize="small")

    fig.tight_layout()
    fig.savefig(out, dpi=90)
    peak = lambda r: np.degrees(np.abs(r["dq"]).max())
    print("wrote %s" % out)
    print("tool after goto: %s m (target %s)" % (np.round(b["x"][-1, :3], 4), TOOL_TARGET))
    print("final error: plug-in %.3f deg, Python PD %.3f deg; fastest joint: plug-in %.0f deg/s, PD %.0f deg/s"
          % (np.degrees(np.abs(ref["q"][-1] - goal).max()), np.degrees(np.abs(own["q"][-1] - goal).max()),
             peak(ref), peak(own)))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "korvex_example.png")
