#include "StylePopupActionBars.h"

#include "AppHost.h"
#include "Errors.h"
#include "QtText.h"

namespace kaede {

std::string TStylePopupMenu::Caption(TEntry entry) {
  switch (entry) {
    case peCust: return SJ("スタイルの設定");
    case peAdd: return SJ("スタイルの追加");
    case peDelete: return SJ("スタイルの削除");
    case peRename: return SJ("スタイル名の変更");
    case pePrev: return SJ("スタイルを一つ前へ");
    case peNext: return SJ("スタイルを一つ後へ");
    case peFirst: return SJ("スタイルを先頭へ");
    case peLast: return SJ("スタイルを末尾へ");
    case peOpen: return SJ("ファイルから開く");
    case peSave: return SJ("ファイルに保存");
    case peReset: return SJ("初期状態");
    case peCount: break;
  }
  return std::string();
}

bool TStylePopupMenu::SeparatorAfter(TEntry entry) {
  return entry == peCust || entry == peRename || entry == peLast || entry == peSave;
}

TBaseStyleList* TStylePopupMenu::List() const { return Current ? dynamic_cast<TBaseStyleList*>(Current->Owner()) : nullptr; }

int TStylePopupMenu::Position() const {
  TBaseStyleList* list = List();
  if (!list) return -1;
  for (int i = 0; i < list->AllCount(); ++i)
    if (list->AllItems(i) == Current) return i;
  return -1;
}

bool TStylePopupMenu::Enabled(TEntry entry) const {
  const int i = Position();
  if (i < 0) return false;
  const int n = List()->AllCount();
  switch (entry) {
    // only deleting needs another style: a list never loses its last one, and a list with
    // one style can still be edited, added to, saved and reset
    case peDelete: return n > 1;
    case pePrev: return i > 0 && (!CategoryMode || PrevPos >= 0);
    case peNext: return i < n - 1 && (!CategoryMode || NextPos >= 0);
    case peFirst: return i > 0 && !CategoryMode;
    case peLast: return i < n - 1 && !CategoryMode;
    default: return true;
  }
}

template <class F>
void TStylePopupMenu::Change(F f) {
  if (OnBeforeChange) OnBeforeChange();
  try {
    f();
  } catch (...) {
    // the buttons are rebuilt for whatever the list holds now
    if (OnAfterChange) OnAfterChange();
    throw;
  }
  if (OnAfterChange) OnAfterChange();
}

void TStylePopupMenu::Run(TEntry entry) {
  if (!Enabled(entry)) return;
  TBaseStyleList* list = List();
  TBaseStyle* s = Current;
  const int i = Position();
  const int n = list->AllCount();
  switch (entry) {
    case peCust:
      if (OnStyleCust) OnStyleCust();
      break;
    case peAdd: {
      std::string name = SJ("新規スタイル");
      if (!FDialogs.InputText(SJ("スタイルの追加"), SJ("スタイル名を入力してください。"), name)) return;
      Change([&] {
        auto* copy = static_cast<TBaseStyle*>(list->InsertText(i + 1, std::string()));
        copy->Assign(s);
        // the copy is the user's own: a predefined number would give it the preset's name
        // and settings again the next time the list is read
        copy->SetDefaultIndex(-1);
        copy->SetName(name);
        Current = copy;
      });
      break;
    }
    case peDelete:
      if (!FDialogs.Confirm("\"" + s->GetCaption() + "\"" + SJ(" を削除します。よろしいですか？"))) return;
      Change([&] {
        s->Free();
        Current = static_cast<TBaseStyle*>(list->AllItems(std::min(i, list->AllCount() - 1)));
      });
      break;
    case peRename: {
      std::string name = s->Name();
      if (!FDialogs.InputText(SJ("スタイル名の変更"), SJ("スタイル名を入力してください。"), name)) return;
      Change([&] {
        // a predefined style keeps only its number: renamed, it becomes a user style so
        // that the new name is kept
        s->EnsurePreset();
        s->SetDefaultIndex(-1);
        s->SetName(name);
      });
      break;
    }
    case pePrev:
      Change([&] { list->Exchange(i, CategoryMode ? PrevPos : i - 1); });
      break;
    case peNext:
      Change([&] { list->Exchange(i, CategoryMode ? NextPos : i + 1); });
      break;
    case peFirst:
      Change([&] { s->SetIndex(0); });
      break;
    case peLast:
      Change([&] { s->SetIndex(n - 1); });
      break;
    case peOpen: {
      std::string file;
      if (!FDialogs.OpenFileName(list->DefaultExt, list->FileFilter, file)) return;
      Change([&] {
        auto* style = static_cast<TBaseStyle*>(list->InsertText(i + 1, std::string()));
        Current = style;
        try {
          style->LoadStyleFile(file);
        } catch (const Exception& e) {
          // the inserted style keeps its defaults; the user learns which file and why
          AppHost().ShowError(SJ("スタイルをファイルから読み込めませんでした。") + "\n\n" + e.what());
        }
        style->EnsurePreset();
      });
      break;
    }
    case peSave: {
      std::string file = s->Name();
      for (char& c : file)
        if (c == '/') c = '_';  // a name is no folder
      file += list->DefaultExt;
      if (!FDialogs.SaveFileName(list->DefaultExt, list->FileFilter, file)) return;
      s->EnsurePreset();
      try {
        s->SaveToFile(file, std::string());
      } catch (const Exception& e) {
        // the style and the list stay as they are; only the file was not written
        AppHost().ShowError(SJ("スタイルをファイルに保存できませんでした。") + "\n\n" + e.what());
      }
      break;
    }
    case peReset:
      if (!FDialogs.Confirm(SJ("すべてのスタイルを初期状態に戻します。よろしいですか？"))) return;
      Change([&] {
        list->Reset();
        Current = list->Style(0);
      });
      break;
    case peCount:
      break;
  }
}

// ---- TStylePopupActionBar ------------------------------------------------------------------

TStylePopupActionBar::TStylePopupActionBar(TStylePopupMenu& menu, QWidget* parent) : QMenu(parent), FMenu(menu) {
  for (int e = 0; e < TStylePopupMenu::peCount; ++e) {
    auto entry = static_cast<TStylePopupMenu::TEntry>(e);
    QAction* a = addAction(ToQ(TStylePopupMenu::Caption(entry)));
    connect(a, &QAction::triggered, this, [this, entry] { FMenu.Run(entry); });
    FActions[e] = a;
    if (TStylePopupMenu::SeparatorAfter(entry)) addSeparator();
  }
  connect(this, &QMenu::aboutToShow, this, [this] { UpdateEntries(); });
}

void TStylePopupActionBar::UpdateEntries() {
  for (int e = 0; e < TStylePopupMenu::peCount; ++e) FActions[e]->setEnabled(FMenu.Enabled(static_cast<TStylePopupMenu::TEntry>(e)));
}

}  // namespace kaede
