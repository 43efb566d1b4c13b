// Texts that describe the library and the processor, shared by the image and
// the vector-math objects.
#pragma once

#include <string>
#include <string_view>

#include "frame/error_text.h"
#include "kernels/kernel_types.h"

namespace klem {

inline constexpr const char* kLibraryVersion = "5.0.5.6";

// "5.0.5.6 3.2.58.411 'krnimg_g0.lib', '3.2 Release 4 build 58.11', 'Jun 02 2010'"
// with the image kernel record of the current code path.
std::string ComposeVersionText();
// The classification text of this processor.
std::string ComposeProcessorDetectedText();
// Target codes of the image and signal kernel records, e.g. "s41 s41".
std::string ComposeProcessorCodeUsedText();

// "<message> Error(<n>)<status text>", or Warning(<n>) for a positive status;
// the message and its blank are left out when the message is empty. Composed
// without the heap, so that reporting a kernel's failure cannot fail.
CErrorText KernelErrorText(std::string_view message, kernels::KernelStatus status) noexcept;
// The same text as a string.
std::string ComposeKernelErrorText(std::string_view message, kernels::KernelStatus status);

}  // namespace klem
