"""klem.Image: one library handle, its pixels as a numpy view, and every
image operation as a method."""
from __future__ import annotations

import ctypes
import inspect
import weakref
from typing import Any, Optional, Sequence, Union

import numpy as np

from ._native import SIGNATURES, lib

OK, FAILED, INVALID_ARG = 0, 1, 0x80070057

# Names accepted wherever the library takes a mode number; numbers work too.
INTERPOLATION = {"default": 0, "linear": 1, "cubic": 2, "nearest": 3, "supersample": 4, "smooth_edge": 5}
CURVE = {"step": 0, "linear": 1, "cubic": 2}
_OPERATORS = ("over", "in", "out", "atop", "xor", "plus")
COMPOSITION = {**{n: i for i, n in enumerate(_OPERATORS)},
               **{"premultiplied_" + n: i + 6 for i, n in enumerate(_OPERATORS)}}
FILTERS = {name: number for number, name in enumerate(
    "min3x3 min5x5 max3x3 max5x5 box3x3 box5x5 sharpen median3x3 median5x5 median_row3 "
    "median_row5 median_column3 median_column5 prewitt_dy prewitt_dx sobel_dy sobel_dx "
    "diagonal_up_left diagonal_up_right laplace3x3 laplace5x5 gauss3x3 gauss5x5 "
    "low_pass3x3 low_pass5x5 high_pass3x3 high_pass5x5".split(), start=1)}
_KINDS = {"interpolation": INTERPOLATION, "curve": CURVE, "composition": COMPOSITION, "filter": FILTERS}

# dtype, samples per pixel (0: a plain 2-D array) for each format a numpy array can carry.
_LAYOUTS = {1: (np.uint8, 0), 8: (np.uint8, 1), 9: (np.uint8, 1), 16: (np.uint16, 1),
            24: (np.uint8, 3), 25: (np.uint8, 0), 32: (np.uint8, 4), 48: (np.uint16, 3)}


class KlemError(RuntimeError):
    """A library call failed: status 1 with the library's error text, or
    0x80070057 for a null handle (a closed image)."""

    def __init__(self, message: str, status: int):
        super().__init__(message)
        self.status = status


def mode_number(value: Union[int, str], kind: str) -> int:
    """The number of a mode name of `kind` (interpolation, curve, composition, filter)."""
    if isinstance(value, str):
        names = _KINDS[kind]
        if value not in names:
            raise ValueError(f"unknown {kind} {value!r}; one of {', '.join(names)}")
        return names[value]
    return int(value)


def check(status: int, *images: Optional["Image"]) -> None:
    """Raises KlemError unless status is 0; the text is the first non-empty
    error text of the images (some checks store theirs on a source)."""
    if status == OK:
        return
    if status == INVALID_ARG:
        raise KlemError("invalid argument: a null handle or out pointer (0x80070057)", status)
    texts = [image.error_text for image in images if image is not None and not image.closed]
    raise KlemError(next((t for t in texts if t), f"klem: the call failed without an error text ({status})"), status)


def _text(function, handle) -> str:
    pointer = ctypes.c_char_p()
    check(function(handle, ctypes.byref(pointer)))
    return (pointer.value or b"").decode("utf-8", "replace")


class _Memory:
    """Exposes image memory to numpy and keeps the image alive while a view exists."""

    def __init__(self, owner: "Image", shape: tuple, dtype: Any):
        self.owner = owner
        self.__array_interface__ = {"version": 3, "shape": shape, "typestr": np.dtype(dtype).str,
                                    "data": (owner.address, False)}


