#include <gtest/gtest.h>

#include "BaseControls.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

class TFakeControlHost : public IControlHost {
public:
  TRect View;
  TRect Bars[2];
  bool BarVisible[2] = {false, false};
  TScrollBarState BarState[2];
  bool Repeating = false;
  int32_t RepeatInterval = 0;
  void PlaceView(const TRect& r) override { View = r; }
  void PlaceScrollBar(bool vertical, const TRect& r, bool visible) override {
    Bars[vertical] = r;
    BarVisible[vertical] = visible;
  }
  void SetScrollBar(bool vertical, const TScrollBarState& s) override { BarState[vertical] = s; }
  void StartRepeat(int32_t interval) override {
    Repeating = true;
    RepeatInterval = interval;
  }
  void StopRepeat() override { Repeating = false; }
};

// A plain control (paper shown, both bars) in a fake window of 400 x 300.
struct TControlFixture {
  TFakeControlHost Host;
  TFakeViewHost ViewHost;
  TBaseControl Control;
  TControlFixture() {
    Control.SetHost(&Host);
    Control.View().SetHost(&ViewHost);
    Control.ScrollBarSize = 16;
    Control.SetSize(400, 300);
    Control.HandleCreated();
  }
  TBaseStyle& Style() { return Control.Style(); }
};

}  // namespace

class BaseControl : public TViewTest {};

TEST_F(BaseControl, BorderMarginPlacesTheViewBesideTheScrollBars) {
  TControlFixture f;
  f.Style().SetBase(&TBaseStyleValues::BorderMargin, 6);
  // border 2, bars 16 thick: the view starts 6 inside the border and reaches the bars
  EXPECT_EQ(f.Control.InnerRect(), (TRect{2, 2, 382, 282}));
  EXPECT_EQ(f.Control.ViewRect(), (TRect{8, 8, 382, 282}));
  EXPECT_EQ(f.Host.View, f.Control.ViewRect());
  EXPECT_EQ(f.Host.Bars[1], (TRect{382, 2, 398, 282}));
  EXPECT_EQ(f.Host.Bars[0], (TRect{2, 282, 382, 298}));
  EXPECT_EQ(f.Control.View().ClientWidth(), 374);
  // both bars hidden: inset on all four sides, the band in the Margin element's colour
  f.Style().BeginUpdate();
  f.Style().SetBase(&TBaseStyleValues::VScrollBarVisible, false);
  f.Style().SetBase(&TBaseStyleValues::HScrollBarVisible, false);
  f.Style().EndUpdate();
  EXPECT_EQ(f.Control.ViewRect(), (TRect{8, 8, 392, 292}));
  EXPECT_FALSE(f.Host.BarVisible[0]);
  f.Style().ViewInfo(TBaseStyle::viMargin)->SetBackColor(0x123456);
  TRecordingCanvas c;
  f.Control.PaintBand(c, {0, 0, 400, 300});
  ASSERT_FALSE(c.Ops.empty());
  for (const TCanvasOp& op : c.Ops) {
    EXPECT_EQ(op.Brush.Color, 0x123456);
    EXPECT_FALSE(RectsMeet(op.Rect, f.Control.ViewRect()));
  }
  // no border
  f.Control.SetBorderStyle(TControlBorderStyle::cbNone);
  EXPECT_EQ(f.Control.BorderWidth(), 0);
  EXPECT_EQ(f.Control.ViewRect(), (TRect{6, 6, 394, 294}));
}

