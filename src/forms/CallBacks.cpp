// Callback registry and the XML text of a callback reply.
#include "forms/CallBacks.h"

#include "forms/Application.h"
#include "forms/LayoutMgr.h"
#include "forms/RenderContext.h"
#include "runtime/Strings.h"

namespace qx {

TIWCallBacks::Entry* TIWCallBacks::Find(std::string_view name) const noexcept {
  for (const auto& entry : entries_)
    if (SameText(entry->name, name)) return entry.get();
  return nullptr;
}

void TIWCallBacks::Register(std::string_view name, TIWCallBackMethod handler, TComponent* component) {
  Entry* entry = Find(name);
  if (!entry) {
    entries_.push_back(std::make_unique<Entry>());
    entry = entries_.back().get();
    entry->name = name;
  }
  entry->handler = std::move(handler);
  entry->component = component;
}

bool TIWCallBacks::Run(std::string_view name, const TStringList& params) const {
  Entry* entry = Find(name);
  if (!entry || !entry->handler) return false;
  entry->handler(entry->component.Get(), params);
  return true;
}

void TIWCallBackResponse::Reset() {
  updates_.clear();
  executes_.clear();
  submit_.clear();
}

void TIWCallBackResponse::AddUpdate(std::unique_ptr<TIWMarkupLanguageTag> control) {
  if (control) updates_.push_back(std::move(control));
}

void TIWCallBackResponse::AddChangedControls(TIWForm& form, TIWApplication& application) {
  // The update elements are rendered outside a page: a context of their own, on the form.
  TIWPageContext40 page(application.Browser(), "");
  page.SetForm(&form, &application);
  Owned<TIWLayoutMgrForm> layout(new TIWLayoutMgrForm);
  TIWContainerContext container(form, *layout, &application, false);
  ForEachComponent(form, [&](IIWBaseComponent& component) {
    const auto* control = ClassCast<TControl>(&component.AsComponent());
    if (!component.Changed() || (control && !control->Showing())) return;
    TIWComponent40Context context(component, page, container);
    AddUpdate(component.RenderUpdate(context));
  });
}

void TIWCallBackResponse::AddExecute(std::string literal) { executes_.push_back(std::move(literal)); }

std::string TIWCallBackResponse::Text(bool toUtf8) const {
  auto response = TIWXMLTag::Create("response");
  TIWMarkupLanguageTag& update = response->AddTag("update", ctAlways);
  for (const auto& control : updates_) update.AddBinary(control->Text());
  TIWMarkupLanguageTag& execute = response->AddTag("execute", ctAlways);
  for (const std::string& literal : executes_) execute.AddTag("literal", ctAlways).AddText(literal);
  if (!submit_.empty()) response->AddTag("submit", ctAlways).AddText(submit_);
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>" + response->Text();
  return toUtf8 ? AnsiToUtf8(text) : text;
}

}  // namespace qx
