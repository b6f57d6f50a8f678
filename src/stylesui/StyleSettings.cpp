#include "StyleSettings.h"

#include <algorithm>
#include <cmath>

#include "AppHost.h"
#include "CommaText.h"
#include "Collation.h"
#include "EditorStyles.h"
#include "PostStyles.h"
#include "SheetPrinters.h"
#include "TableStyles.h"

namespace kaede {

namespace {

using B = TBaseStyleValues;

// The items whose values are not plain settings.
enum : int { kRatio = 5, kPaperSize = 6, kPaperWidth = 7, kPaperHeight = 8, kLevelDivide = 9, kVerticalDivide = 10,
             kValueNames = 36 };

TBaseStyle* NewStyle(TStyleFrameKind kind) {
  TBaseStyle* s = nullptr;
  switch (kind) {
    case sfBase: s = new TBaseStyle(); break;
    case sfTable: s = new TTableStyle(); break;
    case sfEditor: s = new TEditorStyle(); break;
    case sfPost: s = new TPostStyle(); break;
  }
  s->Create(nullptr);
  return s;
}

std::string JoinLines(const TStrings& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
  return s;
}

// A paper length of the printer's current paper in whole millimetres (the printer raises
// when there is none).
int32_t PrinterPaperMm(bool height) {
  TSheetPrinter& printer = SheetPrinter();
  printer.CheckNoPrinter();
  TPoint tenth = printer.PaperSizeTenthMm();
  return RoundHalfEven((height ? tenth.Y : tenth.X) / 10.0);
}

// The style's paper as it is fed, in millimetres (0 x 0 when the style names no size).
std::pair<double, double> StylePaperMm(const TBaseStyleValues& base) {
  TPoint tenth{base.PaperWidth * 10, base.PaperHeight * 10};
  if (base.PaperSize != kPaperUser && !StandardPaperSize(base.PaperSize, tenth)) return {0, 0};
  return {tenth.X / 10.0, tenth.Y / 10.0};
}

// The printer the style prints on becomes the current one, read afresh from the print system
// (a queue added meanwhile is there); a style without one, or whose queue is gone, takes the
// system's default.
void SelectStylePrinter(const TBaseStyleValues& base) {
  TSheetPrinter& printer = SheetPrinter();
  printer.Refresh();
  if (base.Printer.empty() || !printer.SelectPrinter(base.Printer)) printer.SelectDefaultPrinter();
}

// A failure of the printer as the panel reports it: what failed first, then the reason.
std::string PrinterFailure(const std::exception& e) {
  return SJ("プリンタ「") + SheetPrinter().CurrentPrinterName() + SJ("」の用紙の一覧を読めませんでした。") + "\n" + e.what();
}

}  // namespace

TStyleSettings::TStyleSettings(TStyleFrameKind kind, IStyleDialogs& dialogs)
    : FKind(kind), FDialogs(dialogs), FItems(StyleItems(kind)), FEdit(NewStyle(kind)), FBackup(NewStyle(kind)),
      FPrinterItem(PrinterItemNo(kind)) {
  OnError = [](const std::string& message) { AppHost().ShowError(message); };
  FValue.OnChange = [this] { Apply(); };
  FValue.ElementEditor().OnUnifyColor = [this](int index, TColor color) { UnifyColor(index, color); };
}

TStyleSettings::~TStyleSettings() {
  FEdit->Free();
  FBackup->Free();
}

void TStyleSettings::SetStyle(const TBaseStyle* s) {
  if (!s) return;
  FEdit->Assign(s);
  FBackup->Assign(s);
  // the panel opens on the printers as they are now
  FPapersFetched = false;
  if (FCurrent >= 0) ShowCurrent();
  Refresh();
}

void TStyleSettings::SetColumnNames(const std::string& names) {
  FColumnNames = DecodeCommaText(names);
  if (FKind == sfTable && FCurrent == kValueNames) SelectItem(kValueNames);  // 項目選択 offers the new names
}

std::string TStyleSettings::DefaultNames() const {
  TStrings names;
  if (FKind == sfTable) names.push_back(SJ("一覧表"));
  if (FKind == sfPost)
    for (int i = 0; i < kPostPresetCount; ++i) names.push_back(TPostStyle::PresetName(i));
  return EncodeCommaText(names);
}

std::vector<TStyleSettings::TCategoryNode> TStyleSettings::Tree() const {
  std::vector<TCategoryNode> tree;
  for (const TStyleItem& item : FItems) {
    if (item.Info.Category.empty()) continue;
    auto it = std::find_if(tree.begin(), tree.end(), [&](const TCategoryNode& c) { return c.Caption == item.Info.Category; });
    if (it == tree.end()) {
      tree.push_back(TCategoryNode{item.Info.Category, {}});
      it = tree.end() - 1;
    }
    it->Items.push_back(item.No);
  }
  auto less = [](const std::string& a, const std::string& b) { return CollateCompare(a, b) < 0; };
  std::sort(tree.begin(), tree.end(), [&](const TCategoryNode& a, const TCategoryNode& b) { return less(a.Caption, b.Caption); });
  for (TCategoryNode& c : tree)
    std::stable_sort(c.Items.begin(), c.Items.end(), [&](int a, int b) { return less(Item(a).Info.Name, Item(b).Info.Name); });
  return tree;
}

RValueInfo TStyleSettings::Description(int no) {
  RValueInfo info = Item(no).Info;
  if (info.Unit == "DotMm" || info.Unit == "DotMmm") info.Unit = FEdit->PaperVisible() ? info.Unit.substr(3) : "Dot";
  if (no == kPaperSize) {
    if (!FPapersFetched && SheetPrinter().HasPrinter()) {
      // the list of the style's printer as it is now
      FPaperNames.clear();
      try {
        SelectStylePrinter(FEdit->Base());
        for (const TPaperEntry& p : SheetPrinter().Papers()) FPaperNames.push_back(p.Name);
        FPapersFetched = true;
      } catch (const std::exception& e) {
        FPaperNames.clear();
        FPaperError = PrinterFailure(e);
      }
    }
    info.Choices = EncodeCommaText(FPaperNames);
  }
  if (no == FPrinterItem) {
    // the queues as they are now; the style's own, when it has gone, by its name
    TSheetPrinter& printer = SheetPrinter();
    printer.Refresh();
    FPrinterChoices = {std::string()};
    TStrings captions = {SJ("通常使うプリンタ")};
    for (const std::string& name : printer.QueueNames()) {
      FPrinterChoices.push_back(name);
      captions.push_back(name);
    }
    const std::string& own = FEdit->Base().Printer;
    if (!own.empty() && std::find(FPrinterChoices.begin(), FPrinterChoices.end(), own) == FPrinterChoices.end()) {
      FPrinterChoices.push_back(own);
      captions.push_back(own + SJ("（見つかりません）"));
    }
    info.Choices = EncodeCommaText(captions);
  }
  if (FKind == sfTable && no == kValueNames) info.Choices = EncodeCommaText(FColumnNames);
  return info;
}

void TStyleSettings::Report(const std::exception& e) {
  if (OnError) OnError(e.what());
}

void TStyleSettings::Refresh() {
  if (OnRefresh) OnRefresh();
}

void TStyleSettings::SelectItem(int no) {
  FFailed = false;
  if (no < 0 || no >= ItemCount() || Item(no).Info.Category.empty()) {
    FCurrent = -1;
    FValue.SetEnabled(false);
    Refresh();
    return;
  }
  FLoading = true;
  FCurrent = no;
  FValue.Setup(Description(no));
  TViewInfoEditor& element = FValue.ElementEditor();
  element.SetHatchMode(no == TBaseStyle::viPrintRange);
  int fontMode = TViewInfoEditor::flAll;
  if (FKind == sfPost) {
    auto* post = static_cast<TPostStyle*>(FEdit);
    fontMode = no == TEditorStyle::viNormal && post->Editor().Vertical ? TViewInfoEditor::flVertical
                                                                       : TViewInfoEditor::flHorizontal;
  }
  element.SetFontListMode(fontMode);
  FLoading = false;
  ShowItem(no);
  Refresh();
}

void TStyleSettings::ShowCurrent() {
  if (FCurrent >= 0) ShowItem(FCurrent);
}

void TStyleSettings::ShowItem(int no) {
  FLoading = true;
  const TStyleItem& item = Item(no);
  const B& base = FEdit->Base();
  try {
    if (item.Scope == scElement) {
      if (TViewInfo* e = FEdit->ViewInfo(no)) FValue.ShowElement(*e);
    } else if (no == kRatio) {
      const auto& ratios = RatioValues();
      auto it = std::find(ratios.begin(), ratios.end(), base.RatioValue);
      if (it != ratios.end()) FValue.ShowIndex(static_cast<int>(it - ratios.begin()));
    } else if (no == kPaperSize) {
      // the style's paper is found in the printer's list by its size; a size the printer does
      // not list shows no entry (it prints as a custom size)
      if (!FPaperError.empty()) {
        const std::string message = FPaperError;
        FPaperError.clear();
        if (OnError) OnError(message);
      }
      SheetPrinter().CheckNoPrinter();
      if (FPapersFetched) {
        const auto [w, h] = StylePaperMm(base);
        const int i = FindPaperBySize(SheetPrinter().Papers(), w, h);
        if (i >= 0) FValue.ShowIndex(i);
      }
    } else if (no == FPrinterItem) {
      auto it = std::find(FPrinterChoices.begin(), FPrinterChoices.end(), base.Printer);
      FValue.ShowIndex(it == FPrinterChoices.end() ? 0 : static_cast<int>(it - FPrinterChoices.begin()));
    } else if (no == kPaperWidth || no == kPaperHeight) {
      int32_t mm = no == kPaperWidth ? base.PaperWidth : base.PaperHeight;
      FValue.ShowNumber(mm != 0 ? mm : PrinterPaperMm(no == kPaperHeight));
    } else if (FKind == sfTable && no == kValueNames) {
      TValueEditor::TCheckedSet set;
      for (const std::string& name : DecodeCommaText(static_cast<TTableStyle*>(FEdit)->Table().ValueNames)) {
        auto it = std::find(FColumnNames.begin(), FColumnNames.end(), name);
        size_t i = static_cast<size_t>(it - FColumnNames.begin());
        if (it != FColumnNames.end() && i < TValueEditor::kCheckCount) set.set(i);
      }
      FValue.ShowChecked(set);
    } else {
      TItemValue v;
      if (ReadItemValue(*FEdit, item, v)) {
        const uint8_t kind = item.Info.Kind;
        std::visit(
            [&](const auto& x) {
              using T = std::decay_t<decltype(x)>;
              if constexpr (std::is_same_v<T, bool>) FValue.ShowIndex(x ? 1 : 0);
              else if constexpr (std::is_same_v<T, int32_t>) {
                if (kind == vkNumber) FValue.ShowNumber(x);
                else FValue.ShowIndex(x);
              } else if constexpr (std::is_same_v<T, double>) FValue.ShowNumber(x);
              else if constexpr (std::is_same_v<T, std::string>) FValue.ShowText(x);
              else if constexpr (std::is_same_v<T, TStrings>) FValue.ShowText(kind == vkMemo ? JoinLines(x) : EncodeCommaText(x));
              else FValue.ShowLayout(x);
            },
            v);
      }
    }
  } catch (const ESheetPrinter& e) {
    FFailed = true;
    FLoading = false;
    Report(e);
    return;
  }
  FLoading = false;
}

template <class F>
void TStyleSettings::Edit(F f) {
  if (OnEditChanging) OnEditChanging();
  f();
  if (OnEditChange) OnEditChange();
  ShowCurrent();
  Refresh();
}

void TStyleSettings::Apply() {
  if (FLoading || FFailed || FCurrent < 0) return;
  const int no = FCurrent;
  const TStyleItem& item = Item(no);
  // what the printer must tell is asked first, so that a failure changes nothing
  int32_t otherLength = 0;
  try {
    if (no == kPaperWidth && FEdit->Base().PaperHeight == 0) otherLength = PrinterPaperMm(true);
    if (no == kPaperHeight && FEdit->Base().PaperWidth == 0) otherLength = PrinterPaperMm(false);
  } catch (const ESheetPrinter& e) {
    Report(e);
    return;
  }
  if (no == kPaperSize && !SheetPrinter().HasPrinter()) return;  // no paper to choose
  FLastApplied = no;
  Edit([&] {
    FEdit->BeginUpdate();
    try {
      if (item.Scope == scElement) {
        if (TViewInfo* e = FEdit->ViewInfo(no)) e->Assign(&FValue.ElementValue());
      } else if (no == kRatio) {
        const auto& ratios = RatioValues();
        if (FValue.IntValue >= 0 && FValue.IntValue < static_cast<int>(ratios.size()))
          FEdit->SetBase(&B::RatioValue, ratios[static_cast<size_t>(FValue.IntValue)]);
      } else if (no == kPaperSize) {
        const std::vector<TPaperEntry>& papers = SheetPrinter().Papers();
        if (FValue.IntValue >= 0 && FValue.IntValue < static_cast<int>(papers.size())) {
          const TPaperEntry& p = papers[static_cast<size_t>(FValue.IntValue)];
          if (p.Number != kPaperUser) {
            FEdit->SetPaperSize(p.Number);
          } else {
            // a size of the queue alone: kept in millimetres, the long side where the style
            // had it
            const auto [w, h] = StylePaperMm(FEdit->Base());
            const bool wide = w > h;
            int32_t a = RoundHalfEven(p.TenthMm.X / 10.0), b = RoundHalfEven(p.TenthMm.Y / 10.0);
            if (wide != (a > b)) std::swap(a, b);
            FEdit->SetPaperWidth(a);
            FEdit->SetPaperHeight(b);
          }
        }
      } else if (no == FPrinterItem) {
        if (FValue.IntValue >= 0 && FValue.IntValue < static_cast<int>(FPrinterChoices.size())) {
          FEdit->SetBase(&B::Printer, FPrinterChoices[static_cast<size_t>(FValue.IntValue)]);
          // 用紙サイズ lists the papers of the printer chosen now
          FPapersFetched = false;
        }
      } else if (no == kPaperWidth || no == kPaperHeight) {
        int32_t mm = RoundHalfEven(FValue.FloatValue);
        if (no == kPaperWidth) {
          FEdit->SetPaperWidth(mm);
          if (otherLength) FEdit->SetPaperHeight(otherLength);
        } else {
          FEdit->SetPaperHeight(mm);
          if (otherLength) FEdit->SetPaperWidth(otherLength);
        }
      } else if (no == kLevelDivide || no == kVerticalDivide) {
        ApplyDivide(no);
      } else if (FKind == sfTable && no == kValueNames) {
        TStrings names;
        for (size_t i = 0; i < FColumnNames.size() && i < TValueEditor::kCheckCount; ++i)
          if (FValue.CheckedSet.test(i)) names.push_back(FColumnNames[i]);
        static_cast<TTableStyle*>(FEdit)->SetTable(&TTableStyleValues::ValueNames, EncodeCommaText(names));
      } else {
        TItemValue v;
        if (ReadItemValue(*FEdit, item, v)) {
          const uint8_t kind = item.Info.Kind;
          std::visit(
              [&](auto& x) {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, bool>) x = FValue.IntValue == 1;
                else if constexpr (std::is_same_v<T, int32_t>) x = FValue.IntValue;
                else if constexpr (std::is_same_v<T, double>) x = FValue.FloatValue;
                else if constexpr (std::is_same_v<T, std::string>) x = FValue.TextValue;
                else if constexpr (std::is_same_v<T, TStrings>) {
                  if (kind == vkMemo) SplitLines(FValue.TextValue, x);
                  else x = DecodeCommaText(FValue.TextValue);
                } else x = FValue.LayoutValue;
              },
              v);
          WriteItemValue(*FEdit, item, v);
        }
      }
      // whatever was edited, the style is the user's own now
      FEdit->SetDefaultIndex(-1);
    } catch (...) {
      FEdit->EndUpdate();
      throw;
    }
    FEdit->EndUpdate();
  });
}