TEST_F(BaseControl, ScrollBarsFollowTheOffsetWithoutEcho) {
  TControlFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 100);  // an A4 sheet taller than the view
  const TScrollBarState& v = f.Control.ScrollBar(true);
  EXPECT_TRUE(v.Enabled);
  EXPECT_EQ(v.Max, f.Control.View().ScrollLimit().Y);
  EXPECT_EQ(v.PageSize, f.Control.View().ClientHeight());
  EXPECT_EQ(v.SmallStep, f.Control.View().ScrollStep().Y);
  EXPECT_EQ(v.Position, 0);
  f.Control.View().ExecuteCommand(vcScrollForward);
  EXPECT_EQ(f.Host.BarState[1].Position, f.Control.View().ScrollStep().Y);
  // the thumb moves the view, live
  f.Control.VScroll(TScrollCode::Track, 100);
  EXPECT_EQ(f.Control.View().Offset().Y, -100);
  f.Control.VScroll(TScrollCode::Position, 5);  // the final position changes nothing
  EXPECT_EQ(f.Control.View().Offset().Y, -100);
  f.Control.VScroll(TScrollCode::Track, 1000000);
  EXPECT_EQ(f.Control.View().Offset().Y, -v.Max);
}

TEST_F(BaseControl, ReversedTilingPutsTheStartAtTheLowestThumbPosition) {
  TControlFixture f;
  f.Style().BeginUpdate();
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  f.Style().SetBase(&TBaseStyleValues::PaperTileVReverse, true);
  f.Style().EndUpdate();
  const TScrollBarState& v = f.Control.ScrollBar(true);
  EXPECT_EQ(f.Control.View().Offset().Y, 0);
  EXPECT_EQ(v.Position, v.Max);
  f.Control.VScroll(TScrollCode::Track, 0);  // the top position
  EXPECT_EQ(f.Control.View().Offset().Y, v.Max);
  f.Control.VScroll(TScrollCode::Track, v.Max - 10);  // moving the thumb down goes towards 0
  EXPECT_EQ(f.Control.View().Offset().Y, 10);
}

TEST_F(BaseControl, AViewThatFitsHasADisabledScrollBar) {
  TControlFixture f;  // whole page: the sheet fits the height
  EXPECT_GE(f.Control.View().ClientHeight(), 0);
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 10);
  EXPECT_FALSE(f.Control.ScrollBar(true).Enabled);
  EXPECT_FALSE(f.Control.ScrollBar(false).Enabled);
  f.Style().SetBase(&TBaseStyleValues::VScrollBarVisible, false);
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  EXPECT_FALSE(f.Control.ScrollBar(true).Enabled);  // hidden bars are never enabled
  EXPECT_TRUE(f.Control.ScrollBar(false).Enabled);
}

namespace {

// Counts the commands it runs.
class TCountingView : public TBaseView {
public:
  using TBaseView::TBaseView;
  int Runs = 0;
  bool ExecuteCommand(int32_t command) override {
    if (command > 0) ++Runs;
    return TBaseView::ExecuteCommand(command);
  }
};

// Down is a command of the control (the base view has none for the arrow keys).
class TDownControl : public TBaseControl {
public:
  TDownControl()
      : TBaseControl([](TBaseStyle* s) { return new TCountingView(s); }, [] { return new TBaseStyle(); }) {}
  int Runs() const { return static_cast<TCountingView&>(View()).Runs; }

protected:
  int32_t KeyToCommandHook(int32_t key, TShiftState) override { return key == vkDown ? vcScrollForward : 0; }
};

}  // namespace

