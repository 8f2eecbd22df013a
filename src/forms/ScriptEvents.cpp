// Script events: adding handlers and writing them into the page as N_onclick functions that
// the client object hooks, so that several handlers share one DOM event.
#include "forms/ScriptEvents.h"

#include "forms/MarkupTag.h"
#include "forms/PageContext.h"
#include "runtime/Strings.h"

namespace qx {

const TClassInfo& TIWScriptEventsItem::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWScriptEventsItem>("TIWScriptEventsItem")
          .Property("EventName", &TIWScriptEventsItem::EventName, &TIWScriptEventsItem::SetEventName)
          .Property("EventCode", &TIWScriptEventsItem::EventCode, &TIWScriptEventsItem::SetEventCode)
          .Build();
  return info;
}

const TClassInfo& TIWScriptEvents::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIWScriptEvents>("TIWScriptEvents").Build();
  return info;
}

void TIWScriptEvents::Assign(const TIWScriptEvents& other) {
  if (&other == this) return;
  Clear();
  for (int i = 0; i < other.Count(); ++i) Add() = other[i];
}

TIWScriptEventsItem* TIWScriptEvents::Find(std::string_view eventName) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText((*this)[i].EventName(), eventName)) return &(*this)[i];
  return nullptr;
}

void TIWScriptEvents::HookEvent(std::string_view eventName, std::string_view code) {
  std::string text = Trim(code);
  if (text.empty()) return;
  if (text.find("return") == std::string::npos) text += "\r\nreturn true";
  if (text.back() != ';') text += ";";
  TStringList lines;
  lines.SetText(text);
  TIWScriptEventsItem* item = Find(eventName);
  if (!item) {
    item = &Add();
    item->SetEventName(eventName);
  }
  if (item->EventCode().Empty()) item->SetEventCode(std::move(lines));
  else item->AddHandler(std::move(lines));
}

void TIWScriptEvents::Render(std::string_view elementName, TIWPageContext40& page,
                             TIWMarkupLanguageTag& tag) const {
  using namespace std::string_view_literals;
  const std::string_view argument = page.Browser() == brIE ? ""sv : "event"sv;
  // One buffer for every function's name and text: the page copies what it keeps.
  std::string function, text;
  for (int i = 0; i < Count(); ++i) {
    const TIWScriptEventsItem& item = (*this)[i];
    const std::string e = LowerCase(item.EventName());
    const std::string_view d = StartsText("on", e) ? std::string_view(e).substr(2) : std::string_view(e);
    auto write = [&](const TStringList& code, bool primary) {
      text.clear();
      AppendAll(text, "function "sv, function, "("sv, argument, ") {\r\n"sv);
      for (int line = 0; line < code.Count(); ++line) AppendAll(text, code[line], "\r\n"sv);
      page.AddDeclaration(text.append("}\r\n"sv));
      if (primary && d == "load"sv) {
        tag.SetParam("onload", Concat(function, "()"sv));
        return;
      }
      text.clear();
      page.AddIWCLInit(AppendAll(text, "if ("sv, elementName, "IWCL) "sv, elementName,
                                 "IWCL.HookEvent(\""sv, d, "\","sv, function, ");"sv));
    };
    function.clear();
    AppendAll(function, elementName, "_"sv, e);
    const std::size_t named = function.size();
    if (!item.EventCode().Empty()) write(item.EventCode(), true);
    const auto& more = item.AdditionalHandlers();
    for (std::size_t k = 0; k < more.size(); ++k) {
      function.resize(named);
      function.append(IntToStr(static_cast<long long>(k)));
      write(more[k], false);
    }
  }
}

}  // namespace qx
