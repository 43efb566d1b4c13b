"""Loads the klem shared library and declares every export from one table."""
from __future__ import annotations

import ctypes
import os
from pathlib import Path

# Argument codes: h handle, i int32, u uint32, d double, p pointer to memory
# (arrays and out values), s text. Every export returns a uint32 status,
# except the two that make handles (marked "-> h").
_SIGNATURES = """
KLEM_CreateCKorPelora -> h
KLEM_FreeCKorPelora h
KLEM_GetError h p
KLEM_SetError h s
KLEM_GetVersion h p
KLEM_GetProcessorDetected h p
KLEM_GetProcessorCodeUsed h p
KLEM_GetProcessorDetails h p
KLEM_GetScaleFactor h p
KLEM_SetScaleFactor h i
KLEM_Create h i i u
KLEM_AttachNoFree h p u i i u
KLEM_AttachNoFreeEx h p u i i i u
KLEM_Clear h
KLEM_GetWidth h p
KLEM_GetHeight h p
KLEM_GetBitsPerPixel h p
KLEM_GetWidthBytes h p
KLEM_GetImageMemory h p
KLEM_GetImageSizeInBytes h p
KLEM_Add h h
KLEM_AddConstant h u
KLEM_Subtract h h
KLEM_SubtractConstant h u
KLEM_Multiply h h
KLEM_MultiplyConstant h u
KLEM_Divide h h
KLEM_DivideConstant h u
KLEM_Difference h h h
KLEM_DifferenceConstant h h u
KLEM_And h h
KLEM_AndConstant h u
KLEM_Or h h
KLEM_OrConstant h u
KLEM_Xor h h
KLEM_XorConstant h u
KLEM_Invert h
KLEM_Scale h u u u u
KLEM_HDRScaleDown h h
KLEM_Fill h u
KLEM_Copy h h
KLEM_CopyWithMask h h h
KLEM_Crop h h i i i i
KLEM_CropTo h h i i i i i i
KLEM_CopyWithConstBorder h h i i u
KLEM_CopyWithReplicateBorder h h i i
KLEM_SplitChannels h h h h
KLEM_FromChannels h h h h
KLEM_SplitChannelsRGBA h h h h h
KLEM_FromChannelsRGBA h h h h h
KLEM_SwapChannels h h p i
KLEM_AlphaPremultiply h
KLEM_AlphaPremultiplyWithConstant h u
KLEM_AlphaOverlay h h h i
KLEM_AlphaOverlayWithConstant h h u h u i
KLEM_ApplyAlphaChannelConstant h u
KLEM_ApplyAlphaChannel h h
KLEM_FloodFill h i i i i i i
KLEM_RGBtoCMY h
KLEM_CMYtoRGB h
KLEM_RGBtoYUV h h
KLEM_YUVtoRGB h h
KLEM_RGBtoXYZ h h
KLEM_XYZtoRGB h h
KLEM_RGBtoYCC h h
KLEM_YCCtoRGB h h
KLEM_RGBtoBGR h p i p i i i i
KLEM_RGBAtoBGRA h p i p i i i i
KLEM_Grayscale8Bit h h
KLEM_Grayscale h h
KLEM_ConvertTo1Bit h h u
KLEM_GammaCorrection h i
KLEM_LookUpTable8Bit h h p p i i
KLEM_LookUpTable h h p p i p p i p p i i
KLEM_ThresholdGT h i
KLEM_ThresholdLT h i
KLEM_ThresholdGTVal h i i
KLEM_ThresholdLTVal h i i
KLEM_ThresholdLTValGTVal h i i i i
KLEM_Erode h
KLEM_Dilate h
KLEM_ErodeEx h p i i
KLEM_DilateEx h p i i
KLEM_Filter h i h
KLEM_GetRoiForFilter h i i p p p
KLEM_GetRoiForFilterEx h i i i i p p p
KLEM_GetFilterBorder h i i p p
KLEM_GetFilterBorderEx h i i i i p p
KLEM_FilterUserDefined h h p i i i i i
KLEM_Antialias h h
KLEM_ScaleToGray h h i
KLEM_Resize h h i i i
KLEM_MirrorHorizontal h
KLEM_MirrorVertical h
KLEM_Rotate h h d i
KLEM_RotateCenter h h d i i i
KLEM_Shear h h d d i
KLEM_WarpPerspective h h p i i
KLEM_RotateBox h h d p p p p
KLEM_ShearBox h h d d p p p p
KLEM_WarpPerspectiveCoefficients h h p i p i
KLEM_WarpPerspectiveBox h h p i p p p p
ZEV_CreateCFastMath -> h
ZEV_FreeCFastMath h
ZEV_GetError h p
ZEV_SetError h s
ZEV_GetVersion h p
ZEV_GetProcessorDetected h p
ZEV_GetProcessorCodeUsed h p
ZEV_Add h p i p p i
ZEV_Sub h p i p p i
ZEV_Mul h p i p p i
ZEV_MulMatrix h p i i p i p i
"""

_TYPES = {"h": ctypes.c_void_p, "i": ctypes.c_int32, "u": ctypes.c_uint32,
          "d": ctypes.c_double, "p": ctypes.c_void_p, "s": ctypes.c_char_p}

SONAME = "libklem.so.5"


def _candidates() -> list[str]:
    """Where the library is looked for, in order: beside this package (an
    install that bundled it), KLEM_LIBRARY, then the system's search path."""
    found = [str(p) for p in sorted(Path(__file__).parent.glob("libklem.so*"))]
    if os.environ.get("KLEM_LIBRARY"):
        found.append(os.environ["KLEM_LIBRARY"])
    found.append(SONAME)
    return found


def _load() -> ctypes.CDLL:
    reasons = []
    for candidate in _candidates():
        try:
            return ctypes.CDLL(candidate)
        except OSError as error:
            reasons.append(f"{candidate}: {error}")
    raise ImportError("klem: libklem.so not found (install the package with KLEM_LIBRARY set, "
                      "set KLEM_LIBRARY to the library, or install it on the system path):\n  "
                      + "\n  ".join(reasons))


def _declare(library: ctypes.CDLL) -> None:
    for line in _SIGNATURES.strip().splitlines():
        name, *codes = line.split()
        function = getattr(library, name)
        if codes == ["->", "h"]:
            function.restype, function.argtypes = ctypes.c_void_p, []
        else:
            function.restype = ctypes.c_uint32
            function.argtypes = [_TYPES[code] for code in codes]


lib = _load()
_declare(lib)
# Export name -> its argument codes after the handle ("" for the two constructors).
SIGNATURES = {name: "".join(codes[1:]) if codes[:1] == ["h"] else ""
              for name, *codes in (line.split() for line in _SIGNATURES.strip().splitlines())}
