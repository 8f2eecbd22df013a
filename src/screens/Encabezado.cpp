// The page header frame's class table and handlers.
#include "screens/Encabezado.h"

#include "controls/IWLabel.h"
#include "controls/IWLink.h"
#include "controls/IWTimer.h"
#include "data/qxconsts.h"
#include "forms/Application.h"
#include "forms/Region.h"
#include "runtime/Format.h"
#include "screens/DefinedControl.h"
#include "screens/usSesion.h"

namespace qx {

namespace {

constexpr char kRedirectAfterLogout[] = "/";
constexpr char kTimeOfDayFormat[] = " hh:nn";

}  // namespace

std::string LastUpdateText(TDateTime now) {
  return kMsgLastUpdate + FormatDateTime(kShortDateFormat, now) +
         FormatDateTime(kTimeOfDayFormat, now);
}

const TClassInfo& TfraEncabezado::StaticClassInfo() {
  using T = TfraEncabezado;
  static const TClassInfo info = TClassBuilder<T>("TfraEncabezado")
                                     .Creatable()
                                     .Definition("Encabezado.qxf")
                                     .Handler("regEncabezadoRender", &T::regEncabezadoRender)
                                     .Handler("lnkLogoutClick", &T::lnkLogoutClick)
                                     .Build();
  return info;
}

void TfraEncabezado::Loaded() {
  TFrame::Loaded();
  regEncabezado_ = DefinedControl<TIWRegion>(*this, "regEncabezado");
  lblAppName_ = DefinedControl<TIWLabel>(*this, "lblAppName");
  lblUsuario_ = DefinedControl<TIWLabel>(*this, "lblUsuario");
  lblFecha_ = DefinedControl<TIWLabel>(*this, "lblFecha");
  lnkLogout_ = DefinedControl<TIWLink>(*this, "lnkLogout");
  tmrHome_ = DefinedControl<TIWTimer>(*this, "tmrHome");
}

void TfraEncabezado::regEncabezadoRender(TObject*) {
  // A session without its module (or a user lost meanwhile) is greeted with no name.
  const TusSesion* session = TusSesion::Current();
  lblUsuario_->SetCaption(Format(kMsgWelcome, {session ? session->UserName : std::string()}));
  lblFecha_->SetCaption(LastUpdateText(Now()));
}

void TfraEncabezado::lnkLogoutClick(TObject*) {
  if (TIWApplication* application = TIWApplication::Current())
    application->TerminateAndRedirect(kRedirectAfterLogout);
}

}  // namespace qx
