// The data controls' field lookup and link, and what each takes from its field before it
// renders; the memo's write-back of a posted text.
#include "controls/IWDBControls.h"

#include "data/DataSet.h"
#include "runtime/Graphics.h"

namespace qx {

// ---- every data control -----------------------------------------------------------------------

template <class Base>
const TClassInfo& TIWDataControl<Base>::StaticClassInfo() {
  using T = TIWDataControl<Base>;
  static const TClassInfo info =
      TClassBuilder<T>("TIWDataControl")
          .Property("DataSource", &T::DataSource, &T::SetDataSource)
          .Property("DataField", &T::DataField, &T::SetDataField)
          .Build();
  return info;
}

template <class Base>
TField* TIWDataControl<Base>::Field() const {
  if (dataField_.empty() || !dataLink_.Active()) return nullptr;
  return &dataLink_.DataSet()->FieldByName(dataField_);
}

template <class Base>
std::unique_ptr<TIWMarkupLanguageTag> TIWDataControl<Base>::RenderMarkup(TIWComponent40Context& context) {
  ReadField();
  return Base::RenderMarkup(context);
}

template <class Base>
std::unique_ptr<TIWMarkupLanguageTag> TIWDataControl<Base>::RenderUpdate(TIWComponent40Context& context) {
  ReadField();
  return Base::RenderUpdate(context);
}

template class TIWDataControl<TIWCustomLabel>;
template class TIWDataControl<TIWCustomMemo>;
template class TIWDataControl<TIWDynamicImage>;

// ---- label ------------------------------------------------------------------------------------

const TClassInfo& TIWDBLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWDBLabel>("TIWDBLabel").Creatable().Build();
  return info;
}

void TIWDBLabel::ReadField() {
  const TField* field = Field();
  SetCaption(field ? field->DisplayText() : std::string());
}

// ---- memo -------------------------------------------------------------------------------------

namespace {

// The text a memo shows of `field`.
std::string MemoFieldText(const TField& field) { return field.IsBlob() ? field.AsString() : field.Text(); }

}  // namespace

const TClassInfo& TIWDBMemo::StaticClassInfo() {
  using T = TIWDBMemo;
  static const TClassInfo info = TClassBuilder<T>("TIWDBMemo")
                                     .Creatable()
                                     .Property("AutoEditable", &T::AutoEditable, &T::SetAutoEditable)
                                     .Build();
  return info;
}

TIWDBMemo::TIWDBMemo() { TIWDBMemo::SetDefaults(); }

void TIWDBMemo::SetDefaults() {
  TIWDataControl::SetDefaults();
  autoEditable_ = false;
}

void TIWDBMemo::ReadField() {
  const TField* field = Field();
  LoadText(field ? MemoFieldText(*field) : std::string());
  if (autoEditable_) SetEditable(field && DataLink().Editing());
}

void TIWDBMemo::ApplySubmittedValue(const std::string& value) {
  TIWCustomMemo::ApplySubmittedValue(value);
  TField* field = Field();
  if (!field) return;
  const std::string text = Text();
  if (text == TextAsLoaded(MemoFieldText(*field))) return;
  DataSource()->Edit();
  field->SetAsString(text);
}

// ---- image ------------------------------------------------------------------------------------

const TClassInfo& TIWDBImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWDBImage>("TIWDBImage").Creatable().Build();
  return info;
}

void TIWDBImage::ReadField() {
  const TField* field = Field();
  const std::string bytes = field && field->IsBlob() ? field->AsBytes() : std::string();
  // The same bytes make the same picture: keeping it keeps its last conversion for output.
  if (bytes == Picture().Data()) return;
  if (!Picture().Empty()) Picture().Clear();
  try {
    Picture().SetData(bytes);
  } catch (const EInvalidGraphic&) {
    // Not a picture this image can show: it stays empty.
  }
}

}  // namespace qx
