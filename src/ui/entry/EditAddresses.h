#pragma once
// The postal-code field and the address memo that complete each other from the postal-code
// dictionary: a code typed into an entry without an address looks the address up, an address
// typed into an entry without a code looks the code up, and several candidates are offered
// in a pick list.
//
// TAddressCompleter holds the behaviour over IEditAddressView; TEditAddress is the Qt face.
#include <QWidget>
#include <functional>
#include <string>

#include "Strs.h"

class QLineEdit;
class QPlainTextEdit;
class QListWidget;

namespace kaede {

class TPostalData;

// The dictionary of the screens: one for the program, made on the first look-up.
TPostalData& SharedPostalData();
// Puts another dictionary in its place (the caller keeps it); none goes back to the program's own.
void SetSharedPostalData(TPostalData* data);

// Height of the pick list for a number of candidates: 16 pixels a line and a frame, never
// more than 120 pixels.
int PickListHeight(int count);
// An address candidate without its parenthesised note: the text before the first "（",
// without the spaces that separated the note.
std::string CutBeforeNote(const std::string& text);

// A postal code as the field shows it: seven digits as 153-0064; anything else as it is.
std::string PostalForDisplay(const std::string& stored);
// A postal code as the book keeps it: a code typed as 153-0064, 1530064 or in full-width
// digits becomes the seven digits 1530064; anything else is kept as typed.
std::string PostalForBook(const std::string& shown);

class IEditAddressView {
public:
  virtual ~IEditAddressView() = default;
  virtual std::string PostalText() const = 0;
  // The setters change the fields without reporting a change.
  virtual void SetPostalField(const std::string& text) = 0;
  // The memo's lines joined by CR LF.
  virtual std::string MemoText() const = 0;
  virtual void SetMemoText(const std::string& text) = 0;
  // Focus with the caret at the end of the text, ready for what comes after it (the block
  // number after a found address).
  virtual void FocusPostal() = 0;
  virtual void FocusMemo() = 0;
  // Shows the candidates below the memo (addresses) or below the postal field (codes), the
  // first one selected. The list takes the focus only when the user asked for the look-up;
  // candidates offered while typing wait beside the field until clicked or entered with Down.
  virtual void ShowPickList(const TStrings& lines, bool belowMemo, bool focus) = 0;
  virtual void HidePickList() = 0;
};

class TAddressCompleter {
public:
  explicit TAddressCompleter(IEditAddressView* view) : FView(view) {}
  std::function<void()> OnChange;

  // The code as the book keeps it (the field shows it with a hyphen).
  std::string PostalText() const { return PostalForBook(FView->PostalText()); }
  // Sets the field as the program's value (in the book's form): nothing when unchanged, no
  // look-up, no OnChange.
  void SetPostalText(const std::string& text);
  // The user left the code field: a complete code is shown in its display form.
  void TidyPostal();
  TStrings AddressLines() const;
  // Replaces the memo's lines (nothing for none) as the program's value.
  void SetAddressLines(const TStrings* lines);
  // Empties both fields; the change handlers run.
  void Clear();

  // Postal code to address ("〒 → 住所"): one candidate fills the memo, several open the pick
  // list.
  void LookUpAddress();
  // Address to postal code ("〒 ← 住所"): one candidate sets the code, several open the pick
  // list.
  void LookUpPostal();

  // The pick list offers addresses (true) or postal codes (false).
  bool PickAddress() const { return FPickAddress; }
  const TStrings& PickLines() const { return FPickLines; }
  // The user picked the line at index (-1: none selected, the list just closes).
  void Pick(int index);

  // From the widgets: a field was changed by the user. While the input method composes, the
  // widgets report changes of the composition too; only a change of the committed text counts.
  void PostalChanged();
  void MemoChanged();
  // From the widgets: the input method composes text in a field (true) or has ended.
  // Nothing is looked up from a half-typed composition.
  void SetComposing(bool composing) { FComposing = composing; }
  bool Composing() const { return FComposing; }

private:
  void Raise() {
    if (OnChange) OnChange();
  }
  void SetMemo(const std::string& text);
  void SetPostal(const std::string& text);
  // Shows the candidates (CR LF lines) in the pick list: addresses, or codes with addresses.
  void Offer(const std::string& candidates, bool addresses, bool focus);
  // The look-ups; asked is false for the ones that follow the user's typing, which never take
  // the focus away from the field being typed in.
  void FindAddress(bool asked);
  void FindPostal(bool asked);
  // Notes the fields' texts as the completer last saw them.
  void Remember();

  IEditAddressView* FView;
  bool FSetting = false;
  bool FComposing = false;
  bool FPickAddress = false;
  TStrings FPickLines;
  std::string FSeenPostal, FSeenMemo;
};

class TEditAddress : public QWidget, public IEditAddressView {
  Q_OBJECT
public:
  explicit TEditAddress(QWidget* parent = nullptr);

  TAddressCompleter& Completer() { return FCompleter; }
  std::function<void()>& OnChange() { return FCompleter.OnChange; }
  // The code in the book's form.
  std::string Postal() const { return FCompleter.PostalText(); }
  void SetPostalText(const std::string& text) { FCompleter.SetPostalText(text); }
  TStrings AddressLines() const { return FCompleter.AddressLines(); }
  void SetAddressLines(const TStrings* lines) { FCompleter.SetAddressLines(lines); }
  void Clear() { FCompleter.Clear(); }
  void LookUpAddress();
  void LookUpPostal();

  QLineEdit* EditPostal() { return FEditPostal; }
  QPlainTextEdit* MemoAddress() { return FMemoAddress; }
  QListWidget* PickList() { return FPickList; }

  std::string PostalText() const override;
  void SetPostalField(const std::string& text) override;
  std::string MemoText() const override;
  void SetMemoText(const std::string& text) override;
  void FocusPostal() override;
  void FocusMemo() override;
  void ShowPickList(const TStrings& lines, bool belowMemo, bool focus) override;
  void HidePickList() override;

protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void PickCurrent();
  bool PickListShown() const;
  // Down from a field enters a list of candidates that waits beside it.
  void EnterPickList();
  TAddressCompleter FCompleter{this};
  QLineEdit* FEditPostal;
  QPlainTextEdit* FMemoAddress;
  QListWidget* FPickList = nullptr;
};

// Shows the window colour when enabled and the button face when disabled (edits, memos and
// lists of the editing screens).
void UseButtonFaceWhenDisabled(QWidget* w);

}  // namespace kaede
