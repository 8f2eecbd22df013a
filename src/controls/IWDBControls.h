// The data-aware controls: TIWDBLabel, TIWDBMemo and TIWDBImage show a field of the current
// record of their data source, read again before every rendering; the memo can write it back.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "controls/IWDataLink.h"
#include "controls/IWImage.h"
#include "controls/IWLabel.h"
#include "controls/IWMemo.h"
#include "data/Field.h"

namespace qx {

// What every data control adds to its base control: the link to its data source, the name of
// its field, and the reading of that field before each full page or partial update.
template <class Base>
class TIWDataControl : public Base {
  QX_CLASS(TIWDataControl, Base)

 public:
  TDataSource* DataSource() const noexcept { return dataLink_.DataSource(); }
  void SetDataSource(TDataSource* source) { dataLink_.SetDataSource(source); }
  const std::string& DataField() const noexcept { return dataField_; }
  void SetDataField(std::string_view field) { this->SetProperty(dataField_, field); }

  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  std::unique_ptr<TIWMarkupLanguageTag> RenderUpdate(TIWComponent40Context& context) override;

 protected:
  TIWDataControl() = default;

  // The field the control shows: none unless the data source has a dataset that is open and
  // DataField is set; a name the dataset does not know fails with EDatabaseError
  // "Field '<name>' not found".
  TField* Field() const;
  const TDataLink& DataLink() const noexcept { return dataLink_; }
  // Takes what the field holds now (called before every rendering).
  virtual void ReadField() = 0;

 private:
  TIWDataLink dataLink_{*this};
  std::string dataField_;
};

// A label showing its field's display text (empty without a field), escaped like any caption.
class TIWDBLabel : public TIWDataControl<TIWCustomLabel> {
  QX_CLASS(TIWDBLabel, TIWDataControl<TIWCustomLabel>)

 public:
  TIWDBLabel() = default;

 protected:
  void ReadField() override;
};

// A memo showing its field's text: a memo or blob field's whole content, any other field's
// edit text. An editable memo writes a posted text that differs from the field's back to it,
// putting the dataset into edit state (posting the dataset is the application's business).
class TIWDBMemo : public TIWDataControl<TIWCustomMemo> {
  QX_CLASS(TIWDBMemo, TIWDataControl<TIWCustomMemo>)

 public:
  TIWDBMemo();

  // Editable follows the dataset: true exactly while it is in edit or insert state.
  bool AutoEditable() const noexcept { return autoEditable_; }
  void SetAutoEditable(bool automatic) { SetProperty(autoEditable_, automatic); }

  void SetDefaults() override;
  // The memo's own handling, then the write-back. Texts compare as the memo shows them (line
  // breaks as CR LF, the last one only when the text has one), so posting a memo unchanged
  // neither edits the dataset nor adds a line break to the stored text.
  void ApplySubmittedValue(const std::string& value) override;

 protected:
  void ReadField() override;

 private:
  bool autoEditable_ = false;
};

// An image showing the picture stored in a blob field. JPEG (bytes starting FF D8) and GIF
// pictures are shown; anything else (another picture format, damaged or foreign bytes), a
// missing value and a field that is not a blob leave the picture empty, which renders as an
// empty span: one bad photograph must not fail the whole page.
class TIWDBImage : public TIWDataControl<TIWDynamicImage> {
  QX_CLASS(TIWDBImage, TIWDataControl<TIWDynamicImage>)

 public:
  TIWDBImage() = default;

 protected:
  void ReadField() override;
};

extern template class TIWDataControl<TIWCustomLabel>;
extern template class TIWDataControl<TIWCustomMemo>;
extern template class TIWDataControl<TIWDynamicImage>;

}  // namespace qx
