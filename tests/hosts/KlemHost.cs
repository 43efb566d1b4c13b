// A C# host of the library: declares what it uses with DllImport as a Windows
// program would (32-bit hosts get stdcall, the Winapi convention) and runs
// the pipeline of tests/c_host_test.c, checking the same values.
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Klem {
  const string Library = "klem";
  const CallingConvention Convention = CallingConvention.Winapi;

  [DllImport(Library, CallingConvention = Convention)]
  public static extern IntPtr KLEM_CreateCKorPelora();
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_FreeCKorPelora(IntPtr handle);
  [DllImport(Library, CallingConvention = Convention, CharSet = CharSet.Ansi)]
  public static extern uint KLEM_GetError(IntPtr handle, StringBuilder buffer);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_Create(IntPtr handle, int width, int height, uint bitsPerPixel);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_AttachNoFree(IntPtr handle, IntPtr memory, uint sizeInBytes,
                                              int width, int height, uint bitsPerPixel);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_GetImageMemory(IntPtr handle, out IntPtr memory);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_Add(IntPtr handle, IntPtr source);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_AddConstant(IntPtr handle, uint constant);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_Filter(IntPtr handle, int number, IntPtr source);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_Resize(IntPtr handle, IntPtr source, int width, int height, int mode);
  [DllImport(Library, CallingConvention = Convention)]
  public static extern uint KLEM_Rotate(IntPtr handle, IntPtr source, double angle, int mode);
}

static class KlemHost {
  static int failures = 0;

  static void Expect(bool condition, string what) {
    if (condition) return;
    Console.Error.WriteLine("failed: " + what);
    ++failures;
  }

  static int Main() {
    IntPtr a = Klem.KLEM_CreateCKorPelora(), b = Klem.KLEM_CreateCKorPelora();
    IntPtr filtered = Klem.KLEM_CreateCKorPelora(), big = Klem.KLEM_CreateCKorPelora();
    IntPtr turned = Klem.KLEM_CreateCKorPelora();
    Expect(a != IntPtr.Zero && b != IntPtr.Zero && turned != IntPtr.Zero, "handles");

    // A managed buffer, pinned while the library holds its address.
    byte[] pixels = new byte[12];
    for (int i = 0; i < pixels.Length; ++i) pixels[i] = (byte)(10 * i);
    GCHandle pin = GCHandle.Alloc(pixels, GCHandleType.Pinned);
    try {
      Expect(Klem.KLEM_AttachNoFree(a, pin.AddrOfPinnedObject(), 12, 4, 3, 8) == 0, "attach");
      Expect(Klem.KLEM_Create(b, 4, 3, 8) == 0 && Klem.KLEM_AddConstant(b, 7) == 0, "image of 7s");
      Expect(Klem.KLEM_Add(a, b) == 0, "add");
      Expect(pixels[0] == 7 && pixels[11] == 117, "add wrote the pinned buffer");
      Expect(Klem.KLEM_Create(filtered, 4, 3, 8) == 0 && Klem.KLEM_Filter(filtered, 3, a) == 0, "filter");
      Expect(Klem.KLEM_Create(big, 8, 6, 8) == 0 && Klem.KLEM_Resize(big, filtered, 8, 6, 3) == 0, "resize");
      Expect(Klem.KLEM_Create(turned, 6, 8, 8) == 0 && Klem.KLEM_Rotate(turned, big, 90.0, 5) == 0, "rotate");

      IntPtr memory;
      Expect(Klem.KLEM_GetImageMemory(turned, out memory) == 0, "image memory");
      byte[] result = new byte[48];
      Marshal.Copy(memory, result, 0, result.Length);
      int sum = 0;
      foreach (byte value in result) sum += value;
      Expect(sum == 3376, "pixel sum " + sum);
      Expect(result[5] == 7 && result[0] == 87 && result[7 * 6] == 117, "turned corners");
      Expect(result[2 * 6 + 2] == 107 && result[4 * 6 + 2] == 117 && result[2 * 6 + 4] == 17, "turned inner pixels");

      var error = new StringBuilder(1024);
      Expect(Klem.KLEM_Add(a, big) == 1, "add of different sizes fails");
      Expect(Klem.KLEM_GetError(a, error) == 0 && error.ToString() == "Pictures of different size!",
             "error text '" + error + "'");
    } finally {
      foreach (IntPtr handle in new[] { turned, big, filtered, b, a }) Klem.KLEM_FreeCKorPelora(handle);
      pin.Free();
    }
    Expect(Klem.KLEM_FreeCKorPelora(IntPtr.Zero) == 0x80070057u, "null handle");
    if (failures == 0) Console.WriteLine("C# host: all checks held");
    return failures == 0 ? 0 : 1;
  }
}
