#pragma once
// The editing pane: shows the selected entry in editable fields, edits a private working
// copy of it, reports every change at once so that its owner writes the copy back into the
// book, and reports when a pending edit is completed so that the owner can save.
//
// TPersonEditor holds the behaviour over IPersonFrameView; TPersonFrame is the Qt face.
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>

#include "ImeReadings.h"
#include "PersonParts.h"

class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QAction;

namespace kaede {

class TEditAddress;
class TRelationListBox;
class TRelationEdit;
class TPersonDetail;
class TRelationEditDialog;
class TPersonDetailDialog;

// The three lists of "kind:value" lines of an entry.
enum TEntryKind { ekTel = 0, ekMail = 1, ekRelation = 2 };

// What "ホームページの表示" opens for the URL field: web addresses as they are, an address
// without a scheme as http; a local file or another scheme is not opened ("").
std::string HomePageTarget(const std::string& url);
// What "メール送信" opens for a mail address: "mailto:" and the address alone, without the
// header fields a "?" could add to the message ("" for no address).
std::string MailTarget(const std::string& address);

class IPersonFrameView {
public:
  virtual ~IPersonFrameView() = default;
  virtual void SetFrameEnabled(bool enabled) = 0;
  // The setters show the program's values: they report no change and look nothing up.
  virtual void SetNameText(const std::string& text) = 0;
  virtual std::string YomiText() const = 0;
  virtual void SetYomiText(const std::string& text) = 0;
  virtual void SetAddress(const std::string& postal, const TStrings& lines) = 0;
  // Fills a list; selected is the line to select (-1 none).
  virtual void SetEntryLines(TEntryKind kind, const TStrings& lines, int selected) = 0;
  virtual int SelectedEntry(TEntryKind kind) const = 0;
  virtual std::string UrlText() const = 0;
  virtual void SetUrlText(const std::string& text) = 0;
  virtual void SetClassifyItems(const TStrings& names) = 0;
  virtual void SetClassifyTick(int index, bool ticked) = 0;
  virtual void SetRemarkLines(const TStrings& lines) = 0;
  virtual void FocusName(bool selectAll) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual void OpenShell(const std::string& target) = 0;
  // The dialogs, made on first use and kept.
  virtual TRelationEdit& RelationDialog() = 0;
  virtual TPersonDetail& DetailDialog() = 0;
};

class TPersonEditor {
public:
  explicit TPersonEditor(IPersonFrameView* view);

  // After every change of the working copy.
  std::function<void()> OnChange;
  // When the pane leaves an entry that it changed (a pending edit is completed).
  std::function<void()> OnModifiedDone;
  // The user asks to go to the related entry of that name.
  std::function<void(const std::string&)> OnRelationJump;

  // The working copy, and the entry as it was given.
  TPerson& Person() { return *FPerson; }
  const TPerson& Unedited() const { return *FUnedited; }
  bool Loading() const { return FLoading; }
  bool Edited() const { return FEdited; }
  bool Enabled() const { return FEnabled; }
  const std::string& LastReading() const { return FFollower.LastReading(); }
  // The open book, handed to the relation dialog's chooser.
  TPersonList* Book = nullptr;

  // The text the reading field shows for an empty reading.
  static std::string YomiPlaceholder() { return SJ("（よみ）"); }
  // Captions of the line commands, which are also the captions of their dialogs.
  static std::string AddCaption(TEntryKind kind);
  static std::string EditCaption(TEntryKind kind);
  static std::string CopyCaption(TEntryKind kind);
  static std::string DeleteCaption(TEntryKind kind);

  // Gives the pane an entry (copied) or takes it away; completes a pending edit first.
  void SetPerson(const TPerson* item);
  // Shows the entry given again as it is now (after an undo), without completing the pending
  // edit: what the pane compares its completion with stays as it was.
  void Reload(const TPerson* item);
  void ShowPerson();
  // The book's classification names (none: an empty list).
  void SetClassifications(const TStrings* names);
  // Setting it false completes a pending edit; the owner sets it true after its own commands
  // that changed the book, so that the next completion saves the book.
  void SetEdited(bool value);
  void MarkChanged();
  // The name field gets the focus with its text selected (a new entry waits for its name).
  void FocusName() { FView->FocusName(true); }

  // From the widgets: the user changed a field.
  void NameChanged(const std::string& name, const std::string& reading);
  void YomiChanged(const std::string& yomi);
  void AddressChanged(const std::string& postal, const TStrings& lines);
  void UrlChanged(const std::string& url);
  void RemarksChanged(const TStrings& lines);
  void ClassifyToggled(const std::string& name, bool ticked);

