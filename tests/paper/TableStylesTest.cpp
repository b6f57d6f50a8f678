#include <gtest/gtest.h>

#include "Files.h"
#include "StyleTestUtil.h"
#include "TableStyles.h"

using namespace kaede;
using namespace kaede::test;
using T = TTableStyleValues;

namespace {

bool SameTable(const TTableStyle& a, const TTableStyle& b) { return a.Table() == b.Table(); }

int CountSections(TSettingsStore& store, const std::string& prefix) {
  int n = 0;
  for (const std::string& s : store.Sections()) n += s.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

TEST(TableStyle, DefaultsWriteOnlyWhatDiffersFromTheBase) {
  TTableStyle* s = TDataItem::Make<TTableStyle>();
  EXPECT_EQ(WrittenKeys(*s), (TKeyValues{{"Name", SJ("標準スタイル")},
                                         {"DefaultIndex", "-1"},
                                         {"Category", SJ("一覧表")},
                                         {"PaperVisible", "1"}}));
  EXPECT_SJ_EQ("名前,〒,住所", s->Table().ValueNames);
  EXPECT_SJ_EQ("MS UI Gothic", s->Normal()->Font().Name);
  EXPECT_EQ(s->Line()->Decorate(), 1);
  EXPECT_EQ(s->Line()->LineWidth(), 0);
  EXPECT_EQ(s->Line()->BackColor(), TColor(0xEEEEEE));
  EXPECT_EQ(s->Line()->DecorateColor(), TColor(0x808080));
  s->Free();
}

TEST(TableStyle, EveryKeyRoundTripsAndElementsAreStoredWhole) {
  TTableStyle* s = TDataItem::Make<TTableStyle>();
  s->SetTable(&T::ValueNameOnlyFirstPage, true);
  s->SetTable(&T::InBoxVerticalMargin, 0.5);
  s->SetTable(&T::InBoxLevelMargin, 3.25);
  s->SetTable(&T::ValueNames, SJ("名前,TEL"));
  s->Normal()->SetFontSize(12);
  TKeyValues w = WrittenKeys(*s);
  EXPECT_EQ(w["ValueNameOnlyFirstPage"], "1");
  EXPECT_EQ(w["InBoxVerticalMargin"], "0.5");
  EXPECT_EQ(w["InBoxLevelMargin"], "3.25");
  EXPECT_EQ(w["Normal"], "1,\"MS UI Gothic,12,,\",0,0,clBlack,clWhite,clBlack");
  EXPECT_EQ(w.count("Line"), 0u);
  ChangeEveryElement(*s);
  ExpectFileRoundTrip<TTableStyle>(*s, SameTable);
  s->Free();
}

TEST(TableStyle, StoredElementTextsChangeOnlyTheirFields) {
  TTableStyle* s = TDataItem::Make<TTableStyle>();
  ASSERT_TRUE(LoadKeys(*s, {{"Normal", "2,,,,clRed"}, {"InBoxLevelMargin", "-4"}}));
  EXPECT_EQ(s->Normal()->Status(), 2);
  EXPECT_EQ(s->Normal()->TextColor(), clRed);
  EXPECT_SJ_EQ("MS UI Gothic", s->Normal()->Font().Name);
  EXPECT_EQ(s->Line()->Decorate(), 1);       // no key: the default
  EXPECT_EQ(s->Table().InBoxLevelMargin, 0);  // a negative cell margin is 0
  s->Free();
}

TEST(TableStyle, UnifiedColoursLeaveTheTableElements) {
  TTableStyle* s = TDataItem::Make<TTableStyle>();
  s->SetColors(TViewInfo::ciBack, clRed);
  s->SetFonts(SJ("ＭＳ 明朝"), 20);
  EXPECT_EQ(s->Normal()->BackColor(), clWhite);
  EXPECT_EQ(s->Line()->BackColor(), TColor(0xEEEEEE));
  EXPECT_SJ_EQ("MS UI Gothic", s->Line()->Font().Name);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viMargin)->BackColor(), clRed);
  s->Free();
}

TEST(TableStyleList, AnEmptyStoreGivesThePredefinedStyles) {
  TTableStyleList list;
  auto store = TSettingsStore::OpenFile("");
  list.ReadFromStore(*store);
  ASSERT_EQ(list.Count(), 4);
  const char* names[] = {"【一覧表】名前と住所", "【一覧表】名前と電話番号", "【一覧表】名前とメールとホームページ",
                         "【一覧表】名前と電話番号とメール"};
  const char* columns[] = {"名前,〒,住所", "名前,TEL,FAX,携帯", "名前,Mail,ホームページ", "名前,TEL,FAX,携帯,Mail"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(static_cast<TTableStyle*>(list.Items(i))->PresetApplied());
    TTableStyle* s = list.Style(i);
    EXPECT_EQ(s->DefaultIndex(), i);
    EXPECT_SJ_EQ(names[i], s->Name());
    EXPECT_SJ_EQ(columns[i], s->Table().ValueNames);
    EXPECT_EQ(s->Table().InBoxLevelMargin, i == 0 ? 1.5 : 2.0);
  }
  EXPECT_EQ(list.Style(4), nullptr);
}

