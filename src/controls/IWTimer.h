// TIWTimer: a page component without markup that posts the page, naming itself, once its
// interval has passed after the page loaded; the server then runs OnTimer. Each page rendered
// while it is enabled starts it again, so the page posts periodically while it is open.
#pragma once

#include "forms/Control.h"

namespace qx {

class TIWTimer : public TIWBaseHTML40Component {
  QX_CLASS(TIWTimer, TIWBaseHTML40Component)

 public:
  TIWTimer() = default;

  // Changing it marks the timer for its script to be rendered again.
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled) { SetProperty(enabled_, enabled); }
  // In milliseconds; 0 or less never posts.
  int Interval() const noexcept { return interval_; }
  void SetInterval(int interval) { SetProperty(interval_, interval); }
  const TNotifyEvent& OnTimer() const noexcept { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler) { onTimer_ = std::move(handler); }

  void SetDefaults() override;
  // The timer posts whatever handler it has; a timer without OnTimer runs nothing.
  bool CanSubmit() const override { return true; }
  // No element: one line of the page's init script (of the partial-update script on a
  // partial update) that starts or stops the client's timer.
  std::unique_ptr<TIWMarkupLanguageTag> RenderMarkup(TIWComponent40Context& context) override;
  // OnTimer.
  void RunAction(const std::string& parameter) override;

 private:
  bool enabled_ = true;
  int interval_ = 1000;
  TNotifyEvent onTimer_;
};

}  // namespace qx