  // Line commands. Edit, copy, delete and send need a selected line.
  bool CanChangeEntry(TEntryKind kind) const;
  void AddEntry(TEntryKind kind);
  void EditEntry(TEntryKind kind);
  void DeleteEntry(TEntryKind kind);
  void CopyEntry(TEntryKind kind);
  void SendMail();
  void ShowHomePage();
  // The detail dialog: honorific, title and joint names.
  void Detail();
  // Double click or Enter on the relation list.
  void RelationJump();

private:
  TNotifyStrings& Lines(TEntryKind kind);
  void ShowLines(TEntryKind kind, int selected);
  bool RunLineDialog(TEntryKind kind, const std::string& caption, const std::string& text, std::string& line);

  IPersonFrameView* FView;
  TPersonCopy FPerson;
  TPersonCopy FUnedited;
  bool FLoading = false;
  bool FEdited = false;
  bool FEnabled = false;
  TStrings FClassNames;
  TReadingFollower FFollower;
};

// Where the pane's controls go for a client area of w x h.
struct TPersonFrameLayout {
  QRect Name, Yomi, Detail;
  QRect AddressButton, Address;
  QRect TelButton, Tels, MailButton, Mails, UrlButton, Url;
  QRect ClassifyButton, Classify, RelationButton, Relations;
  QRect RemarkButton, Remarks;
};
TPersonFrameLayout LayoutPersonFrame(int w, int h, int nameHeight, int editHeight);

class TPersonFrame : public QWidget, public IPersonFrameView {
  Q_OBJECT
public:
  explicit TPersonFrame(QWidget* parent = nullptr);
  ~TPersonFrame() override;
  TPersonEditor& Editor() { return FEditor; }

  // The owner's classification menu, on the classification list and its button.
  void SetClassifyPopup(QMenu* menu);

  void SetFrameEnabled(bool enabled) override;
  void SetNameText(const std::string& text) override;
  std::string YomiText() const override;
  void SetYomiText(const std::string& text) override;
  void SetAddress(const std::string& postal, const TStrings& lines) override;
  void SetEntryLines(TEntryKind kind, const TStrings& lines, int selected) override;
  int SelectedEntry(TEntryKind kind) const override;
  std::string UrlText() const override;
  void SetUrlText(const std::string& text) override;
  void SetClassifyItems(const TStrings& names) override;
  void SetClassifyTick(int index, bool ticked) override;
  void SetRemarkLines(const TStrings& lines) override;
  void FocusName(bool selectAll) override;
  void SetClipboardText(const std::string& text) override;
  void OpenShell(const std::string& target) override;
  TRelationEdit& RelationDialog() override;
  TPersonDetail& DetailDialog() override;

  QLineEdit* EditName() { return FEditName; }
  QLineEdit* EditYomi() { return FEditYomi; }
  TEditAddress* EditAddress() { return FEditAddress; }
  TRelationListBox* EntryList(TEntryKind kind) { return FLists[kind]; }
  QLineEdit* EditUrl() { return FEditUrl; }
  QListWidget* CheckListBoxClassify() { return FCheckListBoxClassify; }
  QPlainTextEdit* MemoRemark() { return FMemoRemark; }

protected:
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QToolButton* MakeButton(const std::string& text, const std::string& hint);
  QMenu* MakeEntryMenu(TEntryKind kind);
  void PopupBelow(QToolButton* button, QMenu* menu);
  void NextField();

  TPersonEditor FEditor{this};
  QLineEdit* FEditName;
  QLineEdit* FEditYomi;
  QToolButton* FSpeedButtonDetail;
  TEditAddress* FEditAddress;
  TRelationListBox* FLists[3];
  QLineEdit* FEditUrl;
  QListWidget* FCheckListBoxClassify;
  QPlainTextEdit* FMemoRemark;
  QToolButton* FButtonAddress;
  QToolButton* FButtons[3];
  QToolButton* FButtonUrl;
  QToolButton* FButtonClassify;
  QToolButton* FButtonRemark;
  QMenu* FMenuPostal;
  QMenu* FMenus[3];
  QMenu* FMenuUrl;
  QMenu* FMenuClassify = nullptr;
  TImeReadingFilter* FReadings;
  TRelationEditDialog* FRelationDialog = nullptr;
  TPersonDetailDialog* FDetailDialog = nullptr;
};

}  // namespace kaede
