"""The module installs as Python users install a local package, offline,
with Debian's setuptools (no download of a build backend), and the installed
copy has the tables it shares with the other hosts as files of its own."""

import os
import subprocess
import sys

from conftest import ROOT


def test_pip_installs_the_folder_offline(tmp_path):
    target = tmp_path / "site"
    subprocess.run([sys.executable, "-m", "pip", "install", "--quiet", "--no-index",
                    "--no-deps", "--target", str(target), str(ROOT / "python")], check=True)
    for table in ("css_colors.inc", "result_meanings.inc"):
        assert not (target / "textraster" / table).is_symlink()
    script = ("import textraster; assert textraster.__file__.startswith(%r); "
              "print(textraster.render('x', fit=True, text_color='navy').shape)" % str(target))
    done = subprocess.run([sys.executable, "-c", script], env={**os.environ, "PYTHONPATH": str(target)},
                          cwd=tmp_path, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
