// The render benchmark's form: sixty controls of every kind on a form and the three pages of a
// tab control (lists of 50 items, a memo of 100 lines), a picture for its dynamic image, and
// the fields a browser posts from it.
#pragma once

#include <string>
#include <string_view>

#include "controls/IWImage.h"
#include "forms/Form.h"
#include "runtime/Picture.h"
#include "runtime/StringList.h"

namespace qx {

class TIWApplication;
class TIWTabPage;

namespace bench {

// The form's size, which every post also carries.
constexpr int kFormWidth = 1000;
constexpr int kFormHeight = 700;

// Places the sixty controls on `form`. The save button's handler shows edtEcho's text in
// lblEcho. Returns the tab page that holds the pictures.
TIWTabPage& BuildBenchForm(TIWAppForm& form);

// Adds a dynamic image named imgChart to `page`, showing `picture` written as `output` at
// every render.
TIWImage& AddChart(TIWAppForm& form, TIWTabPage& page, std::string_view picture, TIWImageOutput output);

// A picture of 320 × 240 pixels in thousands of colours, as `format` bytes (gfJPEG or gfGIF).
std::string ChartPicture(TGraphicFormat format);

// The fields of the save button's post: every input control of `form` with a value of its
// kind, `echo` as edtEcho's text, and the page's own fields.
TStringList SaveFields(TIWAppForm& form, const TIWApplication& application, std::string_view echo);

// The element names of the form's visible controls that `page` holds no element of, separated
// by spaces; empty when every control is there.
std::string MissingControls(TIWAppForm& form, const std::string& page);

}  // namespace bench
}  // namespace qx
