// The server side of a post: how a form processes its posted values (browser size, the
// values written into their controls, the action of the control that caused the post, the
// default action, callbacks), and the field-name search that finds the controls of a field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/Interfaces.h"

namespace qx {

class TIWBaseForm;
class THTTPFile;

extern const char* const kCannotFindSubmitComponent;  // "Cannot find submit component."
extern const char* const kSubmitControlWithoutHandler;  // Format: the element name
extern const char* const kFollowingExceptions;  // Format: "s" or "", the recorded lines

// A control that posts a file receives the uploaded file of its field (none when the post
// carried no file for it).
class IIWFileField {
 public:
  virtual void ApplyUploadedFile(THTTPFile* file) = 0;
  // The implementing control returns itself, also as IIWBaseComponent::AsFileField.
  virtual IIWFileField* AsFileField() noexcept = 0;

 protected:
  ~IIWFileField() = default;
};

// The components of `form` a posted field belongs to (`name` in upper case): the component of
// that name when the form has one; otherwise every component whose OwnsField accepts the
// name, in every container and frame, and inside a frame the component whose name followed
// by the frame's name is the field name.
std::vector<IIWBaseComponent*> FindFieldComponents(TIWBaseForm& form, std::string_view name);

// Writes the posted values (`values`, the form's posted-values list) into the controls: the
// form's hidden fields first, repeated names merged ("a,b"), each line given to one control
// that takes input, is editable and visible. A control that rejects its value does not stop
// the others; afterwards all rejections fail together with kFollowingExceptions. Returns
// whether the post was relayed by the file-upload helper ("IW_MainPageSubmitControl").
bool ApplyPostedValues(TIWBaseForm& form);

// TIWBaseForm::ProcessPost, the whole processing of a post by a form, is defined with these:
// changed marks cleared; IW_Action and IW_ActionParam taken; the browser size; a callback's
// name; nothing more when there is no action and no parameter; the posted values; the
// callback, or the action of the control that caused the post; the form's default action.

}  // namespace qx
