"""klem over numpy arrays.

    import numpy as np, klem
    picture = np.zeros((480, 640, 3), np.uint8)
    with klem.Image.from_array(picture) as image:   # no copy: image writes picture
        image.add_constant(0x204060)
    small = klem.resize(picture, (320, 240), mode="cubic")

Failing calls raise klem.KlemError with the library's error text. The
library is found beside this package, then through KLEM_LIBRARY, then on
the system's library path.
"""
from ._functions import (FUNCTIONS as _FUNCTIONS, blank, copy_with_const_border, copy_with_replicate_border,
                         crop, from_channels, resize, rgb_to_bgr, rgba_to_bgra, rotate, rotate_box,
                         rotate_center, shear, shear_box, split_channels, vector_add, vector_mul,
                         vector_mul_matrix, vector_sub, warp_perspective, warp_perspective_box,
                         warp_perspective_coefficients, VectorMath)
from ._image import COMPOSITION, CURVE, FILTERS, INTERPOLATION, Image, KlemError, mode_number
from ._native import lib as _lib

__version__ = "5.0.5.6"

globals().update(_FUNCTIONS)

with Image() as _image:
    version: str = _image.version
    processor_detected: str = _image.processor_detected
    processor_code_used: str = _image.processor_code_used
with VectorMath() as _vectors:
    vector_version: str = _vectors.version


def processor_details() -> str:
    """Processor details with its measured clock (takes two to three seconds)."""
    with Image() as image:
        return image.processor_details()


__all__ = sorted(name for name in globals() if not name.startswith("_"))
