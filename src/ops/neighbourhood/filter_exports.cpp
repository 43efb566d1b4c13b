// Exported functions of the built-in filters and of the region and border
// functions, which read nothing but the image's geometry and validate nothing:
// a window larger than the image gives the zero or negative sizes it implies.
#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "klem/klem.h"
#include "ops/neighbourhood/filter_frame.h"

using klem::CPelora;
using klem::RunMemberWithSources;
using klem::ops::FilterMargins;

namespace {

// Null pointers are refused before anything is written.
uint32_t WriteRegion(KLEM_HANDLE handle, FilterMargins margins, int32_t* offset, int32_t* width,
                     int32_t* height) {
  if (handle == nullptr || offset == nullptr || width == nullptr || height == nullptr) {
    return klem::kResultInvalidArgument;
  }
  const CPelora& image = *klem::ObjectOf<CPelora>(handle);
  const klem::kernels::ROI region = klem::ops::RegionInside(image, margins);
  *offset = static_cast<int32_t>(klem::ops::RegionOffset(image, margins));
  *width = region.width;
  *height = region.height;
  return klem::kResultOk;
}

uint32_t WriteBorder(KLEM_HANDLE handle, int32_t columns, int32_t rows, int32_t* outColumns,
                     int32_t* outRows) {
  if (handle == nullptr || outColumns == nullptr || outRows == nullptr) return klem::kResultInvalidArgument;
  *outColumns = columns;
  *outRows = rows;
  return klem::kResultOk;
}

// A window with its anchor at (column, row): the region starts there.
FilterMargins AnchoredMargins(int32_t width, int32_t height, int32_t column, int32_t row) {
  return {column, row, int64_t{width} - column - 1, int64_t{height} - row - 1};
}

}  // namespace

extern "C" {

KLEM_API uint32_t KLEM_CALL KLEM_Filter(KLEM_HANDLE handle, int32_t number, KLEM_HANDLE source) {
  return RunMemberWithSources<CPelora>(
      handle, [=](CPelora& o, CPelora& s) { return o.Filter(number, s); }, source);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetRoiForFilter(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                 int32_t* offset, int32_t* width, int32_t* height) {
  return WriteRegion(handle, klem::ops::CentredMargins(kernelWidth, kernelHeight), offset, width, height);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetRoiForFilterEx(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                   int32_t anchorColumn, int32_t anchorRow, int32_t* offset,
                                                   int32_t* width, int32_t* height) {
  return WriteRegion(handle, AnchoredMargins(kernelWidth, kernelHeight, anchorColumn, anchorRow), offset,
                     width, height);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetFilterBorder(KLEM_HANDLE handle, int32_t kernelWidth, int32_t kernelHeight,
                                                 int32_t* columns, int32_t* rows) {
  return WriteBorder(handle, kernelWidth / 2, kernelHeight / 2, columns, rows);
}

KLEM_API uint32_t KLEM_CALL KLEM_GetFilterBorderEx(KLEM_HANDLE handle, int32_t, int32_t, int32_t anchorColumn,
                                                   int32_t anchorRow, int32_t* columns, int32_t* rows) {
  return WriteBorder(handle, anchorColumn, anchorRow, columns, rows);
}

}  // extern "C"
