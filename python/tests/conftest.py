# The tests run on the package in this checkout unless PYTHONPATH says otherwise.
import sys
from pathlib import Path

sys.path.insert(1, str(Path(__file__).resolve().parents[1]))
