"""The package against numpy's own expressions and against direct calls of
the library's exports."""
import ctypes
import re
import gc

import numpy as np
import pytest

import klem
from klem._native import lib

rng = np.random.default_rng(12)
G, G2 = (rng.integers(0, 256, (23, 37), dtype=np.uint8) for _ in range(2))
C, C2 = (rng.integers(0, 256, (23, 37, 3), dtype=np.uint8) for _ in range(2))
A = rng.integers(0, 256, (23, 37, 4), dtype=np.uint8)
W = rng.integers(0, 65536, (23, 37, 3), dtype=np.uint16)


def sat(values):
    return np.clip(values, 0, 255).astype(np.uint8)


def wide(a):
    return a.astype(np.int64)


def mul(x, y):  # the alpha product, about x * y / 255
    t = wide(x) * y
    return ((t + (t >> 8) + 1) >> 8).astype(np.uint8)


def inner(a, window, combine):
    """a with the inner region (where a window x window neighbourhood fits) := combine of the stacked neighbours."""
    r, out = window // 2, a.copy()
    h, w = a.shape[:2]
    stack = np.stack([a[dy:h - 2 * r + dy, dx:w - 2 * r + dx] for dy in range(window) for dx in range(window)])
    out[r:h - r, r:w - r] = combine(stack)
    return out


GAUSS3 = np.outer([1, 2, 1], [1, 2, 1]).ravel()
WALL = np.zeros((6, 6), np.uint8)
WALL[:, 3] = 9

