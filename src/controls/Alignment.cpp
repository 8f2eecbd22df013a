// The alignments' names and the horizontal alignment's CSS.
#include "controls/Alignment.h"

namespace qx {

const TEnumInfo& EnumInfoOf(TAlignment) {
  static const TEnumInfo info(
      "TAlignment", {QX_ENUM(taLeftJustify), QX_ENUM(taRightJustify), QX_ENUM(taCenter)});
  return info;
}

const TEnumInfo& EnumInfoOf(TIWVerticalAlign) {
  static const TEnumInfo info("TIWVerticalAlign", {QX_ENUM(vaMiddle), QX_ENUM(vaTop),
                                                   QX_ENUM(vaBottom), QX_ENUM(vaBaseline)});
  return info;
}

std::string AlignmentCSS(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return "text-align:right;";
    case taCenter: return "text-align:center;";
    case taLeftJustify: break;
  }
  return "text-align:left;";
}

}  // namespace qx
