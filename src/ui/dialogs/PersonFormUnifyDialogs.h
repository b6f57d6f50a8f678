#pragma once
// The dialog that chooses the switches of the book-wide format unification.
#include <QDialog>
#include <array>

#include "Strs.h"

class QListWidget;

namespace kaede {

class IPersonFormUnifyView {
public:
  virtual ~IPersonFormUnifyView() = default;
  virtual void SetChecks(const std::array<bool, 6>& checks) = 0;
  virtual std::array<bool, 6> Checks() const = 0;
  virtual bool RunModal() = 0;
};

class TPersonFormUnify {
public:
  // The switches in order (switch i is bit i of Options).
  static TStrings ItemCaptions();

  explicit TPersonFormUnify(IPersonFormUnifyView* view) : FView(view) {}
  // Ticks every switch, then shows the dialog; true for OK.
  bool Execute();
  // The ticked switches as bits; 0 when none is ticked.
  unsigned Options() const { return FOptions; }

private:
  IPersonFormUnifyView* FView;
  unsigned FOptions = 0;
};

class TPersonFormUnifyDialog : public QDialog, public IPersonFormUnifyView {
  Q_OBJECT
public:
  explicit TPersonFormUnifyDialog(QWidget* parent = nullptr);
  TPersonFormUnify& Logic() { return FLogic; }

  void SetChecks(const std::array<bool, 6>& checks) override;
  std::array<bool, 6> Checks() const override;
  bool RunModal() override;

private:
  TPersonFormUnify FLogic{this};
  QListWidget* FCheckListBoxOptions;
};

}  // namespace kaede
