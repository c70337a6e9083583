# The module under test is build/python/korvex (PYTHONPATH set by ctest).
import os

import pytest

import korvex


@pytest.fixture
def sim():
    with korvex.Sim() as s:
        yield s


@pytest.fixture
def run_dir():
    """The program's run directory (korvex, control.dll, puma560.prm)."""
    path = os.environ.get("KORVEX_RUN_DIR")
    if not path:
        pytest.skip("KORVEX_RUN_DIR is not set (ctest sets it)")
    return path
