#include "frame/pelora.h"

#include "frame/library_texts.h"
#include "kernels/cpu_detect.h"
#include "kernels/dispatch.h"

namespace klem {

CPelora::CPelora() {
  kernels::InitKernelDispatch();
  versionText_ = ComposeVersionText();
  processorDetectedText_ = ComposeProcessorDetectedText();
  processorCodeUsedText_ = ComposeProcessorCodeUsedText();
}

void CPelora::SetKernelError(std::string_view message, kernels::KernelStatus status) {
  if (status != kernels::kStsNoErr) SetErrorText(KernelErrorText(message, status).View());
}

const std::string& CPelora::RefreshProcessorDetailsText() {
  processorDetailsText_ = kernels::ProcessorDetailsText();
  return processorDetailsText_;
}

const char* CPelora::ReturnText(const std::string& text) {
  returnedText_ = text;
  return returnedText_.c_str();
}

}  // namespace klem
