// The timer's properties, its script line and its action.
#include "controls/IWTimer.h"

#include "forms/PageContext.h"
#include "forms/RenderContext.h"
#include "runtime/Strings.h"

namespace qx {

const TClassInfo& TIWTimer::StaticClassInfo() {
  using T = TIWTimer;
  static const TClassInfo info = TClassBuilder<T>("TIWTimer")
                                     .Creatable()
                                     .Property("Enabled", &T::Enabled, &T::SetEnabled)
                                     .Property("Interval", &T::Interval, &T::SetInterval)
                                     .Property("OnTimer", &T::OnTimer, &T::SetOnTimer)
                                     .Build();
  return info;
}

void TIWTimer::SetDefaults() {
  SetEnabled(true);
  SetInterval(1000);
}

std::unique_ptr<TIWMarkupLanguageTag> TIWTimer::RenderMarkup(TIWComponent40Context& context) {
  TIWPageContext40& page = context.PageContext();
  const std::string id = "IWTop()." + ElementName() + "_ID";
  std::string line;
  if (enabled_ && interval_ > 0) {
    line = id + "=setTimeout('IWTop().SubmitClickConfirm(\"" + ElementName() + "\",\"\", false,\"\")'," +
           IntToStr(interval_) + ");";
  } else {
    line = page.IsPartialUpdate() ? "if(" + id + "){clearInterval(" + id + ");};" : id + "=null;";
  }
  if (page.IsPartialUpdate()) page.AddPartialScript(line + "\r\n");
  else page.AddInitA(line);
  return nullptr;
}

void TIWTimer::RunAction(const std::string&) {
  if (onTimer_) onTimer_(this);
}

}  // namespace qx
