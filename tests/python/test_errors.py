# What korvex refuses, and how it says so.
import pytest

import korvex


@pytest.mark.parametrize(
    "line, text",
    [
        ("jgot 1 2", "Bad user command 'jgot'"),
        ("jgoto 1 2", "Error: expected 6 arguments."),
        ("jgoto 400 0 0 0 0 0", "Error: joint limits exceeded."),
        ("vmax fast", "Error in arguments; expected 1 arg"),
        ("goto 1 2 3", "Error: expected 7 arguments."),
        ("startgather", "Call to StartGather must specify filename."),
    ],
)
def test_refused_commands_raise_with_the_consoles_text(sim, line, text):
    with pytest.raises(korvex.CommandError) as info:
        sim.command(line)
    assert info.value.text == text and str(info.value) == text
    assert info.value.line == line
    assert info.value.output.startswith(text + "\n")


def test_a_refused_line_changes_nothing_and_stops_the_lines_after_it(sim):
    with pytest.raises(korvex.CommandError) as info:
        sim.command("jgoto 400 0 0 0 0 0")
    assert "joint 0 pos = 400.000000" in info.value.output
    with pytest.raises(korvex.CommandError):
        sim.command("float\njgot\njgoto 10 0 0 0 0 0")
    assert sim.command("pcmode") == "cmode=1\n"
    sim.command("jlimit")  # with the joint limits off the same line goes through
    sim.command("jgoto 400 0 0 0 0 0")
    assert sim.command("pcmode") == "cmode=10\n"


def test_bad_arguments_to_the_module():
    with pytest.raises(ValueError, match="robot types are 0 to 6"):
        korvex.Sim(robot_type=7)
    with pytest.raises(ValueError, match="cannot load the control plug-in /nonexistent/control.dll"):
        korvex.Sim(plugin="/nonexistent/control.dll")
    with korvex.Sim() as sim:
        for seconds in (-1, float("nan"), float("inf")):
            with pytest.raises(ValueError):
                sim.run(seconds)
        with pytest.raises(ValueError, match="unknown control mode 'jgo'"):
            sim.set_law("jgo", lambda s: s.G)
        with pytest.raises(ValueError):
            sim.set_law(24, lambda s: s.G)
        with pytest.raises(TypeError):
            sim.set_law("float", 3)


def test_after_quit_and_close_the_simulator_says_so():
    sim = korvex.Sim()
    assert "Session ended." in sim.command("quit")
    with pytest.raises(RuntimeError, match="session has ended"):
        sim.command("pjpos")
    with pytest.raises(RuntimeError, match="session has ended"):
        sim.run(1)
    # Other simulators are not ended with it.
    with korvex.Sim() as other:
        other.command("jgoto 10 0 0 0 0 0")
        assert other.run(0.1)["q"].shape == (50, 6)
    sim.close()
    assert sim.closed
    with pytest.raises(RuntimeError, match="closed"):
        sim.state
