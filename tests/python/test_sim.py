# korvex.Sim as a notebook uses it: commands, runs, the state record.
import numpy as np
import pytest

import korvex


def test_starts_as_the_console_does(sim):
    s = sim.state
    assert s.dof == 6
    assert s.curTime == 0  # nothing ticks until asked to
    assert sim.command("pcmode") == "cmode=1\n"
    assert sim.command("pjpos") == "q = (0.000000 0.000000 0.000000 0.000000 0.000000 0.000000)\n"
    assert sim.command("jgoto 10 20 30 0 0 0") == ""  # accepted, prints nothing
    assert sim.command("   ") == ""


def test_run_gives_one_row_per_tick_in_si_units(sim):
    sim.command("jgoto 10 20 30 0 0 0")
    r = sim.run(1.5)
    assert sorted(r) == ["dq", "dx", "q", "qd", "t", "tau", "x", "xd"]
    assert r["t"].shape == (750,)
    assert np.allclose(np.diff(r["t"]), 0.002, atol=1e-6)
    for key, width in [("q", 6), ("dq", 6), ("qd", 6), ("tau", 6), ("x", 7), ("dx", 6), ("xd", 7)]:
        assert r[key].shape == (750, width), key
    assert np.allclose(r["qd"][-1], np.radians([10, 20, 30, 0, 0, 0]), atol=1e-6)
    assert np.allclose(r["q"][-1], np.radians([10, 20, 30, 0, 0, 0]), atol=np.radians(0.2))
    # The next run goes on where this one ended; a zero run is empty.
    assert sim.run(0.01)["t"][0] == pytest.approx(r["t"][-1] + 0.002)
    assert sim.run(0)["q"].shape == (0, 6)


def test_state_fields_have_the_records_shapes(sim):
    sim.command("setobstacle 4 0.5 0.1 0.2 0.05")
    sim.command("setline 0 0 0.3 0.5 0 0.3")
    sim.command("goto 0.5 0.1 0.3 1 0 0 0")
    sim.run(2.0)
    s = sim.state
    assert s.J.shape == (6, 6) and s.A.shape == (6, 6) and s.Lambda.shape == (6, 6)
    assert s.E.shape == (7, 6) and s.Einv.shape == (6, 7)
    assert s.x.shape == (7,) and s.forces.shape == (6,)
    assert np.allclose(s.dx, s.J @ s.dq, atol=1e-4)
    # T is the tool frame: its translation is x's position, its rotation orthonormal.
    assert s.T.shape == (4, 4)
    assert np.allclose(s.T[:3, 3], s.x[:3], atol=1e-6)
    assert np.allclose(s.T[:3, :3] @ s.T[:3, :3].T, np.eye(3), atol=1e-5)
    assert s.x[:3] == pytest.approx([0.5, 0.1, 0.3], abs=2e-3)
    (oid, centre, radius), = s.obstacles
    assert oid == 4 and np.allclose(centre, [0.5, 0.1, 0.2]) and radius == pytest.approx(0.05)
    assert np.allclose(s.line["direction"], [1, 0, 0]) and np.allclose(s.line["p1"], [0, 0, 0.3])
    assert len(s.kpTable) == 24 and set(s.as_dict()) == set(korvex.State.fields)
    # A snapshot: it keeps its values while the simulator goes on.
    before = s.q
    sim.run(0.1)
    assert np.array_equal(s.q, before)


def test_robot_type_and_settings_through_commands():
    with korvex.Sim(robot_type=0) as one:
        assert one.state.dof == 1
        assert one.command("pcmode") == "cmode=1\n"
        one.command("jgoto 30")
        assert one.run(1.0)["q"].shape == (500, 1)
    with korvex.Sim() as sim:
        sim.command("robottype 1")
        assert sim.state.dof == 3
        sim.command("kp 10 50 60 70")
        sim.run(0.01)
        assert np.allclose(sim.state.kpTable[10], [50, 60, 70])


def test_same_commands_same_rows():
    def session():
        with korvex.Sim() as sim:
            sim.command("jgoto 10 -20 30 5 0 0")
            a = sim.run(0.5)
            sim.command("goto 0.4 0.2 0.4 1 0 0 0")
            b = sim.run(0.5)
            return a, b

    first, second = session(), session()
    for x, y in zip(first, second):
        for key in x:
            assert np.array_equal(x[key], y[key]), key


def test_simulators_side_by_side_keep_apart():
    # Each has its own plug-in copy, text and session.
    with korvex.Sim() as a, korvex.Sim() as b:
        a.command("jgoto 10 20 30 0 0 0")
        b.command("jgoto -10 0 40 0 0 0")
        for _ in range(8):
            qa = a.run(0.2)["q"]
            qb = b.run(0.2)["q"]
        assert a.command("pcmode") == "cmode=10\n"
        b.command("float")
        assert a.command("pcmode") == "cmode=10\n" and b.command("pcmode") == "cmode=1\n"
        assert np.allclose(qa[-1][:3], np.radians([10, 20, 30]), atol=0.02)
        assert np.allclose(qb[-1][:3], np.radians([-10, 0, 40]), atol=0.02)


def test_scripts_load_and_wait_in_simulated_time(sim, tmp_path):
    script = tmp_path / "s.txt"
    script.write_text("jgoto 10 20 30 0 0 0\nwait 1000\npcurtime\n")
    printed = sim.command("load " + str(script))
    assert "Waiting for 1.0 seconds...Done\n" in printed
    assert sim.state.curTime == pytest.approx(1.0, abs=1e-4)


def test_gather_file_from_a_command_holds_the_runs_rows(sim, tmp_path):
    path = tmp_path / "g.mat"
    sim.command("startgather " + str(path))
    sim.command("jgoto 10 20 30 0 0 0")
    r = sim.run(0.4)
    sim.command("stopgather")
    rows = np.loadtxt(path)
    assert rows.shape == (200, 1 + 6 * 3 + 7 + 6 + 7)
    assert np.allclose(rows[:, 0], r["t"], atol=1e-6)
    assert np.allclose(rows[:, 1:7], r["q"], atol=1e-6)
