// TAlignment: the horizontal alignment of a control's text (labels, edits, rectangles, grid
// cells), with its name table and the CSS it is written as; TIWVerticalAlign, the vertical one
// of rectangles and grid cells.
#pragma once

#include <string>

#include "runtime/Enums.h"

namespace qx {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
const TEnumInfo& EnumInfoOf(TAlignment);

// "text-align:left;", "text-align:right;" or "text-align:center;".
std::string AlignmentCSS(TAlignment alignment);

enum TIWVerticalAlign : int { vaMiddle, vaTop, vaBottom, vaBaseline };
const TEnumInfo& EnumInfoOf(TIWVerticalAlign);

}  // namespace qx
