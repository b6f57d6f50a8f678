#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "CoolTabSets.h"
#include "MessageStatusBars.h"
#include "QtFonts.h"
#include "QtText.h"
#include "Selecters.h"
#include "TestUtil.h"

using namespace kaede;

namespace {
// Every tab text is 10 pixels wide per byte.
TCoolTabSetModel::TMeasure Fixed() {
  return [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
}
}  // namespace

TEST(TabStrip, MeasuresTabsAndFindsTheOnesThatDoNotFit) {
  TCoolTabSetModel m(Fixed());
  m.SetTabs({SJ("全"), SJ("あ"), SJ("か"), SJ("さ"), SJ("た")});  // 20 pixels each
  EXPECT_EQ(m.RightEnd(0), 31);
  EXPECT_EQ(m.RightEnd(1), 60);
  EXPECT_EQ(m.TabAt(0), 0);
  EXPECT_EQ(m.TabAt(32), 1);
  m.SetWidth(1000);
  EXPECT_EQ(m.VisibleCount(), 5);
  EXPECT_FALSE(m.OverflowShown());
  m.SetWidth(72);  // x = 60 falls in tab 1: tabs from 1 on do not fit
  EXPECT_EQ(m.VisibleCount(), 1);
  EXPECT_TRUE(m.OverflowShown());
  EXPECT_EQ(m.HiddenTabs().size(), 4u);
  EXPECT_EQ(m.DrawLeft(2), 58);
}

TEST(TabStrip, SelectingRaisesEventsOnlyForAChangeOrWhenForced) {
  TCoolTabSetModel m(Fixed());
  m.SetTabs({"a", "b", "c"});
  m.SetWidth(45);  // only tab 0 fits
  int changing = 0, changed = 0, lastNew = -1;
  m.OnTabChanging = [&](int i) { ++changing, lastNew = i; };
  m.OnTabChanged = [&] { ++changed; };
  m.SetTabIndex(0);
  EXPECT_EQ(m.OverflowCrossColor(), 0x222222);
  m.SetTabIndex(2);  // a hidden tab
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(lastNew, 2);
  EXPECT_EQ(m.OverflowCrossColor(), 3368703);
  m.SetTabIndex(2);
  EXPECT_EQ(changed, 2);
  m.ForceExecuteChangeEvent = true;
  m.SetTabIndex(2);
  EXPECT_EQ(changed, 3);
  EXPECT_FALSE(m.ForceExecuteChangeEvent);
  m.SetTabIndex(3);  // out of range
  m.SetTabIndex(-1);
  EXPECT_EQ(changing, 3);
}

TEST(TabStrip, ChoosingAHiddenTabFromTheSelectorSelectsItOnce) {
  TCoolTabSet strip;
  strip.resize(60, 24);
  strip.show();
  strip.SetTabs({SJ("全"), SJ("家族"), SJ("友人"), SJ("仕事"), SJ("あ"), SJ("か")});
  strip.SetTabIndex(0);
  ASSERT_TRUE(strip.Model().OverflowShown());
  int changed = 0;
  strip.Model().OnTabChanged = [&] { ++changed; };
  strip.ShowOverflowSelector();
  ASSERT_NE(strip.Selector(), nullptr);
  int visible = strip.Model().VisibleCount();
  QTest::keyClick(strip.Selector(), Qt::Key_Down);
  QTest::keyClick(strip.Selector(), Qt::Key_Return);
  EXPECT_EQ(strip.TabIndex(), visible + 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(strip.Model().OverflowCrossColor(), 3368703);
  EXPECT_FALSE(strip.Selector()->IsShown());
}

TEST(Selector, KeysMoveDeleteAndSelect) {
  TSelecterModel m;
  m.Items = {"a", "b", "c"};
  m.ShortCut = Qt::Key_F4;
  EXPECT_EQ(m.Key(Qt::Key_Down), TSelecterModel::krNone);
  EXPECT_EQ(m.Highlighted, 1);
  EXPECT_EQ(m.Key(Qt::Key_F4), TSelecterModel::krNone);
  EXPECT_EQ(m.Key(Qt::Key_F4), TSelecterModel::krNone);  // from the last back to the first
  EXPECT_EQ(m.Highlighted, 0);
  m.Highlighted = 2;
  m.OnDelete = [](int) { return false; };
  EXPECT_EQ(m.Key(Qt::Key_Delete), TSelecterModel::krNone);
  m.OnDelete = nullptr;
  EXPECT_EQ(m.Key(Qt::Key_Delete), TSelecterModel::krDeleted);
  EXPECT_EQ(m.Items.size(), 2u);
  EXPECT_EQ(m.Highlighted, 1);  // stays within the list
  EXPECT_EQ(m.Key(Qt::Key_Control), TSelecterModel::krNone);
  EXPECT_EQ(m.Key(Qt::Key_M), TSelecterModel::krSelect);
  EXPECT_EQ(m.Key(Qt::Key_Escape), TSelecterModel::krHide);
  EXPECT_EQ(m.Key(Qt::Key_A), TSelecterModel::krHide);
}

// The overflow list opens beside its button and never past the screen's available area.
TEST(Selector, ThePopUpStaysOnTheScreen) {
  const QRect screen(0, 0, 800, 600);
  const QSize list(120, 200);
  // room below: under the button, left edges together
  EXPECT_EQ(PlacePopup(QRect(100, 50, 12, 18), list, screen), QRect(100, 68, 120, 200));
  // at the bottom edge: above the button
  EXPECT_EQ(PlacePopup(QRect(100, 500, 12, 18), list, screen), QRect(100, 300, 120, 200));
  // at the right edge: ending at the button's right edge
  EXPECT_EQ(PlacePopup(QRect(790, 50, 10, 18), list, screen), QRect(680, 68, 120, 200));
  // neither above nor below: on the screen, over the button if need be
  EXPECT_EQ(PlacePopup(QRect(100, 250, 12, 18), QSize(120, 500), screen), QRect(100, 100, 120, 500));
  // taller than the screen: the screen's height (the list scrolls)
  EXPECT_EQ(PlacePopup(QRect(100, 50, 12, 18), QSize(120, 900), screen), QRect(100, 0, 120, 600));
  // a second screen to the right of the first, with a panel at its top
  const QRect second(800, 30, 1024, 738);
  EXPECT_EQ(PlacePopup(QRect(1810, 0, 12, 18), list, second), QRect(1702, 30, 120, 200));

  // the widget: a list taller than the screen, opened at its corner, stays on it and scrolls
  // to the checked item
  QWidget owner;
  TSelecter s(&owner);
  s.SetItems(std::vector<std::string>(200, "item"));
  s.SetChecked(150);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  s.Popup(QRect(area.right() - 5, area.bottom() - 20, 12, 18));
  EXPECT_TRUE(area.contains(s.geometry()));
  EXPECT_TRUE(s.TopRow() > 0 && s.TopRow() <= 150);
}

TEST(StatusBar, MessagesReturnToTheDefaultAndStateTextsFollowModified) {
  TStatusBarModel m;
  m.DefaultMes = "ready";
  EXPECT_TRUE(m.SetMes("hello"));
  EXPECT_FALSE(m.SetMes("hello"));  // unchanged: the timer is not restarted
  EXPECT_FALSE(m.TimerFired());
  EXPECT_EQ(m.Mes(), "ready");
  m.SetModified(true);
  EXPECT_EQ(m.Mes(), SJ("修正が加えられました。"));
  m.SetAutoSave(true);
  m.SaveTime = 90;
  m.SetModified(true);
  EXPECT_EQ(m.Mes(), SJ("自動保存までの待ち時間は 1分30秒です。"));
  m.SetModified(false);
  EXPECT_EQ(m.Mes(), "ready");
}

TEST(StatusBar, PanelsAreLaidOutAroundTheMessage) {
  TStatusBarModel m;
  m.Panels.resize(4);
  m.Panels[2].Width = 50;
  m.Layout(400);
  EXPECT_EQ(m.Panels[0].Width, 2);
  EXPECT_EQ(m.Panels[3].Width, 18);
  EXPECT_EQ(m.Panels[1].Width, 400 - 2 - 50 - 18);
  m.StateIcons = {1, 3};
  m.Layout(400);
  EXPECT_EQ(m.Panels[0].Width, 42);
  EXPECT_TRUE(m.SetPanelText(2, "120"));
  EXPECT_FALSE(m.SetPanelText(2, "120"));
}

TEST(StatusBar, AMessageDisappearsAfterItsTime) {
  TMessageStatusBar bar;
  bar.resize(400, 20);
  bar.SetPanelCount(4);
  bar.SetDefaultMes("ready");
  bar.SetMessageTime(50);
  bar.SetMes(SJ("登録日 2026/12/9"));
  EXPECT_EQ(bar.Mes(), SJ("登録日 2026/12/9"));
  QTest::qWait(200);
  EXPECT_EQ(bar.Mes(), "ready");
  // a count panel fits its text in the gothic face, plus 16 pixels
  bar.FitPanel(2, "35/120");
  QFontMetrics fm(MakeFont(SJ("ＭＳ ゴシック"), bar.font().pointSizeF()));
  EXPECT_EQ(bar.PanelRect(2).width(), fm.horizontalAdvance("35/120") + 16);
}

TEST(QtText, FaceNamesMapToInstalledJapaneseFonts) {
  EXPECT_EQ(ResolveFaceName(SJ("ＭＳ 明朝")), "IPAMincho");
  EXPECT_EQ(ResolveFaceName(SJ("@ＭＳ 明朝")), "IPAMincho");
  EXPECT_EQ(ResolveFaceName(SJ("ＭＳ Ｐゴシック")), "IPAPGothic");
  EXPECT_EQ(ResolveFaceName(SJ("ＭＳ ゴシック")), "IPAGothic");
  EXPECT_EQ(ResolveFaceName(SJ("ない明朝体")), "IPAPMincho");
  EXPECT_EQ(ResolveFaceName("Noto Sans CJK JP"), "Noto Sans CJK JP");
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(FromQ(ToQ(SJ("髙橋①"))), SJ("髙橋①"));
  EXPECT_EQ(FromQ(QString::fromUtf8("😀")), SJ("〓"));
}

TEST(QtText, OneLineTurnsLineBreaksIntoSpacesAndKeepsTheCaretWhereItWas) {
  int pos = 4;  // after "a\r\nb" (between b and c)
  EXPECT_EQ(OneLine(QStringLiteral("a\r\nbc"), &pos), QStringLiteral("a bc"));
  EXPECT_EQ(pos, 3);
  pos = 2;  // between CR and LF: after the space
  EXPECT_EQ(OneLine(QStringLiteral("a\r\nb"), &pos), QStringLiteral("a b"));
  EXPECT_EQ(pos, 2);
  pos = 5;  // at the end
  EXPECT_EQ(OneLine(QString::fromUtf16(u"x\u2028y\0z", 5), &pos), QStringLiteral("x yz"));
  EXPECT_EQ(pos, 4);
  pos = 1;
  EXPECT_EQ(OneLine(QStringLiteral("\r\r\n\n"), &pos), QStringLiteral("   "));
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(OneLine(QStringLiteral("plain")), QStringLiteral("plain"));
}

TEST(QtFonts, VerticalFormsAndTheFontList) {
  TFontRecord f;
  f.Name = SJ("ＭＳ 明朝");
  SetVerticalFontName(f, true);
  EXPECT_EQ(f.Name, SJ("@ＭＳ 明朝"));
  SetVerticalFontName(f, false);
  EXPECT_EQ(f.Name, SJ("ＭＳ 明朝"));
  f.Name = SJ("どこにもない書体");
  SetVerticalFontName(f, true);
  EXPECT_EQ(f.Name, SJ("@ＭＳ ゴシック"));
  f.Name = SJ("@どこにもない書体");
  SetVerticalFontName(f, false);
  EXPECT_EQ(f.Name, SJ("ＭＳ ゴシック"));
  TStrings all, vertical, plain;
  FontList(all, true, 0);
  FontList(vertical, false, 1);
  FontList(plain, false, 2);
  EXPECT_EQ(all.size(), vertical.size() + plain.size());
  EXPECT_NE(std::find(plain.begin(), plain.end(), "IPAMincho"), plain.end());
  for (const std::string& v : vertical) EXPECT_EQ(v[0], '@');
  bool turned = false;
  f.Name = SJ("@ＭＳ 明朝");
  f.Size = 12;
  QFont q = MakeQFont(f, &turned);
  EXPECT_TRUE(turned);
  EXPECT_EQ(q.family(), "IPAMincho");
  EXPECT_EQ(q.pointSize(), 12);
}
