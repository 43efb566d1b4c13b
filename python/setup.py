"""Bundles the shared library into the package when KLEM_LIBRARY names one
at install time, so the installed package finds it beside itself:

    KLEM_LIBRARY=$PWD/build/libklem.so.5 venv/bin/pip install --no-build-isolation ./python

Without it the package looks for KLEM_LIBRARY, then the system's library
path, when imported."""
import os
import shutil

from setuptools import setup
from setuptools.command.build_py import build_py


class BuildWithLibrary(build_py):
    def run(self):
        super().run()
        library = os.environ.get("KLEM_LIBRARY")
        bundled = os.path.join(self.build_lib, "klem", "libklem.so.5")
        if os.path.exists(bundled) and not library:
            os.remove(bundled)  # left by an earlier build that bundled one
        if library:
            if not os.path.isfile(library):
                raise SystemExit(f"KLEM_LIBRARY={library} is no file")
            shutil.copyfile(os.path.realpath(library), bundled)


setup(cmdclass={"build_py": BuildWithLibrary})