// Dividing a sheet into more pages makes every page smaller: the page margins, the header
// and footer distances and the page-frame elements' fonts and lines shrink with the side of
// a page (by the square root of the ratio of pages per sheet), and grow back the same way.
void TStyleSettings::ApplyDivide(int no) {
  const B& base = FEdit->Base();
  const int32_t value = std::max(1, FValue.IntValue);
  const int32_t oldPages = FEdit->PagesPerSheet();
  const int32_t newPages = no == kLevelDivide ? value * base.PaperVerticalDivide : base.PaperLevelDivide * value;
  const double f = std::sqrt(static_cast<double>(oldPages)) / std::sqrt(static_cast<double>(newPages));
  FEdit->SetBase(no == kLevelDivide ? &B::PaperLevelDivide : &B::PaperVerticalDivide, value);
  if (oldPages == newPages) return;
  for (double B::*m : {&B::MarginLeft, &B::MarginTop, &B::MarginRight, &B::MarginBottom, &B::HeaderDistanceX,
                       &B::HeaderDistanceY, &B::FooterDistanceX, &B::FooterDistanceY})
    FEdit->SetBase(m, FEdit->Base().*m * f);
  for (int e = TBaseStyle::viPaperMargin; e <= TBaseStyle::viPrintRange; ++e) {
    TViewInfo* v = FEdit->ViewInfo(e);
    int32_t size = v->Font().Size;
    if (size > 0) v->SetFontSize(std::max(1, RoundHalfEven(f * size)));
    v->SetLineWidth(f * v->LineWidth());
  }
}

void TStyleSettings::ChooseDefault(int index) {
  FLastApplied = -1;
  Edit([&] {
    FEdit->SetDefaultIndex(index);
    FEdit->EnsurePreset();
  });
}

void TStyleSettings::Restore() {
  if (!FDialogs.Confirm(SJ("全ての設定項目を最初の状態に戻します。よろしいですか？"))) return;
  Edit([&] { FEdit->Assign(FBackup); });
}

void TStyleSettings::MakePrintable() {
  if (!PrintStyleEnabled()) return;
  if (!FDialogs.Confirm(SJ("印刷に適した設定に変換します。よろしいですか？"))) return;
  Edit([&] { FEdit->MakePrintable(); });
}

void TStyleSettings::UnifyColor(int index, TColor color) {
  Edit([&] { FEdit->SetColors(index, color); });
}

}  // namespace kaede
