#include "frame/library_texts.h"

#include <cstdio>
#include <cstring>

#include "kernels/cpu_detect.h"
#include "kernels/dispatch.h"

namespace klem {
namespace {

std::string TargetCode(const kernels::KernelLibraryVersion& record) {
  return std::string(record.targetCode, strnlen(record.targetCode, sizeof record.targetCode));
}

}  // namespace

std::string ComposeVersionText() {
  const kernels::KernelLibraryVersion& record = *kernels::kImageLibraryVersion();
  char text[256];
  std::snprintf(text, sizeof text, "%s %d.%d.%d.%d '%s', '%s', '%s'", kLibraryVersion,
                record.major, record.minor, record.majorBuild, record.build, record.name,
                record.version, record.buildDate);
  return text;
}

std::string ComposeProcessorDetectedText() {
  return kernels::CpuTypeText(kernels::GetCpuType());
}

std::string ComposeProcessorCodeUsedText() {
  return TargetCode(*kernels::kImageLibraryVersion()) + " " +
         TargetCode(*kernels::kSignalLibraryVersion());
}

CErrorText KernelErrorText(std::string_view message, kernels::KernelStatus status) noexcept {
  CErrorText text;
  text.Format("%.*s%s%s(%d)%s", static_cast<int>(message.size()), message.data(),
              message.empty() ? "" : " ", status < 0 ? "Error" : "Warning", status,
              kernels::StatusToText(status));
  return text;
}

std::string ComposeKernelErrorText(std::string_view message, kernels::KernelStatus status) {
  return std::string(KernelErrorText(message, status).View());
}

}  // namespace klem