# name, the package's result, numpy's expression of it.
NUMPY_CASES = [
    ("add", lambda: klem.add(G, G2), lambda: sat(wide(G) + G2)),
    ("subtract colour", lambda: klem.subtract(C, C2), lambda: sat(wide(C) - C2)),
    ("add_constant packed", lambda: klem.add_constant(C, 0x102030), lambda: sat(wide(C) + [0x30, 0x20, 0x10])),
    ("multiply", lambda: klem.multiply(G, G2), lambda: sat(wide(G) * G2)),
    ("difference", lambda: klem.difference(C, C2), lambda: np.abs(wide(C) - C2).astype(np.uint8)),
    ("bitwise_xor", lambda: klem.bitwise_xor(G, G2), lambda: G ^ G2),
    ("bitwise_and_constant", lambda: klem.bitwise_and_constant(G, 0x0F), lambda: G & 0x0F),
    ("invert", lambda: klem.invert(C), lambda: 255 - C),
    ("scale", lambda: klem.scale(G, 2), lambda: G >> 2),
    ("hdr_scale_down", lambda: klem.hdr_scale_down(W), lambda: ((wide(W) - (W >> 8) + 128) >> 8).astype(np.uint8)),
    ("fill", lambda: klem.fill(C, 0x030201), lambda: np.broadcast_to(np.uint8([1, 2, 3]), C.shape)),
    ("crop", lambda: klem.crop(C, 10, 12, 3, 4), lambda: C[4:13, 3:11]),
    ("crop_to", lambda: klem.crop_to(G, G2, 0, 0, 4, 5, 7, 8),
     lambda: np.concatenate([G[:8], np.hstack([G[8:14, :7], G2[:6, :5], G[8:14, 12:]]), G[14:]])),
    ("const border", lambda: klem.copy_with_const_border(G, 2, 3, 4, 1, 9),
     lambda: np.pad(G, ((3, 1), (2, 4)), constant_values=9)),
    ("replicate border", lambda: klem.copy_with_replicate_border(C, 2, 3, 4, 1),
     lambda: np.pad(C, ((3, 1), (2, 4), (0, 0)), mode="edge")),
    ("split_channels", lambda: np.dstack(klem.split_channels(A)), lambda: A),
    ("from_channels", lambda: klem.from_channels(C[..., 0], C[..., 1], C[..., 2]), lambda: C),
    ("swap_channels", lambda: klem.swap_channels(C, [2, 1, 0]), lambda: C[..., ::-1]),
    ("rgb_to_bgr flipped", lambda: klem.rgb_to_bgr(C, flip=True), lambda: C[::-1, :, ::-1]),
    ("alpha_premultiply", lambda: klem.alpha_premultiply(A),
     lambda: np.dstack([mul(A[..., :3], A[..., 3:]), A[..., 3]])),
    ("apply_alpha_channel", lambda: klem.apply_alpha_channel(A, G), lambda: np.dstack([A[..., :3], G])),
    ("rgb_to_cmy", lambda: klem.rgb_to_cmy(C), lambda: 255 - C),
    ("grayscale_8bit", lambda: klem.grayscale_8bit(C),
     lambda: ((1225 * wide(C[..., 0]) + 2404 * wide(C[..., 1]) + 467 * wide(C[..., 2])) >> 12).astype(np.uint8)),
    ("threshold_gt", lambda: klem.threshold_gt(G, 100), lambda: np.minimum(G, 100)),
    ("threshold_lt_val_gt_val", lambda: klem.threshold_lt_val_gt_val(G, 50, 0, 200, 255),
     lambda: np.where(G > 200, 255, np.where(G < 50, 0, G)).astype(np.uint8)),
    ("dilate", lambda: klem.dilate(G), lambda: inner(G, 3, lambda s: s.max(axis=0))),
    ("filter median by name", lambda: klem.filter(C, "median3x3"),
     lambda: inner(C, 3, lambda s: np.median(s, axis=0).astype(np.uint8))),
    ("filter gauss3x3 by number", lambda: klem.filter(G, 22),
     lambda: inner(G, 3, lambda s: np.round(np.tensordot(GAUSS3, wide(s), 1) / 16).astype(np.uint8))),
    ("mirror_horizontal", lambda: klem.mirror_horizontal(C), lambda: C[:, ::-1]),
    ("mirror_vertical", lambda: klem.mirror_vertical(G), lambda: G[::-1]),
    ("rotate by 90, exact", lambda: klem.rotate(C, 90, "smooth_edge"), lambda: np.rot90(C, -1)),
    ("flood_fill, 4 neighbours", lambda: klem.flood_fill(WALL, 0, 0, 5, 0, 0, 1),
     lambda: np.where(np.arange(6) < 3, 5, WALL).astype(np.uint8)),
    ("vector_add", lambda: klem.vector_add(W[0] / 7.0, [1, -2, 0.5]), lambda: W[0] / 7.0 + [1, -2, 0.5]),
    ("vector_mul", lambda: klem.vector_mul(W[0] / 7.0, [3, 0, -1]), lambda: W[0] / 7.0 * [3, 0, -1]),
    ("vector_mul_matrix", lambda: klem.vector_mul_matrix(np.arange(9.0).reshape(3, 3), W[0] / 3.0),
     lambda: W[0] / 3.0 @ np.arange(9.0).reshape(3, 3).T),
]


@pytest.mark.parametrize("got, expected", [c[1:] for c in NUMPY_CASES], ids=[c[0] for c in NUMPY_CASES])
def test_against_numpy(got, expected):
    result, wanted = got(), expected()
    assert result.shape == wanted.shape and result.dtype == wanted.dtype
    np.testing.assert_array_equal(result, wanted)


def raw_handle(array, bits=None, width=None):
    """A handle attached to the array through the bare export, not through the package."""
    bits = bits or {(1, 2): 8, (1, 3): 8 * array.shape[-1], (2, 2): 16, (2, 3): 48}[(array.itemsize, array.ndim)]
    handle = lib.KLEM_CreateCKorPelora()
    status = lib.KLEM_AttachNoFree(handle, array.ctypes.data, array.nbytes, width or array.shape[1],
                                   array.shape[0], bits)
    assert status == 0
    return handle


