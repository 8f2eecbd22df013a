// Post processing: the field-name search, writing posted values into controls with their
// failures gathered, and the order of a post's effects.
#include "forms/Submission.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/Form.h"
#include "runtime/Format.h"
#include "runtime/Strings.h"

namespace qx {

const char* const kCannotFindSubmitComponent = "Cannot find submit component.";
const char* const kSubmitControlWithoutHandler = "Submit control (%s) does not have a handler.";
const char* const kFollowingExceptions = "The following exception%s occured\r\n%s";

namespace {

// A posted line's name and value; a line without "=" is a name with an empty value.
std::string LineName(const std::string& line) { return line.substr(0, line.find('=')); }

std::string LineValue(const std::string& line) {
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

// Three pieces as one text, built by appending (which GCC 12's -Wrestrict accepts at -O3).
std::string Joined(std::string_view a, std::string_view b, std::string_view c) {
  std::string text;
  text.reserve(a.size() + b.size() + c.size());
  return text.append(a).append(b).append(c);
}

// Removes the first line of that name; false when there is none.
bool RemoveName(TStringList& list, std::string_view name) {
  const int index = list.IndexOfName(name);
  if (index < 0) return false;
  list.Delete(index);
  return true;
}

bool IsHiddenVisual(IIWBaseComponent& component) {
  IIWBaseControl* control = component.AsBaseControl();
  return control && !control->AsControl().Visible();
}

bool IsDisabledVisual(IIWBaseComponent& component) {
  IIWBaseControl* control = component.AsBaseControl();
  return control && !control->AsControl().Enabled();
}

void SearchContainer(TWinControl& container, std::string_view name,
                     std::vector<IIWBaseComponent*>& found);

// A frame's own controls also answer to their name followed by the frame's name.
void SearchFrame(TFrame& frame, std::string_view name, std::vector<IIWBaseComponent*>& found) {
  for (int i = 0; i < frame.ComponentCount(); ++i) {
    TComponent* held = frame.Components(i);
    auto* control = ClassCast<TControl>(held);
    if (control && control->Parent() != &frame) continue;
    IIWBaseComponent* runtime = held->AsBaseComponent();
    if (runtime && SameText(held->Name() + frame.Name(), name)) found.push_back(runtime);
  }
  SearchContainer(frame, name, found);
}

void SearchContainer(TWinControl& container, std::string_view name,
                     std::vector<IIWBaseComponent*>& found) {
  for (int i = 0; i < container.ControlCount(); ++i) {
    TControl* child = container.Controls(i);
    if (auto* frame = ClassCast<TFrame>(child)) {
      SearchFrame(*frame, name, found);
      continue;
    }
    if (IIWBaseComponent* runtime = child->AsBaseComponent();
        runtime && runtime->OwnsField(name) &&
        std::find(found.begin(), found.end(), runtime) == found.end())
      found.push_back(runtime);
    if (auto* inner = ClassCast<TWinControl>(child)) SearchContainer(*inner, name, found);
  }
}

// The rendered (visible) component whose element name is `name`, the way the page named it.
IIWBaseComponent* FindRenderedComponent(TIWBaseForm& form, std::string_view name) {
  IIWBaseComponent* result = nullptr;
  ForEachComponent(form, [&](IIWBaseComponent& component) {
    if (!result && !IsHiddenVisual(component) && component.ElementName() == name)
      result = &component;
  });
  return result;
}

// Runs an event of the post; an abort ends it silently.
template <class F>
void RunEvent(F&& event) {
  try {
    event();
  } catch (const EAbort&) {
  }
}

}  // namespace

std::vector<IIWBaseComponent*> FindFieldComponents(TIWBaseForm& form, std::string_view name) {
  std::vector<IIWBaseComponent*> found;
  if (TComponent* named = form.FindComponent(name)) {
    if (IIWBaseComponent* runtime = named->AsBaseComponent()) found.push_back(runtime);
    return found;
  }
  SearchContainer(form, name, found);
  return found;
}

namespace {

// The form's hidden fields take their posted values, which leave the list.
void TakeHiddenFieldValues(TIWBaseForm& form, TStringList& values) {
  TStringList& hidden = form.HiddenFieldsRef();
  for (int i = 0; i < hidden.Count(); ++i) {
    const std::string name = hidden.Names(i);
    const int posted = values.IndexOfName(name);
    if (name.empty() || posted < 0) continue;
    hidden[i] = Joined(name, "=", values.ValueFromIndex(posted));
    values.Delete(posted);
  }
}

// Repeated names become one line with the values joined by commas, in post order.
void MergeRepeatedNames(TStringList& values) {
  TStringList merged;
  for (const std::string& line : values) {
    const std::string name = LineName(line);
    const int index = merged.IndexOfName(name);
    if (index >= 0 && !merged.ValueFromIndex(index).empty())
      merged[index].append(",").append(LineValue(line));
    else
      merged.Add(Joined(name, "=", LineValue(line)));
  }
  values = merged;
}

struct TPostedValue {
  std::string name;
  std::string value;
  IIWBaseComponent* control;
};

// Each line goes to the first control of its field that takes a value.
std::vector<TPostedValue> PairWithControls(TIWBaseForm& form, const TStringList& values) {
  std::vector<TPostedValue> pairs;
  for (const std::string& line : values) {
    const std::string name = UpperCase(LineName(line));
    for (IIWBaseComponent* control : FindFieldComponents(form, name)) {
      if (!control->TakesInput() || !control->Editable() || IsHiddenVisual(*control)) continue;
      pairs.push_back({name, LineValue(line), control});
      break;
    }
  }
  return pairs;
}

// Every control gets its value (and file); the rejections are reported together.
void ApplyToControls(TIWBaseForm& form, const std::vector<TPostedValue>& pairs) {
  TIWApplication* application = form.Application();
  TStringList rejected;
  for (const TPostedValue& pair : pairs) {
    try {
      if (pair.control->Editable()) pair.control->ApplySubmittedValue(pair.value);
      if (pair.control->IsFileField()) {
        if (IIWFileField* field = pair.control->AsFileField())
          field->ApplyUploadedFile(application ? application->FindUploadedFile(pair.name) : nullptr);
      }
    } catch (const EAbort&) {
    } catch (const std::exception& failure) {
      rejected.Add(Joined("  ", pair.control->FriendlyName(), ": ").append(failure.what()));
    }
  }
  if (!rejected.Empty())
    throw EIWException(Format(kFollowingExceptions, {rejected.Count() > 1 ? "s" : "", rejected.Text()}));
}

// A posted window size becomes the form's bounds and the application's form size.
void ApplyPostedSize(TIWBaseForm& form, TStringList& values) {
  const std::string postedWidth = values.Values("IW_width");
  const std::string postedHeight = values.Values("IW_height");
  if (postedWidth.empty() || postedHeight.empty()) return;
  const int width = StrToIntDef(postedWidth, form.Width());
  const int height = StrToIntDef(postedHeight, form.Height());
  form.SetBounds(0, 0, width, height);
  if (TIWApplication* application = form.Application()) application->SetFormSize(width, height);
  RemoveName(values, "IW_width");
  RemoveName(values, "IW_height");
}

// Runs the action of the control the page named (by element name, else by field name);
// returns false when that control is disabled and ran nothing.
bool RunSubmitControl(TIWBaseForm& form, const std::string& action, const std::string& parameter) {
  const std::string name = UpperCase(action);
  IIWBaseComponent* control = FindRenderedComponent(form, name);
  if (!control) {
    std::vector<IIWBaseComponent*> found = FindFieldComponents(form, name);
    if (!found.empty()) control = found.front();
  }
  if (!control) throw EIWException(kCannotFindSubmitComponent);
  if (!control->CanSubmit())
    throw EIWException(Format(kSubmitControlWithoutHandler, {control->ElementName()}));
  if (IsDisabledVisual(*control)) return false;
  RunEvent([&] { control->RunAction(parameter); });
  return true;
}

}  // namespace

bool ApplyPostedValues(TIWBaseForm& form) {
  TStringList& values = form.PostedValues();
  TakeHiddenFieldValues(form, values);
  MergeRepeatedNames(values);
  // The page's own names are no control values.
  RemoveName(values, "IW_FormName");
  RemoveName(values, "IW_FormClass");
  const bool relayed = values.IndexOfName("IW_MainPageSubmitControl") >= 0;
  std::vector<TPostedValue> pairs;
  {
    // Every line searches the form by element names; pairing runs no handler, so the names
    // are worked out once for all of them.
    const TIWElementNames names(form);
    pairs = PairWithControls(form, values);
  }
  ApplyToControls(form, pairs);
  return relayed;
}

void TIWBaseForm::ProcessPost() {
  TIWBaseForm& form = *this;
  TStringList& values = form.PostedValues();
  ForEachComponent(form, [](IIWBaseComponent& component) { component.SetChanged(false); });

  // The action fields leave the values; a callback names its own action.
  std::string action = values.Values("IW_Action");
  const std::string parameter = values.Values("IW_ActionParam");
  RemoveName(values, "IW_Action");
  RemoveName(values, "IW_ActionParam");
  ApplyPostedSize(form, values);
  const bool callback = values.IndexOfName("callback") >= 0;
  if (callback) action = values.Values("callback");
  if (action.empty() && parameter.empty()) return;

  const bool relayed = ApplyPostedValues(form);
  if (callback) {
    if (TIWApplication* application = form.Application()) {
      const TStringList params = values;
      application->RunCallBack(action, params);
    }
    return;
  }
  const bool disabledAction = !action.empty() && !RunSubmitControl(form, action, parameter);

  // The default action: for a disabled control posted by Enter, or for a post that named no
  // control.
  auto* htmlForm = ClassCast<TIWForm>(&form);
  const bool fire = (disabledAction && SameText(parameter, "default")) || (action.empty() && !relayed);
  if (fire && htmlForm && htmlForm->OnDefaultAction())
    RunEvent([&] { htmlForm->OnDefaultAction()(htmlForm); });
}

}  // namespace qx
