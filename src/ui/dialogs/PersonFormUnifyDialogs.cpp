#include "PersonFormUnifyDialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "DialogParts.h"
#include "QtText.h"

namespace kaede {

TStrings TPersonFormUnify::ItemCaptions() {
  return {SJ("一文字名字一文字名前以外の全角空白を半角に統一"), SJ("よみの全角空白を半角空白に統一"),
          SJ("よみをひらがなに統一"),                           SJ("住所の数字などを半角に統一"),
          SJ("郵便番号のハイフンを削除"),                       SJ("株式会社・有限会社を㈱㈲に統一")};
}

bool TPersonFormUnify::Execute() {
  std::array<bool, 6> all;
  all.fill(true);
  FView->SetChecks(all);
  if (!FView->RunModal()) return false;
  std::array<bool, 6> checks = FView->Checks();
  FOptions = 0;
  for (size_t i = 0; i < checks.size(); ++i)
    if (checks[i]) FOptions |= 1u << i;
  return true;
}

// ---- TPersonFormUnifyDialog ----------------------------------------------------------------

TPersonFormUnifyDialog::TPersonFormUnifyDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("書式の最適化")));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQ(SJ("実行する書式最適化項目にチェックを入れてください。\n（※すべてチェックすることをお薦めします）")), this));
  FCheckListBoxOptions = new QListWidget(this);
  for (const std::string& c : TPersonFormUnify::ItemCaptions()) {
    auto* it = new QListWidgetItem(ToQ(c), FCheckListBoxOptions);
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    it->setSizeHint(QSize(0, 20));
  }
  layout->addWidget(FCheckListBoxOptions, 1);
  layout->addWidget(new QLabel(ToQ(SJ("（※印刷時は自動的に株式会社・有限会社に戻ります）")), this));
  layout->addWidget(MakeOkCancel(this));
  resize(380, 280);
}

void TPersonFormUnifyDialog::SetChecks(const std::array<bool, 6>& checks) {
  for (int i = 0; i < FCheckListBoxOptions->count() && i < 6; ++i)
    FCheckListBoxOptions->item(i)->setCheckState(checks[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
}

std::array<bool, 6> TPersonFormUnifyDialog::Checks() const {
  std::array<bool, 6> checks{};
  for (int i = 0; i < FCheckListBoxOptions->count() && i < 6; ++i)
    checks[static_cast<size_t>(i)] = FCheckListBoxOptions->item(i)->checkState() == Qt::Checked;
  return checks;
}

bool TPersonFormUnifyDialog::RunModal() { return exec() == QDialog::Accepted; }

}  // namespace kaede
