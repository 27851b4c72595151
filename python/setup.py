# Everything is declared in setup.cfg; this file lets pip build with the
# setuptools already installed.
from setuptools import setup

setup()