TEST(TableStyleList, PredefinedStylesStoreOnlyNumberAndName) {
  TTableStyleList list;
  list.Reset();
  TTableStyle* s = list.Style(1);
  s->SetTable(&T::InBoxVerticalMargin, 5.0);  // not stored for a predefined style
  EXPECT_EQ(WrittenKeys(*s), (TKeyValues{{"Name", SJ("【一覧表】名前と電話番号")}, {"DefaultIndex", "1"}}));
  auto store = TSettingsStore::OpenFile("");
  list.WriteToStore(*store);
  store->WriteString("TableStyle01", "InBoxVerticalMargin", "7");  // whatever the store holds
  TTableStyleList back;
  back.ReadFromStore(*store);
  EXPECT_EQ(back.Style(1)->Table().InBoxVerticalMargin, 1.0);
  EXPECT_SJ_EQ("【一覧表】名前と電話番号", back.Style(1)->Name());
}

// The style frames make an edited predefined style a user style; it keeps its settings.
TEST(TableStyleList, BecomingAUserStyleKeepsNameAndSettings) {
  TTableStyleList list;
  list.Reset();
  TTableStyle* s = list.Style(0);
  s->SetTable(&T::InBoxVerticalMargin, 3.0);
  s->SetDefaultIndex(-1);
  EXPECT_SJ_EQ("【一覧表】名前と住所", s->Name());
  EXPECT_EQ(s->Table().InBoxLevelMargin, 1.5);
  EXPECT_EQ(WrittenKeys(*s)["InBoxVerticalMargin"], "3");
  // and the way back
  s->SetDefaultIndex(0);
  s->EnsurePreset();
  EXPECT_EQ(s->Table().InBoxVerticalMargin, 1.0);
  // a copy of an applied predefined style does not apply its preset again
  TTableStyle* copy = TDataItem::Make<TTableStyle>();
  copy->Assign(s);
  copy->EnsurePreset();
  EXPECT_SJ_EQ("【一覧表】名前と住所", copy->Name());
  copy->Free();
}

TEST(TableStyleList, FilesAndTheSettingsStore) {
  TempDir dir;
  std::string file = dir.File("styles.ini");
  TTableStyleList list;
  list.ReadFromIniFile(file);  // no file: the predefined styles
  ASSERT_EQ(list.Count(), 4);
  list.Style(2)->SetDefaultIndex(-1);
  list.Style(2)->SetName(SJ("私の一覧"));
  list.Items(3)->Free();
  list.AddText(SJ("五番目"));
  list.AddText(SJ("六番目"));
  ASSERT_EQ(list.Count(), 5);
  auto other = TSettingsStore::OpenFile(file);
  other->WriteString("Option", "Keep", "1");
  other->Save();
  list.WriteToIniFile(file);

  TTableStyleList back;
  back.ReadFromIniFile(file);
  EXPECT_EQ(back.GetCaptions(), list.GetCaptions());
  EXPECT_EQ(back.Style(2)->DefaultIndex(), -1);

  // three styles over five leave three sections; other sections stay
  while (back.Count() > 3) back.Items(3)->Free();
  back.WriteToIniFile(file);
  auto after = TSettingsStore::OpenFile(file);
  EXPECT_EQ(CountSections(*after, "TableStyle"), 3);
  EXPECT_EQ(after->ReadString("Option", "Keep", ""), "1");

  // a file that does not exist keeps the styles held
  back.ReadFromIniFile(dir.File("missing.ini"));
  EXPECT_EQ(back.Count(), 3);

  ConfigHome home;
  list.WriteToRegistry("StyleTest");
  TTableStyleList fromRegistry;
  fromRegistry.ReadFromRegistry("StyleTest");
  EXPECT_EQ(fromRegistry.GetCaptions(), list.GetCaptions());
}

TEST(TableStyleList, NameChangesAreReportedOutsideLoading) {
  TTableStyleList list;
  std::vector<TBaseStyle*> renamed;
  list.OnNameChange = [&](TBaseStyle* s) { renamed.push_back(s); };
  list.Reset();
  EXPECT_TRUE(renamed.empty());
  TTableStyle* s = list.Style(0);  // the completion names it
  EXPECT_EQ(renamed, (std::vector<TBaseStyle*>{s}));
  renamed.clear();
  s->SetName("x");
  s->SetName("x");
  EXPECT_EQ(renamed, (std::vector<TBaseStyle*>{s}));
  EXPECT_EQ(list.SectionName(7), "TableStyle07");
  EXPECT_EQ(list.SectionName(123), "TableStyle123");
}