class Image:
    """One klem handle: an image in a format (1, 8, 9, 16, 24, 25, 32, 48) and
    the object that runs operations on it. Free it with close() or a `with`
    block; the finaliser frees it otherwise. Operations raise KlemError."""

    def __init__(self) -> None:
        handle = lib.KLEM_CreateCKorPelora()
        if not handle:
            raise MemoryError("klem: no handle could be made")
        self._handle: Optional[int] = handle
        # Attached arrays are held by the finaliser, so they outlive the handle.
        self._attached: list = []
        self._finalizer = weakref.finalize(self, _free, handle, self._attached)

    # --- life cycle ---------------------------------------------------------
    @classmethod
    def create(cls, width: int, height: int, bits: int = 8) -> "Image":
        """A new zero-filled image of width x height in format 1, 8, 16, 24, 32 or 48."""
        image = cls()
        try:
            check(lib.KLEM_Create(image._handle, width, height, bits), image)
        except KlemError:
            image.close()
            raise
        return image

    @classmethod
    def from_array(cls, array: np.ndarray, bits: Optional[int] = None, width: Optional[int] = None) -> "Image":
        """An image over the array's memory, without a copy (see attach)."""
        image = cls()
        try:
            image.attach(array, bits, width)
        except (KlemError, ValueError):
            image.close()
            raise
        return image

    def attach(self, array: np.ndarray, bits: Optional[int] = None, width: Optional[int] = None) -> "Image":
        """Borrows the memory of a C-contiguous, writable array: uint8 H x W is
        format 8 (or 9 / 1 / 25 when bits says so; 1 and 25 take the pixel
        width, the array holding the bytes of each row), H x W x 3 is 24,
        H x W x 4 is 32; uint16 H x W is 16, H x W x 3 is 48. The image keeps
        the array alive; writes through either side show in the other."""
        if not isinstance(array, np.ndarray):
            raise ValueError("klem: a numpy array is needed")
        if not array.flags.c_contiguous:
            raise ValueError("klem: the array must be C-contiguous (numpy.ascontiguousarray makes a copy that is)")
        if not array.flags.writeable:
            raise ValueError("klem: the array must be writable")
        bits = _format_of(array) if bits is None else bits
        dtype, samples = _LAYOUTS.get(bits, (None, None))
        wanted_ndim = 2 if samples in (0, 1) else 3
        if dtype is None or array.dtype != dtype or array.ndim != wanted_ndim or (
                samples > 1 and array.shape[2] != samples):
            raise ValueError(f"klem: a {array.dtype} array of shape {array.shape} is no image of format {bits}")
        height, columns = array.shape[0], array.shape[1]
        if samples == 0 and width is None:
            raise ValueError(f"klem: format {bits} needs the width in pixels")
        width = columns if samples else width
        if array.nbytes > 0xFFFFFFFF:
            raise ValueError("klem: an image holds at most 4 GiB - 1 bytes")
        address = ctypes.c_void_p(array.ctypes.data)
        if bits == 25:
            status = lib.KLEM_AttachNoFreeEx(self._handle, address, array.nbytes, width, height, columns, bits)
        else:
            status = lib.KLEM_AttachNoFree(self._handle, address, array.nbytes, width, height, bits)
        check(status, self)
        self._attached[:] = [array]
        return self

    def clear(self) -> "Image":
        """Makes the image empty (owned memory freed, attached memory forgotten)."""
        check(lib.KLEM_Clear(self._handle))
        self._attached.clear()
        return self

    def close(self) -> None:
        """Frees the handle; views from .array of an owned image must not be used after."""
        self._handle = None
        self._finalizer()

    @property
    def closed(self) -> bool:
        return self._handle is None

    def __enter__(self) -> "Image":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    def __repr__(self) -> str:
        if self.closed:
            return "<klem.Image closed>"
        return f"<klem.Image {self.width} x {self.height}, {self.bits} bits>"

    # --- geometry, pixels, texts ------------------------------------------------
    def _get(self, function, ctype=ctypes.c_int32) -> int:
        if self.closed:
            raise ValueError("klem: the image is closed")
        value = ctype()
        check(function(self._handle, ctypes.byref(value)))
        return value.value

    width = property(lambda self: self._get(lib.KLEM_GetWidth), doc="Width in pixels.")
    height = property(lambda self: self._get(lib.KLEM_GetHeight), doc="Height in pixels.")
    bits = property(lambda self: self._get(lib.KLEM_GetBitsPerPixel, ctypes.c_uint32),
                    doc="The format code, 0 for an empty image.")
    width_bytes = property(lambda self: self._get(lib.KLEM_GetWidthBytes), doc="Bytes a row.")
    size_in_bytes = property(lambda self: self._get(lib.KLEM_GetImageSizeInBytes, ctypes.c_uint32),
                             doc="Bytes of the image.")
    address = property(lambda self: self._get(lib.KLEM_GetImageMemory, ctypes.c_void_p) or 0,
                       doc="Address of the pixel memory, 0 when empty.")

    @property
    def array(self) -> np.ndarray:
        """A numpy view of the pixels (no copy): H x W, H x W x 3 or H x W x 4
        by format; formats 1 and 25 give the bytes of each row."""
        bits = self.bits
        if bits == 0:
            return np.empty((0, 0), np.uint8)
        dtype, samples = _LAYOUTS[bits]
        shape = (self.height, self.width_bytes) if samples == 0 else (self.height, self.width) + (
            (samples,) if samples > 1 else ())
        return np.asarray(_Memory(self, shape, dtype))

    def to_array(self) -> np.ndarray:
        """A copy of the pixels, as .array shapes them."""
        return self.array.copy()

    @property
    def error_text(self) -> str:
        """The error text of the last failing call (empty after a success)."""
        if self.closed:
            raise ValueError("klem: the image is closed")
        buffer = ctypes.create_string_buffer(1024)
        check(lib.KLEM_GetError(self._handle, buffer))
        return buffer.value.decode("utf-8", "replace")

    @error_text.setter
    def error_text(self, text: str) -> None:
        check(lib.KLEM_SetError(self._handle, text.encode()))

    @property
    def scale_factor(self) -> int:
        """Integer kernels return exact result * 2**-scale_factor."""
        return self._get(lib.KLEM_GetScaleFactor)

    @scale_factor.setter
    def scale_factor(self, value: int) -> None:
        if self.closed:
            raise ValueError("klem: the image is closed")
        check(lib.KLEM_SetScaleFactor(self._handle, value))

    version = property(lambda self: _text(lib.KLEM_GetVersion, self._handle), doc="The version text.")
    processor_detected = property(lambda self: _text(lib.KLEM_GetProcessorDetected, self._handle),
                                  doc="What the library found out about the processor.")
    processor_code_used = property(lambda self: _text(lib.KLEM_GetProcessorCodeUsed, self._handle),
                                   doc="The code path in use.")

    def processor_details(self) -> str:
        """Processor details with its measured clock (takes two to three seconds)."""
        return _text(lib.KLEM_GetProcessorDetails, self._handle)

    # --- operations with array or out arguments -----------------------------
    def _call(self, export: str, *args: Any, images: Sequence[Optional["Image"]] = ()) -> "Image":
        check(getattr(lib, export)(self._handle, *args), self, *images)
        return self

    def filter(self, source: Optional["Image"], number: Union[int, str]) -> "Image":
        """self := built-in filter `number` (1..27, -1 none, or a name of FILTERS such as
        "gauss5x5") of source, same size and format (8, 24)."""
        return self._call("KLEM_Filter", mode_number(number, "filter"), _handle(source), images=[source])

    def swap_channels(self, source: Optional["Image"], order: Sequence[int]) -> "Image":
        """Byte i of every pixel := byte order[i] of source's pixel (formats 24, 32)."""
        values = _ints(order)
        return self._call("KLEM_SwapChannels", _handle(source), _ptr(values), len(values), images=[source])

    def look_up_table_8bit(self, source: Optional["Image"], values: Sequence[int], levels: Sequence[int],
                           mode: Union[int, str] = "linear") -> "Image":
        """self (8 bits) := source through the curve of points (levels[k], values[k]);
        mode step, linear or cubic. Note the order: values before levels."""
        v, l = _ints(values), _ints(levels)
        if len(v) != len(l):
            raise ValueError("klem: values and levels differ in length")
        return self._call("KLEM_LookUpTable8Bit", _handle(source), _ptr(v), _ptr(l), len(v),
                          mode_number(mode, "curve"), images=[source])

    def look_up_table(self, source: Optional["Image"], levels0: Sequence[int], values0: Sequence[int],
                      levels1: Sequence[int], values1: Sequence[int], levels2: Sequence[int],
                      values2: Sequence[int], mode: Union[int, str] = "linear") -> "Image":
        """self (24 bits) := source with byte c of every pixel through curve c (levels, values)."""
        curves = [_ints(c) for c in (levels0, values0, levels1, values1, levels2, values2)]
        args = []
        for levels, values in zip(curves[0::2], curves[1::2]):
            if len(levels) != len(values):
                raise ValueError("klem: a curve's levels and values differ in length")
            args += [_ptr(levels), _ptr(values), len(levels)]
        return self._call("KLEM_LookUpTable", _handle(source), *args, mode_number(mode, "curve"), images=[source])

    def _masked(self, export: str, mask: np.ndarray) -> "Image":
        cells = np.ascontiguousarray(mask, dtype=np.uint8)
        if cells.ndim != 2:
            raise ValueError("klem: the mask must be a 2-D array")
        return self._call(export, _ptr(cells), cells.shape[1], cells.shape[0])

    def erode_ex(self, mask: np.ndarray) -> "Image":
        """Minimum over the neighbours where the 2-D mask (rows x columns) is non-zero."""
        return self._masked("KLEM_ErodeEx", mask)

    def dilate_ex(self, mask: np.ndarray) -> "Image":
        """Maximum over the neighbours where the 2-D mask (rows x columns) is non-zero."""
        return self._masked("KLEM_DilateEx", mask)

    def filter_user_defined(self, source: Optional["Image"], kernel: np.ndarray, anchor_column: int,
                            anchor_row: int, divisor: int = 1) -> "Image":
        """self := source convolved with the 2-D integer kernel (rows x columns) about
        its anchor cell, divided by divisor and clamped to 0..255."""
        cells = np.ascontiguousarray(kernel, dtype=np.int32)
        if cells.ndim != 2:
            raise ValueError("klem: the kernel must be a 2-D array")
        return self._call("KLEM_FilterUserDefined", _handle(source), _ptr(cells), cells.shape[1],
                          cells.shape[0], anchor_column, anchor_row, divisor, images=[source])

    def warp_perspective(self, source: Optional["Image"], coeffs: Sequence[float],
                         mode: Union[int, str] = "linear") -> "Image":
        """self := source through the projective transform of the nine coefficients."""
        c = _doubles(coeffs)
        return self._call("KLEM_WarpPerspective", _handle(source), _ptr(c), len(c),
                          mode_number(mode, "interpolation"), images=[source])

    def _outs(self, export: str, count: int, *args: Any, ctype=ctypes.c_int32) -> tuple:
        values = [ctype() for _ in range(count)]
        check(getattr(lib, export)(self._handle, *args, *map(ctypes.byref, values)), self)
        return tuple(v.value for v in values)

    def roi_for_filter(self, kernel_width: int, kernel_height: int,
                       anchor: Optional[tuple] = None) -> tuple:
        """(offset in bytes, width, height) of the region a kernel computes;
        anchor (column, row) for a kernel that is not centred."""
        if anchor is None:
            return self._outs("KLEM_GetRoiForFilter", 3, kernel_width, kernel_height)
        return self._outs("KLEM_GetRoiForFilterEx", 3, kernel_width, kernel_height, *anchor)

    def filter_border(self, kernel_width: int, kernel_height: int, anchor: Optional[tuple] = None) -> tuple:
        """(columns, rows) of the border a kernel leaves; anchor as for roi_for_filter."""
        if anchor is None:
            return self._outs("KLEM_GetFilterBorder", 2, kernel_width, kernel_height)
        return self._outs("KLEM_GetFilterBorderEx", 2, kernel_width, kernel_height, *anchor)

    def rotate_box(self, angle: float) -> tuple:
        """(x0, y0, x1, y1): the box of this image's corner pixels turned by angle degrees."""
        return self._box("KLEM_RotateBox", angle)

    def shear_box(self, x_shear: float, y_shear: float) -> tuple:
        """(x0, y0, x1, y1) of this image's corner pixels sheared."""
        return self._box("KLEM_ShearBox", x_shear, y_shear)

    def warp_perspective_box(self, coeffs: Sequence[float]) -> tuple:
        """(x0, y0, x1, y1) of this image's corner pixels through the nine coefficients."""
        c = _doubles(coeffs)
        return self._box("KLEM_WarpPerspectiveBox", _ptr(c), len(c))

    def _box(self, export: str, *args: Any) -> tuple:
        values = [ctypes.c_double() for _ in range(4)]
        check(getattr(lib, export)(self._handle, self._handle, *args, *map(ctypes.byref, values)), self)
        return tuple(v.value for v in values)

    def warp_perspective_coefficients(self, quad: Sequence[float]) -> np.ndarray:
        """The nine coefficients that carry this image's corner pixels (top-left,
        top-right, bottom-right, bottom-left) to quad (x0, y0 .. x3, y3)."""
        q, coeffs = _doubles(quad), np.zeros(9)
        self._call("KLEM_WarpPerspectiveCoefficients", self._handle, _ptr(q), len(q), _ptr(coeffs), 9)
        return coeffs


