#!/bin/sh
# Installs the package with the library bundled into a fresh virtual
# environment that sees the system's numpy, offline, and imports it from
# elsewhere with no KLEM_LIBRARY: the installed copy must find its library.
# Arguments: the interpreter, the built library, the package's directory.
set -eu
python=$1
library=$2
package=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# A copy, so that the build leaves nothing in the checkout.
cp -r "$package" "$root/source"
rm -rf "$root/source/build" "$root/source"/*.egg-info
"$python" -m venv --system-site-packages "$root/venv"
KLEM_LIBRARY=$library "$root/venv/bin/pip" install --quiet --no-index --no-build-isolation "$root/source"
cd "$root"
env -u KLEM_LIBRARY -u PYTHONPATH "$root/venv/bin/python" - "$root/venv" <<'PY'
import sys
import numpy as np
import klem
assert klem.__file__.startswith(sys.argv[1]), klem.__file__
assert klem._lib._name.startswith(sys.argv[1]), klem._lib._name
assert klem.invert(np.zeros((2, 3), np.uint8)).tolist() == [[255] * 3] * 2
print("installed:", klem.__file__, "with", klem._lib._name)
PY