TEST_F(BaseControl, HeldArrowKeysAccelerateAfterTheRepeatLimit) {
  TDownControl c;
  TFakeControlHost host;
  c.SetHost(&host);
  c.SetSize(400, 300);
  c.HandleCreated();
  // the first press and 100 repeats of the same command run it once each
  for (int i = 0; i <= 100; ++i) {
    c.KeyDown(vkDown, 0, i > 0);
    c.KeyUp(vkDown, true);  // X11 sends a release before every repeat
  }
  EXPECT_EQ(c.Runs(), 101);
  EXPECT_FALSE(c.Accelerating());
  EXPECT_EQ(c.RepeatCount(), 100);
  // the 102nd starts the fast repeat, every 10 ms until the key is really released
  c.KeyDown(vkDown, 0, true);
  EXPECT_TRUE(c.Accelerating());
  EXPECT_TRUE(host.Repeating);
  EXPECT_EQ(host.RepeatInterval, 10);
  EXPECT_EQ(c.Runs(), 102);
  c.RepeatTick();
  c.RepeatTick();
  EXPECT_EQ(c.Runs(), 104);
  c.KeyDown(vkDown, 0, true);  // repeats meanwhile add nothing
  c.KeyUp(vkDown, true);
  EXPECT_EQ(c.Runs(), 104);
  EXPECT_TRUE(c.Accelerating());
  c.KeyUp(vkDown, false);
  EXPECT_FALSE(c.Accelerating());
  EXPECT_FALSE(host.Repeating);
  EXPECT_EQ(c.RepeatCount(), 0);
  c.RepeatTick();
  EXPECT_EQ(c.Runs(), 104);

  // losing the focus stops it too
  for (int i = 0; i <= 101; ++i) c.KeyDown(vkDown, 0, i > 0);
  EXPECT_TRUE(c.Accelerating());
  c.FocusLost();
  EXPECT_FALSE(c.Accelerating());
  EXPECT_FALSE(host.Repeating);

  // another key resets the count; the style can turn acceleration off
  for (int i = 0; i < 50; ++i) c.KeyDown(vkDown, 0, i > 0);
  c.KeyDown('A', 0);
  EXPECT_EQ(c.RepeatCount(), 0);
  c.Style().KeyRepeatAccel = false;
  for (int i = 0; i < 200; ++i) c.KeyDown(vkDown, 0, i > 0);
  EXPECT_FALSE(c.Accelerating());
}

TEST_F(BaseControl, WheelStepsNeverAccelerate) {
  TControlFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 400);
  f.Control.WheelLines = 3;
  TBaseView& v = f.Control.View();
  const int32_t step = v.ScrollStep().Y;
  EXPECT_TRUE(f.Control.Wheel(-1, 0));
  EXPECT_EQ(v.Offset().Y, -3 * step);
  for (int i = 0; i < 100; ++i) f.Control.Wheel(-1, 0);
  EXPECT_FALSE(f.Control.Accelerating());
  EXPECT_EQ(f.Control.RepeatCount(), 0);
  // at the start nothing moves upwards, but the command still counts as handled
  f.Control.View().SetOffset({0, 0});
  EXPECT_TRUE(f.Control.Wheel(2, 0));
  EXPECT_EQ(v.Offset().Y, 0);
  // Ctrl turns the wheel sideways
  f.Control.Wheel(-1, ssCtrl);
  EXPECT_LT(v.Offset().X, 0);
  // a command nobody handles leaves the wheel to the standard handling
  f.Control.WheelUpCommand = 42;
  EXPECT_FALSE(f.Control.Wheel(1, 0));
}

TEST_F(BaseControl, StyleEventsAndStyleIndex) {
  TControlFixture f;
  int changing = 0, changed = 0, ratio = 0;
  f.Control.OnStyleChanging = [&] { ++changing; };
  f.Control.OnStyleChange = [&] { ++changed; };
  f.Control.OnRatioChange = [&] { ++ratio; };
  TBaseStyle* s = TDataItem::Make<TBaseStyle>();
  s->SetBase(&TBaseStyleValues::PaperVisible, true);
  s->SetBase(&TBaseStyleValues::RatioValue, 60);
  f.Control.AssignStyle(s);
  f.Control.AssignStyle(nullptr);
  s->Free();
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(f.Control.View().RatioValue(), 60);
  f.Control.View().SetRatioValue(70);
  EXPECT_EQ(ratio, 1);
  f.Control.SetStyleIndex(0);
  EXPECT_TRUE(f.Style().PaperVisible());  // a plain control shows paper for the first preset
  EXPECT_EQ(f.Style().DefaultIndex(), 0);
}

TEST_F(BaseControl, NoLayoutBeforeTheWindowExists) {
  TFakeControlHost host;
  TBaseControl c;
  c.SetHost(&host);
  c.SetSize(300, 200);
  EXPECT_EQ(host.View, (TRect{}));
  c.HandleCreated();
  EXPECT_EQ(host.View, (TRect{2, 2, 282, 182}));
}