def c_result(export, destination, *args):
    """destination after the export ran on it; image arrays become handles, other arrays pointers.
    destination may be (array, bits, width) for a packed format."""
    destination, *layout = destination if isinstance(destination, tuple) else (destination,)
    handles = [raw_handle(destination, *layout)]
    values = []
    for a in args:
        if isinstance(a, np.ndarray) and a.dtype in (np.uint8, np.uint16) and a.ndim >= 2:
            handles.append(raw_handle(a))
            values.append(handles[-1])
        else:
            values.append(ctypes.c_void_p(a.ctypes.data) if isinstance(a, np.ndarray) else a)
    status = getattr(lib, export)(handles[0], *values)
    for handle in handles:
        lib.KLEM_FreeCKorPelora(handle)
    assert status == 0
    return destination


def box_blank(box, like):
    return np.zeros((int(np.floor(box[3] - box[1])) + 1, int(np.floor(box[2] - box[0])) + 1) + like.shape[2:],
                    like.dtype)


QUAD = [2.0, 1.0, 30.0, 4.0, 35.0, 20.0, 1.0, 18.0]
COEFFS = klem.warp_perspective_coefficients(G, QUAD)
CURVE = np.int32([0, 64, 192, 255]), np.int32([10, 40, 230, 250])
KERNEL = np.int32([[1, 0, -1], [2, 0, -2], [1, 0, -1], [0, 1, 0]])
MASK = np.uint8([[0, 1, 0], [1, 1, 1], [0, 1, 0]])

# name, the package's result, a direct call of the export: (export, destination, arguments).
C_CASES = [
    ("resize cubic", lambda: klem.resize(C, (50, 17), "cubic"),
     lambda: ("KLEM_Resize", np.zeros((17, 50, 3), np.uint8), C, 50, 17, 2)),
    ("resize supersample", lambda: klem.resize(G, (11, 9), mode=4),
     lambda: ("KLEM_Resize", np.zeros((9, 11), np.uint8), G, 11, 9, 4)),
    ("rotate 30", lambda: klem.rotate(G, 30),
     lambda: ("KLEM_Rotate", box_blank(klem.rotate_box(G, 30), G), G, 30.0, 1)),
    ("rotate_center nearest", lambda: klem.rotate_center(C, -20, 5, 6, "nearest"),
     lambda: ("KLEM_RotateCenter", np.zeros_like(C), C, -20.0, 5, 6, 3)),
    ("shear", lambda: klem.shear(C, 0.3, -0.2, "cubic"),
     lambda: ("KLEM_Shear", box_blank(klem.shear_box(C, 0.3, -0.2), C), C, 0.3, -0.2, 2)),
    ("warp_perspective", lambda: klem.warp_perspective(G, COEFFS),
     lambda: ("KLEM_WarpPerspective", box_blank(klem.warp_perspective_box(G, COEFFS), G), G, COEFFS, 9, 1)),
    ("look_up_table_8bit cubic", lambda: klem.look_up_table_8bit(G, CURVE[1], CURVE[0], "cubic"),
     lambda: ("KLEM_LookUpTable8Bit", np.zeros_like(G), G, CURVE[1], CURVE[0], 4, 2)),
    ("look_up_table", lambda: klem.look_up_table(C, *CURVE, *CURVE, *CURVE, mode="step"),
     lambda: ("KLEM_LookUpTable", np.zeros_like(C), C, *CURVE, 4, *CURVE, 4, *CURVE, 4, 0)),
    ("filter_user_defined", lambda: klem.filter_user_defined(C, KERNEL, 1, 2, 3),
     lambda: ("KLEM_FilterUserDefined", np.zeros_like(C), C, KERNEL, 3, 4, 1, 2, 3)),
    ("erode_ex", lambda: klem.erode_ex(G, MASK), lambda: ("KLEM_ErodeEx", G.copy(), ctypes.c_void_p(MASK.ctypes.data), 3, 3)),
    ("convert_to_1bit", lambda: klem.convert_to_1bit(C, 100),
     lambda: ("KLEM_ConvertTo1Bit", (np.zeros((23, 5), np.uint8), 1, 37), C, 100)),
    ("rgb_to_yuv", lambda: klem.rgb_to_yuv(C), lambda: ("KLEM_RGBtoYUV", np.zeros_like(C), C)),
    ("gamma_correction", lambda: klem.gamma_correction(C, 1), lambda: ("KLEM_GammaCorrection", C.copy(), 1)),
    ("antialias", lambda: klem.antialias(G), lambda: ("KLEM_Antialias", np.zeros_like(G), G)),
    ("alpha_overlay atop", lambda: klem.alpha_overlay(A, A[::-1].copy(), "atop"),
     lambda: ("KLEM_AlphaOverlay", np.zeros_like(A), A, A[::-1].copy(), 3)),
    ("alpha_overlay_with_constant", lambda: klem.alpha_overlay_with_constant(C, 200, C2, 90, "premultiplied_xor"),
     lambda: ("KLEM_AlphaOverlayWithConstant", np.zeros_like(C), C, 200, C2, 90, 10)),
    ("divide_constant", lambda: klem.divide_constant(G, 3), lambda: ("KLEM_DivideConstant", G.copy(), 3)),
]


