#include "BaseControls.h"

#include <algorithm>
#include <cstdlib>

namespace kaede {

namespace {

constexpr TColor kBtnFace = static_cast<TColor>(0xFF00000F);

}  // namespace

TBaseControl::TBaseControl(TViewFactory viewFactory, TStyleFactory styleFactory) {
  FPlainCreation = !viewFactory && !styleFactory;
  FStyle = styleFactory ? styleFactory() : new TBaseStyle();
  FStyle->Create(nullptr);
  FStyle->OnBeforeChange = [this](TDataItem*, int) { StyleChanging(); };
  FStyle->OnAfterChange = [this](TDataItem*, int) { StyleChanged(); };
  FView.reset(viewFactory ? viewFactory(FStyle) : new TBaseView(FStyle));
  FView->OnOffsetChange = [this] { ViewOffsetChanged(); };
  FView->OnExtentChange = [this] { UpdateScrollRanges(); };
  FView->OnRatioChange = [this] { ViewRatioChanged(); };
  FView->OnDblClick = [this] {
    if (OnDblClick) OnDblClick();
  };
  if (FPlainCreation) {
    FHBar.Visible = FVBar.Visible = true;
    FStyle->SetBase(&TBaseStyleValues::PaperVisible, true);
  }
}

TBaseControl::~TBaseControl() {
  // no layout while the parts go
  FStyleUpdateLock = 1;
  StopAccel();
  FView.reset();
  FStyle->OnBeforeChange = nullptr;
  FStyle->OnAfterChange = nullptr;
  FStyle->Free();
}

void TBaseControl::SetHost(IControlHost* host) {
  if (FHost && host != FHost) StopAccel();
  FHost = host;
}

void TBaseControl::HandleCreated() {
  FConstructing = false;
  if (!FResized) Layout();
}

void TBaseControl::AssignStyle(const TBaseStyle* s) {
  if (s) FStyle->Assign(s);
}

void TBaseControl::SetStyleIndex(int32_t v) {
  FStyleIndex = v;
  FStyle->SetDefaultIndex(v);
  FStyle->EnsurePreset();
  if (FPlainCreation && v == 0) FStyle->SetBase(&TBaseStyleValues::PaperVisible, true);
}

void TBaseControl::SetBorderStyle(TControlBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  FBorderWidth = v == TControlBorderStyle::cbNone ? 0 : 2;
  Layout();
  if (FHost) FHost->InvalidateControl();
}

// ---- Layout --------------------------------------------------------------------------------

void TBaseControl::SetSize(int32_t width, int32_t height) {
  FWidth = std::max<int32_t>(0, width);
  FHeight = std::max<int32_t>(0, height);
  Layout();
}

void TBaseControl::Layout() {
  if (FConstructing || FStyleUpdateLock > 0) return;
  const int32_t w = FWidth, h = FHeight, b = FBorderWidth, t = ScrollBarSize;
  const bool v = FVBar.Visible, hz = FHBar.Visible;
  FVBarRect = v ? TRect{w - b - t, b, w - b, h - b - (hz ? t : 0)} : TRect{};
  FHBarRect = hz ? TRect{b, h - b - t, w - b - (v ? t : 0), h - b} : TRect{};
  FInnerRect = {b, b, std::max(b, w - b - (v ? t : 0)), std::max(b, h - b - (hz ? t : 0))};
  const int32_t m = std::max(0, FStyle->Base().BorderMargin);
  FViewRect = {FInnerRect.Left + m, FInnerRect.Top + m, FInnerRect.Right - (v ? 0 : m), FInnerRect.Bottom - (hz ? 0 : m)};
  FViewRect.Right = std::max(FViewRect.Left, FViewRect.Right);
  FViewRect.Bottom = std::max(FViewRect.Top, FViewRect.Bottom);
  if (FHost) {
    FHost->PlaceScrollBar(true, FVBarRect, v);
    FHost->PlaceScrollBar(false, FHBarRect, hz);
    FHost->PlaceView(FViewRect);
  }
  FView->BeginPaint();
  {
    TAtScopeExit done([this] { FView->EndPaint(true); });
    FView->SetBounds(FViewRect.Right - FViewRect.Left, FViewRect.Bottom - FViewRect.Top);
  }
  FResized = true;
  if (FHost) FHost->InvalidateControl();
  if (OnResize) OnResize();
}

void TBaseControl::BeginStyleUpdate() {
  FView->BeginResize();
  ++FStyleUpdateLock;
}

void TBaseControl::EndStyleUpdate(bool doResize) {
  FView->EndResize(false);
  if (FStyleUpdateLock <= 0) return;
  if (--FStyleUpdateLock == 0 && doResize) {
    FView->BeginResize();
    {
      TAtScopeExit done([this] { FView->EndResize(true); });
      Layout();
    }
    if (OnResize) OnResize();
  }
}

void TBaseControl::PaintBand(TCanvas& c, const TRect& clip) const {
  if (TViewInfo* margin = FStyle->ViewInfo(TBaseStyle::viMargin)) {
    c.SetBrush({TBrushStyle::Solid, margin->BackColor()});
    FillBand(c, FInnerRect, FViewRect, clip);
  }
  if (FVBar.Visible && FHBar.Visible) {
    const int32_t b = FBorderWidth, t = ScrollBarSize;
    FillClipped(c, {FWidth - b - t, FHeight - b - t, FWidth - b, FHeight - b}, clip, kBtnFace);
  }
}

// ---- Style ---------------------------------------------------------------------------------

void TBaseControl::StyleChanging() {
  if (OnStyleChanging) OnStyleChanging();
}

void TBaseControl::ApplyScrollBars() {
  FVBar.Visible = FStyle->Base().VScrollBarVisible;
  FHBar.Visible = FStyle->Base().HScrollBarVisible;
  FRepeatCount = 0;
}

void TBaseControl::StyleChanged() {
  FView->BeginPaint();
  {
    TAtScopeExit paint([this] { FView->EndPaint(true); });
    BeginStyleUpdate();
    TAtScopeExit update([this] { EndStyleUpdate(true); });
    ApplyScrollBars();
    FView->SetStyle(FStyle);  // the same object: the view applies it again
  }
  SyncScrollBars();
  if (OnStyleChange) OnStyleChange();
}

void TBaseControl::ViewRatioChanged() {
  if (OnRatioChange) OnRatioChange();
  RatioChangedHook();
}

// ---- Scroll bars ---------------------------------------------------------------------------

void TBaseControl::PushScrollBars() {
  if (!FHost) return;
  FHost->SetScrollBar(true, FVBar);
  FHost->SetScrollBar(false, FHBar);
}

void TBaseControl::SyncScrollBars() {
  if (FScrollBarMoving) return;
  const TPoint off = FView->Offset();
  const TBaseStyleValues& b = FStyle->Base();
  if (FVBar.Enabled) FVBar.Position = std::clamp(b.PaperTileVReverse ? FVBar.Max - off.Y : -off.Y, 0, FVBar.Max);
  if (FHBar.Enabled) FHBar.Position = std::clamp(b.PaperTileHReverse ? FHBar.Max - off.X : -off.X, 0, FHBar.Max);
  PushScrollBars();
}

void TBaseControl::UpdateScrollRanges() {
  const TPoint ext = FView->Extent(), lim = FView->ScrollLimit(), step = FView->ScrollStep();
  const int32_t cw = FView->ClientWidth(), ch = FView->ClientHeight();
  auto set = [](TScrollBarState& bar, int32_t client, int32_t extent, int32_t limit, int32_t small) {
    bar.Enabled = bar.Visible && client < extent;
    if (bar.Enabled) {
      bar.Max = std::max(0, limit);
      bar.PageSize = client;
      bar.SmallStep = std::max(1, small);
      bar.LargeStep = std::max(1, client);
    } else {
      bar.Max = bar.Position = 0;
      bar.PageSize = client;
    }
  };
  set(FVBar, ch, ext.Y, lim.Y, step.Y);
  set(FHBar, cw, ext.X, lim.X, step.X);
  SyncScrollBars();
}

void TBaseControl::HScroll(TScrollCode code, int32_t position) { Scroll(false, code, position); }

void TBaseControl::VScroll(TScrollCode code, int32_t position) { Scroll(true, code, position); }

void TBaseControl::Scroll(bool vertical, TScrollCode code, int32_t position) {
  if (code == TScrollCode::Position || code == TScrollCode::EndScroll) return;
  TScrollBarState& bar = vertical ? FVBar : FHBar;
  const TBaseStyleValues& b = FStyle->Base();
  position = std::clamp(position, 0, bar.Max);
  bar.Position = position;
  const bool reversed = vertical ? b.PaperTileVReverse : b.PaperTileHReverse;
  const int32_t value = reversed ? bar.Max - position : -position;
  FScrollBarMoving = true;
  FView->SetScrollStepping(true);
  TAtScopeExit done([this] {
    FScrollBarMoving = false;
    FView->SetScrollStepping(false);
  });
  TPoint off = FView->Offset();
  (vertical ? off.Y : off.X) = value;
  FView->SetOffset(off);
}

// ---- Keys and wheel ------------------------------------------------------------------------

bool TBaseControl::KeyDown(int32_t key, TShiftState shift, bool autoRepeat) {
  if (FAccelKey != 0) {
    // the repeat timer runs the command while the key is held; its repeats add nothing
    if (key == FAccelKey && autoRepeat) return true;
    StopAccel();
  }
  int32_t command = KeyToCommandHook(key, shift);
  if (command == vcNone) command = FView->KeyToCommand(key, shift);
  ExecuteCommandRepeat(command, key, false);
  if (OnKeyDown) OnKeyDown(key, shift);
  return command > 0;
}

bool TBaseControl::OwnsKey(int32_t key, TShiftState shift) {
  if (key == 0 || (shift & ssAlt)) return false;
  int32_t command = KeyToCommandHook(key, shift);
  if (command == vcNone) command = FView->KeyToCommand(key, shift);
  return command > 0;
}

void TBaseControl::KeyUp(int32_t key, bool autoRepeat) {
  if (autoRepeat) return;
  FRepeatCount = 0;
  FView->StopAutoScroll();
  if (key == FAccelKey) StopAccel();
}

void TBaseControl::FocusLost() {
  StopAccel();
  FRepeatCount = 0;
}

bool TBaseControl::Wheel(int32_t notches, TShiftState shift) {
  if (notches == 0) return false;
  const bool up = notches > 0, ctrl = (shift & ssCtrl) != 0;
  const int32_t command = up ? (ctrl ? CtrlWheelUpCommand : WheelUpCommand) : (ctrl ? CtrlWheelDownCommand : WheelDownCommand);
  bool handled = false;
  for (int32_t n = 0; n < std::abs(notches); ++n)
    for (int32_t i = 0; i < std::max(1, WheelLines); ++i) {
      if (!ExecuteCommandRepeat(command, 0, false)) return handled;
      handled = true;
    }
  return handled;
}

bool TBaseControl::ExecuteCommandRepeat(int32_t command, int32_t key, bool noAccel) {
  if (command != FLastCommand) FRepeatCount = 0;
  else if (!noAccel && FStyle->KeyRepeatAccel && key != 0 && AcceleratedKeys.count(key)) ++FRepeatCount;
  bool result = FView->ExecuteCommand(command);
  if (FRepeatCount > FStyle->KeyRepeatLimit && key != 0) {
    // From here the command runs every few milliseconds until the key is released.
    FAccelKey = key;
    FAccelCommand = command;
    if (FHost) FHost->StartRepeat(kRepeatInterval);
  }
  FLastCommand = command;
  return result;
}

void TBaseControl::RepeatTick() {
  if (FAccelKey != 0) FView->ExecuteCommand(FAccelCommand);
}

void TBaseControl::StopAccel() {
  if (FAccelKey != 0) {
    FAccelKey = 0;
    FRepeatCount = 0;
    if (FHost) FHost->StopRepeat();
  }
}

}  // namespace kaede
