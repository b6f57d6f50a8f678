#include "PersonSelectDialogs.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QListView>
#include <QTabBar>
#include <QVBoxLayout>

#include "DialogParts.h"
#include "QtText.h"

namespace kaede {

TStrings TPersonSelect::TabCaptions() {
  return {SJ("全"), SJ("あ"), SJ("か"), SJ("さ"), SJ("た"), SJ("な"),
          SJ("は"), SJ("ま"), SJ("や"), SJ("ら"), SJ("わ"), SJ("他")};
}

TPersonSelect::TPersonSelect(IDataListView* listView, IPersonSelectView* view)
    : FFrame(std::make_unique<TPersonList>(), listView), FView(view) {
  List().RecordUndo = false;  // a copy to choose from, never edited
}

void TPersonSelect::SetBook(const TPersonList* book) {
  if (!book) return;
  // The copy holds every entry of the book: a book shown filtered by a tab of the main
  // window must not hide the other entries from the chooser.
  TPersonList& list = List();
  list.ClearFilter(false);
  WithUpdate(list, [&] {
    list.Clear();
    for (int i = 0; i < book->AllCount(); ++i) list.AddItem(book->AllItems(i));
  });
  TabChanged(FTab);
}

void TPersonSelect::TabChanged(int index) {
  FTab = index;
  TPersonList& list = List();
  if (index <= 0) {
    list.ClearFilter(true);
  } else {
    list.FindMode = pfmKanaRow;
    list.FilterNo(index - 1);
  }
}

// ---- TPersonSelectDialog -------------------------------------------------------------------

TPersonSelectDialog::TPersonSelectDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("人物選択ダイアログ")));
  auto* layout = new QVBoxLayout(this);
  FTabs = new QTabBar(this);
  // The tabs take the width their one character needs in this desktop's style; a fixed
  // narrow width left no room for the text beside the style's margins.
  FTabs->setExpanding(false);
  FTabs->setUsesScrollButtons(false);
  for (const std::string& t : TPersonSelect::TabCaptions()) FTabs->addTab(ToQ(t));
  layout->addWidget(FTabs);
  FListWidget = new TDataListFrameWidget(this);
  layout->addWidget(FListWidget, 1);
  layout->addWidget(MakeOkCancel(this));
  FLogic = std::make_unique<TPersonSelect>(FListWidget, this);
  FListWidget->Bind(&FLogic->Frame());
  connect(FTabs, &QTabBar::currentChanged, this, [this](int i) { FLogic->TabChanged(i); });
  connect(FListWidget->ListView(), &QListView::doubleClicked, this, &QDialog::accept);
  // wide enough for the whole row of tabs
  resize(std::max(360, FTabs->sizeHint().width() + layout->contentsMargins().left() + layout->contentsMargins().right()), 420);
}

TPersonSelectDialog::~TPersonSelectDialog() {
  FListWidget->Bind(nullptr);
  FLogic.reset();
}

bool TPersonSelectDialog::RunModal() { return exec() == QDialog::Accepted; }

}  // namespace kaede
