# The package of this checkout, when PYTHONPATH or an installed copy does not provide one.
import sys
from pathlib import Path

sys.path.append(str(Path(__file__).resolve().parents[1]))
