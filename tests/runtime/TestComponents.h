// Small component classes for the component-model tests: a label, a button, a region with a
// border, a timer, a grid with columns, a frame and forms with handler tables.
#pragma once

#include <string>
#include <vector>

#include "runtime/ClassInfo.h"
#include "runtime/Control.h"

namespace qx::test {

// Order in which Loaded(), Created() and BeforeDestruction() ran ("Loaded:name", …).
std::vector<std::string>& LifecycleLog();

enum TTestFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TTestFontStyles = TSet<TTestFontStyle>;
const TEnumInfo& EnumInfoOf(TTestFontStyle);

class TTestFont : public TPersistent {
  QX_CLASS(TTestFont, TPersistent)

 public:
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  TTestFontStyles Style() const { return style_; }
  void SetStyle(TTestFontStyles style) { style_ = style; }
  const std::string& FontName() const { return name_; }
  void SetFontName(const std::string& name) { name_ = name; }

 private:
  int size_ = 10;
  TColor color_ = clNone;
  TTestFontStyles style_;
  std::string name_;
};

// Records the hooks every test component shares.
class TTestControl : public TControl {
  QX_CLASS(TTestControl, TControl)

 public:
  int BoundsChanges() const { return boundsChanges_; }

 protected:
  void Loaded() override;
  void Created() override;
  void BoundsChanged() override { ++boundsChanges_; }

 private:
  int boundsChanges_ = 0;
};

class TTestLabel : public TTestControl {
  QX_CLASS(TTestLabel, TTestControl)

 public:
  TTestLabel();
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption) { caption_ = caption; }
  TTestFont& Font() { return font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  const TStringList& Lines() const { return lines_; }
  void SetLines(const TStringList& lines) { lines_ = lines; }
  double Ratio() const { return ratio_; }
  void SetRatio(double ratio) { ratio_ = ratio; }
  std::int64_t Big() const { return big_; }
  void SetBig(std::int64_t big) { big_ = big; }
  short Small() const { return small_; }
  void SetSmall(short small) { small_ = small; }
  const std::string& Picture() const { return picture_; }
  void SetPicture(std::string_view bytes) { picture_ = bytes; }
  TControl* FocusControl() const { return focusControl_.Get(); }
  void SetFocusControl(TControl* control) { focusControl_ = control; }
  int RemovedNotifications() const { return removedNotifications_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string caption_;
  TTestFont font_;
  TColor color_ = clNone;
  TStringList lines_;
  double ratio_ = 0;
  std::int64_t big_ = 0;
  short small_ = 0;
  std::string picture_;
  TComponentRef<TControl> focusControl_{this};
  int removedNotifications_ = 0;
};

class TTestButton : public TTestControl {
  QX_CLASS(TTestButton, TTestControl)

 public:
  using TValidateEvent = std::function<void(TObject* sender, bool& accept)>;
  TTestButton();
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
  const TValidateEvent& OnValidate() const { return onValidate_; }
  void SetOnValidate(TValidateEvent handler) { onValidate_ = std::move(handler); }
  void Click() {
    if (onClick_) onClick_(this);
  }
  bool Validate() {
    bool accept = true;
    if (onValidate_) onValidate_(this, accept);
    return accept;
  }

 private:
  TNotifyEvent onClick_;
  TValidateEvent onValidate_;
};

class TTestBorderOptions : public TPersistent {
  QX_CLASS(TTestBorderOptions, TPersistent)

 public:
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

 private:
  int width_ = 0;
  TColor color_ = clNone;
};

class TTestRegion : public TScrollingWinControl {
  QX_CLASS(TTestRegion, TScrollingWinControl)

 public:
  TTestBorderOptions* BorderOptions() { return &borderOptions_; }
  int BorderWidth() const override { return borderOptions_.Width(); }

 protected:
  void Loaded() override;

 private:
  TTestBorderOptions borderOptions_;
};

class TTestTimer : public TComponent {
  QX_CLASS(TTestTimer, TComponent)

 public:
  int Interval() const { return interval_; }
  void SetInterval(int interval) { interval_ = interval; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler) { onTimer_ = std::move(handler); }

 private:
  int interval_ = 1000;
  bool enabled_ = true;
  TNotifyEvent onTimer_;
};

class TTestColumn : public TCollectionItem {
  QX_CLASS(TTestColumn, TCollectionItem)

 public:
  using TClickWithValue = std::function<void(TObject* sender, const std::string& value)>;
  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view title) { title_ = title; }
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  TTestFont& Font() { return font_; }
  TControl* Control() const { return control_.Get(); }
  void SetControl(TControl* control) { control_ = control; }
  const TClickWithValue& OnClick() const { return onClick_; }
  void SetOnClick(TClickWithValue handler) { onClick_ = std::move(handler); }

 private:
  std::string title_;
  int width_ = 0;
  TTestFont font_;
  TComponentRef<TControl> control_;
  TClickWithValue onClick_;
};

class TTestGrid : public TTestControl {
  QX_CLASS(TTestGrid, TTestControl)

 public:
  TCollectionOf<TTestColumn>& Columns() { return columns_; }

 private:
  TCollectionOf<TTestColumn> columns_;
};

// A form: the root of a definition, with handlers for its components' events.
class TTestForm : public TScrollingWinControl {
  QX_CLASS(TTestForm, TScrollingWinControl)

 public:
  TControl* ActiveControl() const { return activeControl_.Get(); }
  void SetActiveControl(TControl* control) { activeControl_ = control; }
  const TNotifyEvent& OnCreate() const { return onCreate_; }
  void SetOnCreate(TNotifyEvent handler) { onCreate_ = std::move(handler); }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view title) { title_ = title; }

  // What the handlers saw, in order.
  std::vector<std::string> events;
  bool rejectValidation = false;

  void FormCreate(TObject* sender);
  void ButtonClick(TObject* sender);
  void ButtonValidate(TObject* sender, bool& accept);
  void ColumnClick(TObject* sender, const std::string& value);
  void TimerFire(TObject* sender);

 protected:
  void Loaded() override;
  void Created() override;
  void BeforeDestruction() override;

 private:
  TComponentRef<TControl> activeControl_{this};
  TNotifyEvent onCreate_;
  std::string title_;
};

// A form class whose definition is an embedded resource ("TestScreen.qxf").
class TTestScreen : public TTestForm {
  QX_CLASS(TTestScreen, TTestForm)
};

// A frame with its own definition ("TestFrame.qxf"): a top-aligned region holding a label
// anchored to both sides and a button anchored right.
class TTestFrame : public TFrame {
  QX_CLASS(TTestFrame, TFrame)

 public:
  std::vector<std::string> events;
  void LogoutClick(TObject* sender);

 protected:
  void Loaded() override;
};

// Registers the classes above and the embedded definitions of TTestScreen and TTestFrame.
void RegisterTestComponents();

}  // namespace qx::test
