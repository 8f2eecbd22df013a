// What the soak client reads from a page as a browser would: the screen, the values its submit
// form would post (each field's value taken from the control of that name on the page), the
// alert it shows, and whether a control is there and enabled.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "LoadClient.h"

namespace load {

class Page {
 public:
  explicit Page(std::string body) : body_(std::move(body)) {
    form_ = FormName(body_);
    formClass_ = Between(body_, "NAME=\"IW_FormClass\" VALUE=\"", "\"");
    const std::size_t submit = body_.find("name=\"SubmitForm\"");
    if (submit == std::string::npos) return;
    controls_ = body_.substr(0, body_.rfind('<', submit));
    const std::string hidden = body_.substr(submit, body_.find("</form>", submit) - submit);
    for (std::size_t at = hidden.find("NAME=\""); at != std::string::npos; at = hidden.find("NAME=\"", at + 1)) {
      const std::string name = Between(hidden.substr(at), "NAME=\"", "\"");
      if (name.rfind("IW_", 0) != 0) fields_[name] = ControlValue(name);
    }
  }

  const std::string& Body() const { return body_; }
  const std::string& Form() const { return form_; }
  // The text of the page's alert, as its script writes it; empty without one.
  std::string Alert() const { return Between(body_, "window.alert(\"", "\");"); }
  bool Has(const std::string& id) const { return Tag(id).size() > 0; }
  bool Enabled(const std::string& id) const {
    const std::string tag = Tag(id);
    return !tag.empty() && Upper(tag).find(" DISABLED") == std::string::npos;
  }
  // The texts of a list's options, in order.
  std::vector<std::string> Options(const std::string& id) const {
    std::vector<std::string> texts;
    const std::size_t at = controls_.find(" ID=\"" + id + "\"");
    if (at == std::string::npos) return texts;
    const std::string list = controls_.substr(at, controls_.find("</select>", at) - at);
    for (std::size_t o = list.find("<option"); o != std::string::npos; o = list.find("<option", o + 1)) {
      const std::size_t text = list.find('>', o) + 1;
      texts.push_back(Unescape(list.substr(text, list.find_first_of("<\r\n", text) - text)));
    }
    return texts;
  }

  // The submit form's fields as the page would post them, with `typed` in place of what the
  // page shows, then the action: urlencoded.
  std::string Post(const std::map<std::string, std::string>& typed, const std::string& action,
                   const std::string& parameter = "") const {
    std::string fields;
    for (const auto& [name, value] : fields_) {
      const auto own = typed.find(name);
      fields += name + "=" + UrlEncode(own != typed.end() ? own->second : value) + "&";
    }
    return fields + "IW_Action=" + action + "&IW_ActionParam=" + UrlEncode(parameter) + "&IW_FormName=" +
           form_ + "&IW_FormClass=" + formClass_;
  }

 private:
  static std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
  }
  // The opening tag of the control with this id (or, for a field, this name), before the submit form.
  std::string Tag(const std::string& id, const char* attribute = "ID") const {
    const std::size_t at = controls_.find(std::string(" ") + attribute + "=\"" + id + "\"");
    if (at == std::string::npos) return {};
    const std::size_t start = controls_.rfind('<', at);
    return controls_.substr(start, controls_.find('>', at) - start + 1);
  }
  static std::string Attribute(const std::string& tag, const std::string& name) {
    const std::size_t at = Upper(tag).find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const std::size_t value = at + name.size() + 3;
    return Unescape(tag.substr(value, tag.find('"', value) - value));
  }
  // What the browser's script posts for the control named `name`: a list's selected value
  // ("-1" for none), a check box's "on" or "off", a memo's text, an edit's or hidden value.
  std::string ControlValue(const std::string& name) const {
    const std::string tag = Tag(name, "NAME");
    const std::string upper = Upper(tag);
    const std::size_t at = controls_.find(tag);
    if (upper.rfind("<SELECT", 0) == 0) {
      const std::string list = controls_.substr(at, controls_.find("</select>", at) - at);
      for (std::size_t o = list.find("<option"); o != std::string::npos; o = list.find("<option", o + 1)) {
        const std::string option = list.substr(o, list.find('>', o) - o + 1);
        if (Upper(option).find(" SELECTED") != std::string::npos) return Attribute(option, "VALUE");
      }
      return "-1";
    }
    if (upper.rfind("<TEXTAREA", 0) == 0) {
      std::string text = Between(controls_.substr(at), ">", "</textarea>");
      if (text.rfind("\r\n", 0) == 0) text.erase(0, 2);
      else if (text.rfind('\n', 0) == 0) text.erase(0, 1);
      return Unescape(text);
    }
    if (upper.find("TYPE=\"CHECKBOX\"") != std::string::npos)
      return upper.find(" CHECKED") != std::string::npos ? "on" : "off";
    return Attribute(tag, "VALUE");
  }

  std::string body_;
  std::string form_;
  std::string formClass_;
  std::string controls_;  // the page before its submit form
  std::map<std::string, std::string> fields_;
};

}  // namespace load
