#pragma once
// The host control of a paper view: it owns the style and the view, places two scroll bars and
// a border around the view, keeps the scroll bars and the view's offset in step, and turns keys
// and the mouse wheel into view commands, with acceleration for held arrow keys.
//
// This is the control's logic in plain C++; a window (the Qt widget in src/paper/qt) shows it
// through IControlHost and forwards its size, keys, wheel, focus and scroll-bar moves. Tests
// drive it with a fake host.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>

#include "BaseViews.h"

namespace kaede {

// A scroll bar as the control sets it: positions run from 0 to Max.
struct TScrollBarState {
  bool Visible = true;
  bool Enabled = false;
  int32_t Max = 0;
  int32_t PageSize = 0;
  int32_t Position = 0;
  int32_t SmallStep = 1;
  int32_t LargeStep = 1;
  bool operator==(const TScrollBarState&) const = default;
};

// How a scroll bar moved.
enum class TScrollCode : uint8_t { LineUp, LineDown, PageUp, PageDown, Track, Position, Top, Bottom, EndScroll };

enum class TControlBorderStyle : uint8_t { cbNone, cbSingle, cb3D };

// What the control needs of its window.
class IControlHost {
public:
  virtual ~IControlHost() = default;
  // Where the view lies (control coordinates).
  virtual void PlaceView(const TRect& /*r*/) {}
  // Where a scroll bar lies, and whether it is shown.
  virtual void PlaceScrollBar(bool /*vertical*/, const TRect& /*r*/, bool /*visible*/) {}
  // A scroll bar's range and position (without echo to HScroll/VScroll).
  virtual void SetScrollBar(bool /*vertical*/, const TScrollBarState& /*s*/) {}
  // The control's own area (border and band) must be painted again.
  virtual void InvalidateControl() {}
  // The accelerated key repeat: the host calls TBaseControl::RepeatTick every interval.
  virtual void StartRepeat(int32_t /*intervalMs*/) {}
  virtual void StopRepeat() {}
};

class TBaseControl {
public:
  using TViewFactory = std::function<TBaseView*(TBaseStyle* style)>;
  using TStyleFactory = std::function<TBaseStyle*()>;

  // A control with the view and style classes given; without them a plain control with a
  // TBaseView on a TBaseStyle whose paper is shown and both scroll bars visible.
  explicit TBaseControl(TViewFactory viewFactory = nullptr, TStyleFactory styleFactory = nullptr);
  virtual ~TBaseControl();
  TBaseControl(const TBaseControl&) = delete;
  TBaseControl& operator=(const TBaseControl&) = delete;

  // The window (none: the control only computes). The view's window is set on the view.
  void SetHost(IControlHost* host);
  IControlHost* Host() const { return FHost; }
  // The window exists: the first layout runs.
  void HandleCreated();

  TBaseStyle& Style() const { return *FStyle; }
  TBaseView& View() const { return *FView; }
  // Assigns s into the control's own style (which runs StyleChanged); nothing for none.
  void AssignStyle(const TBaseStyle* s);
  int32_t StyleIndex() const { return FStyleIndex; }
  void SetStyleIndex(int32_t v);
  TControlBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TControlBorderStyle v);
  int32_t BorderWidth() const { return FBorderWidth; }
  bool WantTabs = false;

  // System metrics (the window sets them at creation).
  int32_t ScrollBarSize = 16;
  int32_t WheelLines = 3;
  // View commands of the wheel: up, down, Ctrl+up, Ctrl+down.
  int32_t WheelUpCommand = vcScrollBack, WheelDownCommand = vcScrollForward;
  int32_t CtrlWheelUpCommand = vcScrollLeft, CtrlWheelDownCommand = vcScrollRight;
  // Keys whose repeats are accelerated (the arrow keys).
  std::set<int32_t> AcceleratedKeys{vkLeft, vkUp, vkRight, vkDown};
  // Interval of the accelerated repeat.
  static constexpr int32_t kRepeatInterval = 10;

