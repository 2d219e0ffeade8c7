"""pytest fixtures of the end-to-end tests; the machinery is in harness.py."""
from __future__ import annotations

import re
import shutil
import tempfile
from pathlib import Path

import pytest

import harness
from harness import ARTIFACTS, ProgramFolder, UiError, Wine, free_port, make_ui, wait_for  # noqa: F401


@pytest.hookimpl(tryfirst=True, hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    rep = outcome.get_result()
    setattr(item, "rep_" + rep.when, rep)


@pytest.fixture(scope="session")
def _run_dir():
    base = Path(tempfile.mkdtemp(prefix="halvik-e2e-"))
    base.chmod(0o755)
    yield base
    shutil.rmtree(base, ignore_errors=True)


@pytest.fixture(scope="session")
def _wine_session(_run_dir):
    wine = Wine(_run_dir / "wine")
    try:
        wine.boot()
        yield wine
    finally:
        wine.shutdown()


@pytest.fixture
def wine(_wine_session, request):
    """The run's Wine; every program the test left running is ended after it."""
    yield _wine_session
    failed = getattr(request.node, "rep_call", None) is not None and request.node.rep_call.failed
    if failed:
        _keep_artifacts(request.node.name, _wine_session, request)
    _wine_session.end_programs()
    _wine_session.program_logs()


def _keep_artifacts(test_name: str, wine: Wine, request) -> None:
    where = ARTIFACTS / re.sub(r"[^\w.-]+", "_", test_name)
    shutil.rmtree(where, ignore_errors=True)
    where.mkdir(parents=True, exist_ok=True)
    wine.screenshot(where / "screen.png")
    # Which programs were still running when the test failed, and how the others ended.
    (where / "programs.txt").write_text("".join(
        f"{' '.join(map(str, proc.args))}: {'running' if proc.poll() is None else f'ended {proc.returncode}'}\n"
        for proc in wine.tracked()), "utf-8")
    for name, log in wine.program_logs():
        if log.exists():
            shutil.copy2(log, where / log.name)
    folder = request.node.funcargs.get("progdir")
    if isinstance(folder, ProgramFolder):
        for f in folder.path.iterdir():
            if f.is_file() and f.suffix.lower() in (".log", ".txt", ".bin", ".ini"):
                shutil.copy2(f, where / f.name)


@pytest.fixture
def progdir(wine, _run_dir, request) -> ProgramFolder:
    """A scratch program folder for this test."""
    name = re.sub(r"[^\w.-]+", "_", request.node.name)
    path = _run_dir / "tests" / name / "prog"
    shutil.rmtree(path, ignore_errors=True)
    return ProgramFolder(path, wine)


@pytest.fixture
def ui(wine):
    """The UI driver under Wine: ui(verb, *options) -> its UTF-8 output."""
    return make_ui(wine)