@pytest.mark.parametrize("got, call", [c[1:] for c in C_CASES], ids=[c[0] for c in C_CASES])
def test_against_the_exports(got, call):
    np.testing.assert_array_equal(got(), c_result(*call()))


def test_zero_copy_both_ways():
    pixels = np.zeros((5, 7, 3), np.uint8)
    image = klem.Image.from_array(pixels)
    image.fill(0x030201)
    assert (pixels == [1, 2, 3]).all()
    pixels[4, 6] = 9
    assert image.array[4, 6].tolist() == [9, 9, 9] and np.shares_memory(image.array, pixels)
    assert image.address == pixels.ctypes.data
    kept = klem.Image.from_array(np.full((3, 3), 4, np.uint8))  # the image keeps its array alive
    gc.collect()
    assert kept.invert().array.tolist() == [[251] * 3] * 3


@pytest.mark.parametrize("dtype, shape, bits", [(np.uint8, (4, 6), 8), (np.uint8, (4, 6, 3), 24),
                                                (np.uint8, (4, 6, 4), 32), (np.uint16, (4, 6), 16),
                                                (np.uint16, (4, 6, 3), 48)])
def test_formats_and_shapes(dtype, shape, bits):
    with klem.Image.from_array(np.zeros(shape, dtype)) as attached, klem.Image.create(6, 4, bits) as made:
        for image in (attached, made):
            assert (image.width, image.height, image.bits) == (6, 4, bits)
            assert image.array.shape == shape and image.array.dtype == dtype
            assert image.size_in_bytes == np.zeros(shape, dtype).nbytes


def test_packed_and_row_length_formats():
    with klem.Image.create(9, 2, 1) as bits, klem.Image.from_array(np.zeros((4, 40), np.uint8), 25, 10) as rows:
        assert bits.array.shape == (2, 2) and bits.width == 9
        assert (rows.width, rows.width_bytes, rows.array.shape) == (10, 40, (4, 40))


@pytest.mark.parametrize("array, why", [(np.zeros((4, 6, 3), np.uint8)[:, ::2], "C-contiguous"),
                                        (np.zeros((4, 6), np.float32), "no image"),
                                        (np.zeros((4, 6, 2), np.uint8), "no image"),
                                        (np.broadcast_to(np.uint8(1), (4, 6)), "")])
def test_arrays_that_cannot_be_attached(array, why):
    with pytest.raises(ValueError, match=why):
        klem.Image.from_array(array)


def failing_warp():
    destination, source = klem.Image.create(4, 4), klem.Image.create(4, 4)
    destination.warp_perspective(source, [1.0] * 8)  # the library keeps this text on the source


def closed_image():
    image = klem.Image.create(2, 2)
    image.close()
    image.invert()