  // ---- Layout ----
  void SetSize(int32_t width, int32_t height);
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  const TRect& InnerRect() const { return FInnerRect; }
  const TRect& ViewRect() const { return FViewRect; }
  TRect ScrollBarRect(bool vertical) const { return vertical ? FVBarRect : FHBarRect; }
  void Layout();
  void BeginStyleUpdate();
  void EndStyleUpdate(bool doResize);
  // The band between InnerRect and ViewRect in the Margin element's back colour, and the
  // square between the two scroll bars in the button face colour, within clip.
  void PaintBand(TCanvas& c, const TRect& clip) const;

  // ---- Scroll bars ----
  const TScrollBarState& ScrollBar(bool vertical) const { return vertical ? FVBar : FHBar; }
  virtual void HScroll(TScrollCode code, int32_t position);
  virtual void VScroll(TScrollCode code, int32_t position);

  // ---- Keys and wheel ----
  // A key press (autoRepeat: a repeat of a held key). True when it ran a command.
  bool KeyDown(int32_t key, TShiftState shift, bool autoRepeat = false);
  // Whether a key is one of the control's own (it runs a command of the control or its view):
  // while the control has the focus, such a key is the control's and not a shortcut of the
  // window around it. Keys with Alt are the menu's.
  bool OwnsKey(int32_t key, TShiftState shift);
  // A key release; the releases a windowing system sends before every auto-repeat
  // (autoRepeat true) are no releases.
  void KeyUp(int32_t key, bool autoRepeat = false);
  // The control lost the keyboard focus, or its window was deactivated: a held key is no
  // longer seen, so the accelerated repeat stops.
  void FocusLost();
  // notches > 0 up, < 0 down. True when a command was handled.
  bool Wheel(int32_t notches, TShiftState shift);
  // Runs a command, accelerated after KeyRepeatLimit repeats of the same held key.
  virtual bool ExecuteCommandRepeat(int32_t command, int32_t key, bool noAccel);
  // The host's repeat timer expired.
  void RepeatTick();
  bool Accelerating() const { return FAccelKey != 0; }
  int32_t RepeatCount() const { return FRepeatCount; }
  int32_t LastCommand() const { return FLastCommand; }

  // ---- Events ----
  std::function<void()> OnStyleChanging, OnStyleChange, OnRatioChange, OnResize, OnDblClick;
  std::function<void(int32_t key, TShiftState shift)> OnKeyDown;

protected:
  virtual int32_t KeyToCommandHook(int32_t /*key*/, TShiftState /*shift*/) { return vcNone; }
  virtual void NewContent() {}
  virtual void ViewOffsetChanged() { SyncScrollBars(); }
  virtual void ViewRatioChanged();
  virtual void StyleChanging();
  virtual void ApplyScrollBars();
  virtual void StyleChanged();
  virtual void SyncScrollBars();
  virtual void UpdateScrollRanges();
  virtual void RatioChangedHook() {}

private:
  void StopAccel();
  void PushScrollBars();
  void Scroll(bool vertical, TScrollCode code, int32_t position);

  IControlHost* FHost = nullptr;
  bool FConstructing = true;
  TBaseStyle* FStyle = nullptr;
  std::unique_ptr<TBaseView> FView;
  int32_t FWidth = 200, FHeight = 200;
  TControlBorderStyle FBorderStyle = TControlBorderStyle::cb3D;
  int32_t FBorderWidth = 2;
  TRect FInnerRect, FViewRect, FVBarRect, FHBarRect;
  TScrollBarState FHBar, FVBar;
  int32_t FLastCommand = 0;
  int32_t FStyleUpdateLock = 0;
  bool FResized = false;
  int32_t FRepeatCount = 0;
  bool FPlainCreation = false;
  bool FScrollBarMoving = false;
  int32_t FStyleIndex = 0;
  // The accelerated repeat: its key (0: none) and command.
  int32_t FAccelKey = 0;
  int32_t FAccelCommand = 0;
};

}  // namespace kaede