def _free(handle: int, attached: list) -> None:
    lib.KLEM_FreeCKorPelora(handle)
    attached.clear()


def _format_of(array: np.ndarray) -> int:
    if array.ndim == 2:
        return {np.dtype(np.uint8): 8, np.dtype(np.uint16): 16}.get(array.dtype, 0)
    if array.ndim == 3 and array.shape[2] in (3, 4):
        return {(np.dtype(np.uint8), 3): 24, (np.dtype(np.uint8), 4): 32,
                (np.dtype(np.uint16), 3): 48}.get((array.dtype, array.shape[2]), 0)
    return 0


def _handle(image: Optional[Image]) -> Optional[int]:
    return None if image is None else image._handle


def _ints(values: Sequence[int]) -> np.ndarray:
    return np.ascontiguousarray(values, dtype=np.int32).ravel()


def _doubles(values: Sequence[float]) -> np.ndarray:
    return np.ascontiguousarray(values, dtype=np.float64).ravel()


def _ptr(array: np.ndarray) -> ctypes.c_void_p:
    return ctypes.c_void_p(array.ctypes.data)


# Operations whose arguments are images and numbers: method name, export, the
# arguments after the handle ("name", "name=default", "name:kind=default" with
# a kind of mode names), what it does.
_OPERATIONS = [
    ("add", "KLEM_Add", "source", "self := self + source, saturating (formats 8, 24)."),
    ("add_constant", "KLEM_AddConstant", "constant", "self := self + constant (0xBBGGRR packs three)."),
    ("subtract", "KLEM_Subtract", "source", "self := self - source, 0 below."),
    ("subtract_constant", "KLEM_SubtractConstant", "constant", "self := self - constant, 0 below."),
    ("multiply", "KLEM_Multiply", "source", "self := self * source, scaled by the scale factor."),
    ("multiply_constant", "KLEM_MultiplyConstant", "constant", "self := self * constant."),
    ("divide", "KLEM_Divide", "source", "self := self / source; a zero sample writes 255 and raises."),
    ("divide_constant", "KLEM_DivideConstant", "constant", "self := self / constant (0 fails)."),
    ("difference", "KLEM_Difference", "first second", "self := |first - second|."),
    ("difference_constant", "KLEM_DifferenceConstant", "source constant", "self := |source - constant|."),
    ("bitwise_and", "KLEM_And", "source", "self := self & source."),
    ("bitwise_and_constant", "KLEM_AndConstant", "constant", "self := self & constant."),
    ("bitwise_or", "KLEM_Or", "source", "self := self | source."),
    ("bitwise_or_constant", "KLEM_OrConstant", "constant", "self := self | constant."),
    ("bitwise_xor", "KLEM_Xor", "source", "self := self ^ source."),
    ("bitwise_xor_constant", "KLEM_XorConstant", "constant", "self := self ^ constant."),
    ("invert", "KLEM_Invert", "", "Every byte b becomes 255 - b (formats 1, 8, 24)."),
    ("scale", "KLEM_Scale", "count1 count2=0 count3=0 direction=0",
     "Shifts every sample right (direction 0) or left by its channel's count."),
    ("hdr_scale_down", "KLEM_HDRScaleDown", "source", "self (8 or 24 bits) := source (16 or 48) in 8 bits a sample."),
    ("fill", "KLEM_Fill", "value", "Every pixel := value (0xBBGGRR, 0xAABBGGRR for 32 bits)."),
    ("copy", "KLEM_Copy", "source", "self := the top-left part of source of self's size."),
    ("copy_with_mask", "KLEM_CopyWithMask", "source mask", "As copy where the 8-bit mask is non-zero."),
    ("crop", "KLEM_Crop", "source left top right bottom", "self := the rectangle of source (inclusive corners)."),
    ("crop_to", "KLEM_CropTo", "source left top right bottom column row",
     "The rectangle of source into self with its top-left corner at (column, row)."),
    ("copy_with_const_border", "KLEM_CopyWithConstBorder", "source left top value",
     "source at (left, top) of self, every other pixel := value."),
    ("copy_with_replicate_border", "KLEM_CopyWithReplicateBorder", "source left top",
     "source at (left, top) of self inside a border of its edge pixels."),
    ("split_channels", "KLEM_SplitChannels", "channel0 channel1 channel2",
     "Byte c of every pixel of self (24 bits) into channel image c (8 bits)."),
    ("from_channels", "KLEM_FromChannels", "channel0 channel1 channel2",
     "self (24 bits) from three 8-bit channel images."),
    ("split_channels_rgba", "KLEM_SplitChannelsRGBA", "channel0 channel1 channel2 channel3",
     "Byte c of every pixel of self (32 bits) into channel image c (8 bits)."),
    ("from_channels_rgba", "KLEM_FromChannelsRGBA", "channel0 channel1 channel2 channel3",
     "self (32 bits) from four 8-bit channel images."),
    ("alpha_premultiply", "KLEM_AlphaPremultiply", "", "Colour bytes := colour times alpha (32 bits)."),
    ("alpha_premultiply_with_constant", "KLEM_AlphaPremultiplyWithConstant", "alpha",
     "Colour bytes := colour times a constant alpha."),
    ("alpha_overlay", "KLEM_AlphaOverlay", "source_a source_b type:composition=over",
     "self := A composed with B by their alphas (32 bits); type a name of COMPOSITION or 0..11."),
    ("alpha_overlay_with_constant", "KLEM_AlphaOverlayWithConstant",
     "source_a alpha_a source_b alpha_b type:composition=over", "The same compositions with constant alphas."),
    ("apply_alpha_channel_constant", "KLEM_ApplyAlphaChannelConstant", "alpha", "Every alpha byte := alpha."),
    ("apply_alpha_channel", "KLEM_ApplyAlphaChannel", "alpha", "The alpha bytes from an 8-bit image."),
    ("flood_fill", "KLEM_FloodFill", "x y new_value lower_tolerance=0 upper_tolerance=0 connectivity=0",
     "Paints the region connected to (x, y) (8 bits); connectivity 0: 8 neighbours, else 4."),
    ("rgb_to_cmy", "KLEM_RGBtoCMY", "", "RGB to CMY in place (24 bits)."),
    ("cmy_to_rgb", "KLEM_CMYtoRGB", "", "CMY to RGB in place (24 bits)."),
    ("rgb_to_yuv", "KLEM_RGBtoYUV", "source", "self := source from RGB to YUV (24 bits)."),
    ("yuv_to_rgb", "KLEM_YUVtoRGB", "source", "self := source from YUV to RGB."),
    ("rgb_to_xyz", "KLEM_RGBtoXYZ", "source", "self := source from RGB to XYZ."),
    ("xyz_to_rgb", "KLEM_XYZtoRGB", "source", "self := source from XYZ to RGB."),
    ("rgb_to_ycc", "KLEM_RGBtoYCC", "source", "self := source from RGB to YCC."),
    ("ycc_to_rgb", "KLEM_YCCtoRGB", "source", "self := source from YCC to RGB."),
    ("grayscale_8bit", "KLEM_Grayscale8Bit", "source", "self (8 bits) := the gray of source (24 or 1 bits)."),
    ("grayscale", "KLEM_Grayscale", "source", "self (24 bits) := the gray of source in all three bytes."),
    ("convert_to_1bit", "KLEM_ConvertTo1Bit", "source threshold=128",
     "self (1 bit) := source by error diffusion at the threshold."),
    ("gamma_correction", "KLEM_GammaCorrection", "inverse=0", "Gamma curve on every byte (24 bits)."),
    ("threshold_gt", "KLEM_ThresholdGT", "threshold", "Samples above the threshold become it."),
    ("threshold_lt", "KLEM_ThresholdLT", "threshold", "Samples below the threshold become it."),
    ("threshold_gt_val", "KLEM_ThresholdGTVal", "threshold value", "Samples above the threshold become value."),
    ("threshold_lt_val", "KLEM_ThresholdLTVal", "threshold value", "Samples below the threshold become value."),
    ("threshold_lt_val_gt_val", "KLEM_ThresholdLTValGTVal", "lower_threshold lower_value upper_threshold upper_value",
     "Below the lower threshold to one value, above the upper to another."),
    ("erode", "KLEM_Erode", "", "3x3 minimum in place."),
    ("dilate", "KLEM_Dilate", "", "3x3 maximum in place."),
    ("antialias", "KLEM_Antialias", "source", "self := source smoothed by 1 2 1 / 2 8 2 / 1 2 1 over 20."),
    ("scale_to_gray", "KLEM_ScaleToGray", "source mode=1",
     "self (8 bits) := the 1-bit source antialiased; mode 0 keeps black pixels black."),
    ("resize", "KLEM_Resize", "source width height mode:interpolation=linear",
     "self := source scaled to width x height (self created beforehand; formats 1, 8, 24)."),
    ("mirror_horizontal", "KLEM_MirrorHorizontal", "", "Left becomes right, in place."),
    ("mirror_vertical", "KLEM_MirrorVertical", "", "Top becomes bottom, in place."),
    ("rotate", "KLEM_Rotate", "source angle mode:interpolation=linear",
     "self := source turned by angle degrees (clockwise on screen), its box at (0, 0)."),
    ("rotate_center", "KLEM_RotateCenter", "source angle x_centre y_centre mode:interpolation=linear",
     "self := source turned about its pixel (x_centre, y_centre), which stays in place."),
    ("shear", "KLEM_Shear", "source x_shear y_shear mode:interpolation=linear",
     "self := source sheared (x' = x + x_shear y, y' = y_shear x + y), its box at (0, 0)."),
]

