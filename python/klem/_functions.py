"""Functions on numpy arrays: each makes images over the arrays, sizes the
destination, runs one operation and returns a new array. The vector math
on (n, 3) float64 arrays."""
from __future__ import annotations

import ctypes
import inspect
import math
import weakref
from contextlib import ExitStack
from typing import Callable, Optional, Sequence, Tuple, Union

import numpy as np

from ._image import _LAYOUTS, OK, INVALID_ARG, Image, KlemError, _doubles, _ptr, check
from ._native import lib

ArrayOrImage = Union[np.ndarray, Image]


def blank(width: int, height: int, bits: int) -> np.ndarray:
    """A zero array shaped for an image of width x height in format bits."""
    dtype, samples = _LAYOUTS[bits]
    if bits == 1:
        return np.zeros((height, (width + 7) // 8), dtype)
    return np.zeros((height, width) + ((samples,) if samples > 1 else ()), dtype)


def _image(stack: ExitStack, value: Optional[ArrayOrImage]) -> Optional[Image]:
    """An image over value (an Image is used as it is); a read-only or
    non-contiguous array is copied first, since the library needs plain rows."""
    if isinstance(value, Image) or value is None:
        return value
    array = np.asarray(value)
    if not (array.flags.c_contiguous and array.flags.writeable):
        array = np.array(array, order="C")
    return stack.enter_context(Image.from_array(array))


def _is_image(parameter: inspect.Parameter) -> bool:
    return "Image" in str(parameter.annotation)


def _array_signature(method: Callable, first: str) -> inspect.Signature:
    parameters = list(inspect.signature(method).parameters.values())[1:]
    parameters = [p.replace(annotation="np.ndarray") if _is_image(p) else p for p in parameters]
    if first:
        parameters.insert(0, inspect.Parameter(first, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                               annotation="np.ndarray"))
    return inspect.Signature(parameters, return_annotation="np.ndarray")


def _bound(method: Callable, stack: ExitStack, args: tuple, kwargs: dict) -> inspect.BoundArguments:
    """The method's arguments with every image argument made an image."""
    signature = inspect.signature(method)
    bound = signature.bind(None, *args, **kwargs)
    for name, parameter in signature.parameters.items():
        if name in bound.arguments and _is_image(parameter) and name != "self":
            bound.arguments[name] = _image(stack, bound.arguments[name])
    return bound


def _in_place(name: str) -> Callable:
    method = getattr(Image, name)

    def function(image: np.ndarray, *args, **kwargs) -> np.ndarray:
        result = np.array(image, order="C")
        with ExitStack() as stack:
            bound = _bound(method, stack, args, kwargs)
            method(stack.enter_context(Image.from_array(result)), *bound.args[1:], **bound.kwargs)
        return result

    return _named(function, name, _array_signature(method, "image"),
                  f"A copy of image changed by Image.{name}:\n\n{method.__doc__}")


def _producing(name: str, bits: Callable[[int], int] = lambda bits: bits) -> Callable:
    """A function whose destination has the first argument's size and the format bits(its format)."""
    method = getattr(Image, name)

    def function(*args, **kwargs) -> np.ndarray:
        with ExitStack() as stack:
            bound = _bound(method, stack, args, kwargs)
            first = bound.args[1]
            target = bits(first.bits)
            result = blank(first.width, first.height, target)
            destination = stack.enter_context(Image.from_array(result, target, first.width))
            method(destination, *bound.args[1:], **bound.kwargs)
        return result

    return _named(function, name, _array_signature(method, ""),
                  f"A new array made by Image.{name}:\n\n{method.__doc__}")


def _named(function: Callable, name: str, signature: inspect.Signature, doc: str) -> Callable:
    function.__name__ = function.__qualname__ = name
    function.__signature__ = signature
    function.__doc__ = doc
    return function


_IN_PLACE = """add add_constant subtract subtract_constant multiply multiply_constant divide
    divide_constant bitwise_and bitwise_and_constant bitwise_or bitwise_or_constant bitwise_xor
    bitwise_xor_constant invert scale fill copy copy_with_mask crop_to alpha_premultiply
    alpha_premultiply_with_constant apply_alpha_channel_constant apply_alpha_channel flood_fill
    rgb_to_cmy cmy_to_rgb gamma_correction threshold_gt threshold_lt threshold_gt_val
    threshold_lt_val threshold_lt_val_gt_val erode dilate erode_ex dilate_ex mirror_horizontal
    mirror_vertical""".split()
_LIKE_FIRST = """difference difference_constant rgb_to_yuv yuv_to_rgb rgb_to_xyz xyz_to_rgb
    rgb_to_ycc ycc_to_rgb swap_channels look_up_table_8bit look_up_table filter
    filter_user_defined antialias alpha_overlay alpha_overlay_with_constant""".split()

FUNCTIONS = {name: _in_place(name) for name in _IN_PLACE}
FUNCTIONS.update({name: _producing(name) for name in _LIKE_FIRST})
FUNCTIONS.update(grayscale_8bit=_producing("grayscale_8bit", lambda bits: 8),
                 grayscale=_producing("grayscale", lambda bits: 24),
                 convert_to_1bit=_producing("convert_to_1bit", lambda bits: 1),
                 hdr_scale_down=_producing("hdr_scale_down", lambda bits: 24 if bits == 48 else 8))


def _run(source: ArrayOrImage, size: Callable[[Image], Tuple[int, int]], call: Callable) -> np.ndarray:
    with ExitStack() as stack:
        image = _image(stack, source)
        width, height = size(image)
        if width < 1 or height < 1:
            raise ValueError(f"klem: the result would be {width} x {height} pixels")
        result = blank(width, height, image.bits)
        call(stack.enter_context(Image.from_array(result)), image)
    return result


def _box_size(box: Tuple[float, float, float, float]) -> Tuple[int, int]:
    # Every pixel centre of the box.
    return math.floor(box[2] - box[0]) + 1, math.floor(box[3] - box[1]) + 1


def resize(image: np.ndarray, size: Tuple[int, int], mode: Union[int, str] = "linear") -> np.ndarray:
    """image scaled to size (width, height); mode linear, cubic, nearest, supersample or a number."""
    width, height = size
    return _run(image, lambda i: (width, height), lambda d, s: d.resize(s, width, height, mode))


def rotate(image: np.ndarray, angle: float, mode: Union[int, str] = "linear") -> np.ndarray:
    """image turned by angle degrees (clockwise on screen), in an array holding its whole box."""
    return _run(image, lambda i: _box_size(i.rotate_box(angle)), lambda d, s: d.rotate(s, angle, mode))


def rotate_center(image: np.ndarray, angle: float, x_centre: int, y_centre: int,
                  mode: Union[int, str] = "linear") -> np.ndarray:
    """image turned about its pixel (x_centre, y_centre), in an array of its own size."""
    return _run(image, lambda i: (i.width, i.height),
                lambda d, s: d.rotate_center(s, angle, x_centre, y_centre, mode))


def shear(image: np.ndarray, x_shear: float, y_shear: float, mode: Union[int, str] = "linear") -> np.ndarray:
    """image sheared, in an array holding its whole box."""
    return _run(image, lambda i: _box_size(i.shear_box(x_shear, y_shear)),
                lambda d, s: d.shear(s, x_shear, y_shear, mode))


def warp_perspective(image: np.ndarray, coeffs: Sequence[float], mode: Union[int, str] = "linear") -> np.ndarray:
    """image through the projective transform of nine coefficients, in an array holding its whole box."""
    return _run(image, lambda i: _box_size(i.warp_perspective_box(coeffs)),
                lambda d, s: d.warp_perspective(s, coeffs, mode))


def crop(image: np.ndarray, left: int, top: int, right: int, bottom: int) -> np.ndarray:
    """The rectangle of image with inclusive corners (left, top), (right, bottom)."""
    return _run(image, lambda i: (abs(right - left) + 1, abs(bottom - top) + 1),
                lambda d, s: d.crop(s, left, top, right, bottom))


def copy_with_const_border(image: np.ndarray, left: int, top: int, right: int, bottom: int,
                           value: int) -> np.ndarray:
    """image inside a border of one value, the given columns and rows wide."""
    return _run(image, lambda i: (i.width + left + right, i.height + top + bottom),
                lambda d, s: d.copy_with_const_border(s, left, top, value))


def copy_with_replicate_border(image: np.ndarray, left: int, top: int, right: int, bottom: int) -> np.ndarray:
    """image inside a border of its edge pixels, the given columns and rows wide."""
    return _run(image, lambda i: (i.width + left + right, i.height + top + bottom),
                lambda d, s: d.copy_with_replicate_border(s, left, top))


def split_channels(image: np.ndarray) -> Tuple[np.ndarray, ...]:
    """The bytes of a 24- or 32-bit image as three or four 8-bit arrays."""
    with ExitStack() as stack:
        source = _image(stack, image)
        channels = [blank(source.width, source.height, 8) for _ in range(source.bits // 8)]
        images = [stack.enter_context(Image.from_array(c)) for c in channels]
        (source.split_channels_rgba if len(images) == 4 else source.split_channels)(*images)
    return tuple(channels)


def from_channels(*channels: np.ndarray) -> np.ndarray:
    """A 24-bit (three arrays) or 32-bit (four) image from 8-bit arrays."""
    with ExitStack() as stack:
        images = [_image(stack, c) for c in channels]
        result = blank(images[0].width, images[0].height, 8 * len(images))
        destination = stack.enter_context(Image.from_array(result))
        (destination.from_channels_rgba if len(images) == 4 else destination.from_channels)(*images)
    return result


def _swap_red_blue(export: str, image: np.ndarray, flip: bool, samples: int) -> np.ndarray:
    source = np.ascontiguousarray(image)
    if source.dtype != np.uint8 or source.ndim != 3 or source.shape[2] != samples:
        raise ValueError(f"klem: a uint8 H x W x {samples} array is needed")
    result = np.empty_like(source)
    height, width = source.shape[:2]
    step = width * samples
    with Image() as errors:
        check(getattr(lib, export)(errors._handle, _ptr(source), step, _ptr(result), step, width, height,
                                   int(flip)), errors)
    return result


def rgb_to_bgr(image: np.ndarray, flip: bool = False) -> np.ndarray:
    """Bytes 0 and 2 of every pixel of a H x W x 3 array swapped; rows upside down when flip."""
    return _swap_red_blue("KLEM_RGBtoBGR", image, flip, 3)


def rgba_to_bgra(image: np.ndarray, flip: bool = False) -> np.ndarray:
    """Bytes 0 and 2 of every pixel of a H x W x 4 array swapped; rows upside down when flip."""
    return _swap_red_blue("KLEM_RGBAtoBGRA", image, flip, 4)


def _query(source: ArrayOrImage, method: str, *args) -> tuple:
    with ExitStack() as stack:
        return getattr(_image(stack, source), method)(*args)


def rotate_box(source: ArrayOrImage, angle: float) -> Tuple[float, float, float, float]:
    """(x0, y0, x1, y1): the box of the source's corner pixels turned by angle degrees."""
    return _query(source, "rotate_box", angle)


def shear_box(source: ArrayOrImage, x_shear: float, y_shear: float) -> Tuple[float, float, float, float]:
    """(x0, y0, x1, y1) of the source's corner pixels sheared."""
    return _query(source, "shear_box", x_shear, y_shear)


def warp_perspective_box(source: ArrayOrImage, coeffs: Sequence[float]) -> Tuple[float, float, float, float]:
    """(x0, y0, x1, y1) of the source's corner pixels through the nine coefficients."""
    return _query(source, "warp_perspective_box", coeffs)


def warp_perspective_coefficients(source: ArrayOrImage, quad: Sequence[float]) -> np.ndarray:
    """The nine coefficients carrying the source's corners to quad (x0, y0 .. x3, y3)."""
    return _query(source, "warp_perspective_coefficients", quad)


# --- vector math -------------------------------------------------------------
class VectorMath:
    """One vector-math object: arithmetic on (n, 3) float64 arrays. Free it
    with close() or a `with` block; the finaliser frees it otherwise."""

    def __init__(self) -> None:
        handle = lib.ZEV_CreateCFastMath()
        if not handle:
            raise MemoryError("klem: no vector object could be made")
        self._handle = handle
        self._finalizer = weakref.finalize(self, lib.ZEV_FreeCFastMath, handle)

    def close(self) -> None:
        self._finalizer()

    def __enter__(self) -> "VectorMath":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    @property
    def error_text(self) -> str:
        """The error text of the last failing call (some failures leave it empty)."""
        buffer = ctypes.create_string_buffer(1024)
        lib.ZEV_GetError(self._handle, buffer)
        return buffer.value.decode("utf-8", "replace")

    @error_text.setter
    def error_text(self, text: str) -> None:
        lib.ZEV_SetError(self._handle, text.encode())

    version = property(lambda self: self._text("ZEV_GetVersion"), doc="The version text.")
    processor_detected = property(lambda self: self._text("ZEV_GetProcessorDetected"))
    processor_code_used = property(lambda self: self._text("ZEV_GetProcessorCodeUsed"))

    def _text(self, export: str) -> str:
        pointer = ctypes.c_char_p()
        getattr(lib, export)(self._handle, ctypes.byref(pointer))
        return (pointer.value or b"").decode("utf-8", "replace")

    def _call(self, export: str, *args) -> None:
        status = getattr(lib, export)(self._handle, *args)
        if status == INVALID_ARG:
            raise KlemError("invalid argument: a null handle or out pointer (0x80070057)", status)
        if status != OK:
            raise KlemError(self.error_text or f"klem: {export} failed without an error text ({status})", status)

    def _componentwise(self, export: str, source: np.ndarray, vector: Sequence[float]) -> np.ndarray:
        vectors, v = _vectors(source), _doubles(vector)
        if v.size != 3:
            raise ValueError("klem: the vector must have three components")
        result = np.empty_like(vectors)
        self._call(export, _ptr(vectors), len(vectors), _ptr(v), _ptr(result), len(result))
        return result

    def add(self, source: np.ndarray, vector: Sequence[float]) -> np.ndarray:
        """source[i] + vector for every row of an (n, 3) array."""
        return self._componentwise("ZEV_Add", source, vector)

    def sub(self, source: np.ndarray, vector: Sequence[float]) -> np.ndarray:
        """source[i] - vector for every row of an (n, 3) array."""
        return self._componentwise("ZEV_Sub", source, vector)

    def mul(self, source: np.ndarray, vector: Sequence[float]) -> np.ndarray:
        """source[i] * vector, component-wise, for every row of an (n, 3) array."""
        return self._componentwise("ZEV_Mul", source, vector)

    def mul_matrix(self, matrix: np.ndarray, source: np.ndarray) -> np.ndarray:
        """matrix (h x 3, h = 1..3) times every row of an (n, 3) array; components past h are 0."""
        m, vectors = np.ascontiguousarray(matrix, dtype=np.float64), _vectors(source)
        if m.ndim != 2 or m.shape[1] != 3:
            raise ValueError("klem: the matrix must be h x 3")
        result = np.zeros_like(vectors)
        self._call("ZEV_MulMatrix", _ptr(m), 3, m.shape[0], _ptr(vectors), len(vectors), _ptr(result), len(result))
        return result


def _vectors(values: np.ndarray) -> np.ndarray:
    array = np.ascontiguousarray(values, dtype=np.float64)
    if array.ndim != 2 or array.shape[1] != 3:
        raise ValueError("klem: vectors must be an (n, 3) array")
    return array


def _on_a_new_object(name: str) -> Callable:
    method = getattr(VectorMath, name)

    def function(*args, **kwargs):
        with VectorMath() as vectors:
            return method(vectors, *args, **kwargs)

    parameters = list(inspect.signature(method).parameters.values())[1:]
    return _named(function, "vector_" + name, inspect.Signature(parameters, return_annotation="np.ndarray"),
                  method.__doc__)


vector_add, vector_sub, vector_mul, vector_mul_matrix = map(_on_a_new_object, ("add", "sub", "mul", "mul_matrix"))