ERROR_CASES = [
    (lambda: klem.add(G, C[..., 0].copy()[:5]), 1, "Pictures of different size!"),
    (lambda: klem.Image.create(0, 10, 8), 1, "Invalid Size!"),
    (lambda: klem.Image.create(5, 3, 9), 1, "Invalid bits per pixel value!"),
    (lambda: klem.Image.create(3, 3).add(None), 1, "Invalid source image handle!"),
    (lambda: klem.resize(G, (4, 4), "smooth_edge"), 1, "Unsupported interpolation mode!"),
    (lambda: klem.divide_constant(G, 0), 1, "Can't divide constant! Error(-10)"),
    (failing_warp, 1, "coeffs must be an array of 9 double values!"),
    (closed_image, 0x80070057, "invalid argument"),
]


@pytest.mark.parametrize("call, status, text", ERROR_CASES)
def test_errors_raise_with_the_library_text(call, status, text):
    with pytest.raises(klem.KlemError) as caught:
        call()
    assert caught.value.status == status and str(caught.value).startswith(text)


def test_mode_names_and_texts():
    with pytest.raises(ValueError, match="gauss5x5"):
        klem.filter(G, "gaus5x5")
    assert klem.FILTERS["gauss5x5"] == 23 and klem.INTERPOLATION["cubic"] == 2
    assert klem.version.startswith("5.0.5.6 ") and klem.processor_detected and klem.processor_code_used
    with klem.Image() as image:
        assert image.version == klem.version and image.error_text == ""
        image.error_text = "abc"
        assert image.error_text == "abc"
        image.scale_factor = 3
        assert image.clear().scale_factor == 3
    with pytest.raises(ValueError, match="closed"):
        image.width


def test_10000_images_do_not_leak():
    def rss():
        with open("/proc/self/statm") as statm:
            return int(statm.read().split()[1]) * 4096

    def churn(count):
        for i in range(count):
            if i % 2:
                with klem.Image.create(64, 64, 24) as image:
                    image.fill(i)
            else:
                klem.Image.from_array(np.zeros((64, 64, 3), np.uint8)).invert()  # freed by the finaliser
        gc.collect()

    churn(500)
    before = rss()
    churn(10000)
    # 10,000 images of 12 KiB each would be about 120 MB if they were kept.
    assert rss() - before < 16 * 2**20


def test_as_opencv_does():
    cv2 = pytest.importorskip("cv2")
    np.testing.assert_array_equal(klem.add(C, C2), cv2.add(C, C2))
    np.testing.assert_array_equal(klem.difference(G, G2), cv2.absdiff(G, G2))
    np.testing.assert_array_equal(klem.mirror_horizontal(C), cv2.flip(C, 1))


def test_every_export_is_declared_and_reached():
    from pathlib import Path
    from klem._native import SIGNATURES
    root = Path(__file__).resolve().parents[1]
    header = (root.parent / "include" / "klem" / "klem.h").read_text()
    assert sorted(SIGNATURES) == sorted(re.findall(r"KLEM_API \w+\*? KLEM_CALL (\w+)\(", header))
    sources = "".join(p.read_text() for p in (root / "klem").glob("*.py") if p.name != "_native.py")
    assert [name for name in SIGNATURES if name not in sources] == []


def test_vector_object_texts_and_errors():
    with klem.VectorMath() as vectors:
        assert vectors.version == klem.vector_version and vectors.processor_code_used
        vectors.error_text = "abc"
        assert vectors.error_text == "abc"
        with pytest.raises(klem.KlemError, match="without an error text") as caught:
            vectors.add(np.zeros((0, 3)), [1, 2, 3])  # a count of 0 fails and leaves no text
        assert caught.value.status == 1 and vectors.error_text == ""


def test_filter_regions():
    with klem.Image.create(10, 8, 24) as image:
        assert image.filter_border(5, 3) == (2, 1) and image.filter_border(5, 3, anchor=(4, 0)) == (4, 0)
        # offset = anchor row * row bytes + anchor column * pixel bytes; (W - kw + 1) x (H - kh + 1)
        assert image.roi_for_filter(3, 5) == (2 * 30 + 3, 8, 4)
        assert image.roi_for_filter(3, 5, anchor=(0, 4)) == (4 * 30, 8, 4)