_ANNOTATIONS = {"h": "Optional[Image]", "i": "int", "u": "int", "d": "float"}


def _operation(name: str, export: str, arguments: str, doc: str):
    codes = SIGNATURES[export]
    parameter_words = []
    for word in arguments.split():
        word, _, default = word.partition("=")
        argument, _, kind = word.partition(":")
        parameter_words.append((argument, kind, default))
    assert len(parameter_words) == len(codes), export
    parameters = [inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)]
    for (argument, kind, default), code in zip(parameter_words, codes):
        annotation = "Union[int, str]" if kind else _ANNOTATIONS[code]
        value = inspect.Parameter.empty if not default else (default if kind else int(default))
        parameters.append(inspect.Parameter(argument, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                            default=value, annotation=annotation))
    signature = inspect.Signature(parameters, return_annotation="Image")
    function = getattr(lib, export)

    def method(self, *args, **kwargs):
        bound = signature.bind(self, *args, **kwargs)
        bound.apply_defaults()
        values, images = [], [self]
        for (argument, kind, _), code in zip(parameter_words, codes):
            value = bound.arguments[argument]
            if code == "h":
                images.append(value)
                value = _handle(value)
            elif kind:
                value = mode_number(value, kind)
            values.append(value)
        check(function(self._handle, *values), *images)
        return self

    method.__name__ = method.__qualname__ = name
    method.__signature__ = signature
    method.__doc__ = f"{doc}\n\nCalls {export}; raises KlemError when it fails. Returns self."
    method.__annotations__ = {p.name: p.annotation for p in parameters[1:]} | {"return": "Image"}
    method.parameter_words = parameter_words
    return method


for _entry in _OPERATIONS:
    setattr(Image, _entry[0], _operation(*_entry))
