"""The KORVEX Simulator from Python: a headless, deterministic servo with the
real console's command language, runs returned as numpy arrays, and control
laws written in Python.

    import korvex
    sim = korvex.Sim()                      # robot type 3, the reference control.dll
    sim.command("jgoto 10 20 30 0 0 0")     # what the console printed; refused: CommandError
    run = sim.run(2.0)                      # dict of arrays, one row per 2 ms tick
    sim.state.q                             # the state record's fields as numpy arrays

Angles typed in commands are degrees, as at the console; everything the
module returns is in radians, metres, seconds and N·m.
"""
import os as _os

from . import _korvex

_korvex._set_data_directory(_os.path.dirname(_os.path.abspath(__file__)))

State = _korvex.State

__all__ = ["Sim", "State", "CommandError"]


class CommandError(Exception):
    """A command line the console refused.

    text: the console's error text; line: the command line; output: all that
    the console printed for it (the error line included).
    """

    def __init__(self, text, line, output):
        super().__init__(text)
        self.text = text
        self.line = line
        self.output = output


class Sim(_korvex._Sim):
    """A headless simulator that ticks only when asked to.

    robot_type: 0 to 6, as the console's robottype (3: six joints with a
    quaternion). plugin: path of a control.dll; None for the reference one.
    Each Sim has its own copy of the plug-in. Runs are deterministic: the same
    commands and runs give the same rows as `korvex --no-gui --fast` given the
    same commands with `wait` between them.
    """

    def __init__(self, robot_type=3, plugin=None):
        super().__init__(robot_type, plugin)

    def command(self, line):
        """Runs console command lines (several when separated by newlines) and
        returns what they printed. The first refused line raises CommandError;
        the lines after it are not run."""
        printed = []
        for one in str(line).splitlines() or [""]:
            ok, output, error = self._command(one)
            printed.append(output)
            if not ok:
                raise CommandError(error or "Error", one, "".join(printed))
        return "".join(printed)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __repr__(self):
        if self.closed:
            return "<korvex.Sim closed>"
        s = self.state
        return "<korvex.Sim dof=%d t=%.3f s>" % (s.dof, s.curTime)
