#!/usr/bin/env python3
"""Per-tick cost of a control law written in Python.

    PYTHONPATH=build/python python3 bench/python/law_cost.py [SECONDS]

Times each tick of sim.run() from inside the law (the interval between two
calls is one whole tick: servo, plug-in pre/postprocessing, arm step and the
law) and the same run with the plug-in's own law, then prints the median and
99th percentile per tick and what the Python law adds.
"""
import sys
import time

import numpy as np

import korvex


def pd(s):
    return s.A @ (400 * (s.qd - s.q) - 40 * s.dq) + s.B + s.G


def tick_times(law, seconds):
    sim = korvex.Sim()
    stamps = []
    def timed(s):
        stamps.append(time.perf_counter_ns())
        return law(s)

    sim.set_law("jgoto", timed)
    sim.command("jgoto 20 -40 150 10 40 10")
    start = time.perf_counter()
    sim.run(seconds)
    total = time.perf_counter() - start
    return np.diff(np.array(stamps))[50:] / 1000.0, total


def bare_run(seconds):
    sim = korvex.Sim()
    sim.command("jgoto 20 -40 150 10 40 10")
    start = time.perf_counter()
    sim.run(seconds)
    return time.perf_counter() - start


def main(seconds):
    ticks = int(seconds * 500)
    bare = bare_run(seconds)
    with_zero, total_zero = tick_times(lambda s: np.zeros(6), seconds)
    with_pd, total_pd = tick_times(pd, seconds)
    print("korvex Python law cost, %d ticks per run" % ticks)
    print("  plug-in jgoto:        %6.1f us/tick mean (sim.run of %g s in %.3f s)" % (bare / ticks * 1e6, seconds, bare))
    for name, times, total in (("law returning zeros", with_zero, total_zero), ("Python PD law", with_pd, total_pd)):
        print("  %-21s %6.1f us/tick median, %6.1f p99, %6.1f mean; adds %.1f us/tick to the plug-in run"
              % (name + ":", np.median(times), np.percentile(times, 99), total / ticks * 1e6,
                 (total - bare) / ticks * 1e6))


if __name__ == "__main__":
    main(float(sys.argv[1]) if len(sys.argv) > 1 else 10.0)
