# Control laws written in Python, in place of a mode's plug-in function.
import numpy as np
import pytest

import korvex

GOAL_DEG = [10, 20, 30, 0, 0, 0]


def pd(s):
    """Computed-torque PD towards the goal the console stored in qd."""
    return s.A @ (400 * (s.qd - s.q) - 40 * s.dq) + s.B + s.G


def test_a_python_pd_law_reaches_the_goal_and_none_gives_the_plugin_back(sim):
    calls = []

    def law(s):
        calls.append(s.curTime)
        return pd(s)

    sim.set_law("jgoto", law)
    assert sim.laws == ["jgoto"]
    sim.command("jgoto " + " ".join(map(str, GOAL_DEG)))
    r = sim.run(1.5)
    assert len(calls) == 750 and calls[0] == pytest.approx(r["t"][0])
    assert np.allclose(r["q"][-1], np.radians(GOAL_DEG), atol=np.radians(0.1))
    # tau is the record's after the plug-in's postprocessing and the limits.
    assert np.array_equal(r["tau"][-1], sim.state.tau)

    sim.set_law("jgoto", None)
    assert sim.laws == []
    with korvex.Sim() as reference:
        for s in (sim, reference):
            s.command("jgoto 0 0 0 0 0 0")
        # Same plug-in law from here on: the plug-in's own torques, not the PD's.
        mine, theirs = sim.run(0.2)["tau"], reference.run(0.2)["tau"]
        assert not np.allclose(mine[0], pd(sim.state))
        assert np.isfinite(mine).all() and np.isfinite(theirs).all()


def test_the_law_runs_only_in_its_mode(sim):
    calls = []
    sim.set_law("jhold", lambda s: calls.append(1) or s.G)
    sim.run(0.1)
    assert calls == []
    sim.command("jhold")
    sim.run(0.1)
    assert len(calls) == 50
    sim.set_law(3, None)  # by number too
    assert sim.laws == []


@pytest.mark.parametrize(
    "law, reason",
    [
        (lambda s: 1 / 0, "it raised ZeroDivisionError"),
        (lambda s: np.zeros(3), "it returned torques of shape (3,) where (6,) was expected"),
        (lambda s: np.zeros((6, 1)), "it returned torques of shape (6, 1) where (6,) was expected"),
        (lambda s: np.full(6, np.nan), "it returned a torque that is not finite (joint 1: nan)"),
        (lambda s: np.full(6, 1e300), "it returned a torque that is not finite (joint 1: 1e+300)"),
        (lambda s: "torques", "it returned str, not an array of numbers"),
        (lambda s: None, "it returned NoneType, not an array of numbers"),
    ],
)
def test_a_failing_law_is_stopped_and_the_arm_floats(sim, capsys, law, reason):
    sim.command("jgoto 10 20 30 0 0 0")
    sim.run(0.2)
    sim.set_law("jgoto", law)
    r = sim.run(0.5)  # the run goes on to its end
    err = capsys.readouterr().err
    assert "korvex: the Python law for jgoto is stopped: " + reason + "; the arm floats." in err
    if "raised" in reason:
        assert "Traceback" in err and "ZeroDivisionError: division by zero" in err
    assert sim.laws == []
    assert sim.command("pcmode") == "cmode=1\n"
    assert r["q"].shape == (250, 6) and np.isfinite(r["tau"]).all()


def test_a_law_cannot_drive_the_simulator_or_keep_its_state(sim, capsys):
    kept = []

    def law(s):
        kept.append(s)
        if len(kept) == 3:
            sim.command("pjpos")
        return s.G

    sim.set_law("float", law)
    sim.run(0.1)
    assert "cannot be used from inside a control law" in capsys.readouterr().err
    assert len(kept) == 3 and sim.laws == []
    with pytest.raises(RuntimeError, match="tick that has ended"):
        kept[0].q
