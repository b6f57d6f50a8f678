#pragma once
// A list of "kind" + separator + "value" lines drawn as two columns: the kinds on the
// button face at the left, the values beside them. The editing pane shows telephone numbers,
// mail addresses and relations in it.
#include <QListWidget>
#include <functional>
#include <string>

#include "Strs.h"

namespace kaede {

// The kind of a line: the text before the first separator; empty when there is none.
std::string RelationItemName(const std::string& line, const std::string& sep = ":");
// The value of a line: the text after the first separator; the whole line when there is none
// (a number typed without a kind is still a number).
std::string RelationItemValue(const std::string& line, const std::string& sep = ":");
// A line of a kind and a value.
std::string RelationItemLine(const std::string& name, const std::string& value, const std::string& sep = ":");

enum class TItemAlignment { Left, Right, Center };

// The left edge of a text of the given width inside the cell [left, right) by the alignment.
int AlignedTextLeft(TItemAlignment alignment, int left, int right, int textWidth);

class TRelationListBox : public QListWidget {
  Q_OBJECT
public:
  explicit TRelationListBox(QWidget* parent = nullptr);

  bool Item3D = false;
  TItemAlignment ItemNameAlignment = TItemAlignment::Left;
  TItemAlignment ItemValueAlignment = TItemAlignment::Left;
  bool ReadOnly = false;  // kept for the owner; the list does not act on it
  const std::string& DevideChar() const { return FDevideChar; }
  void SetDevideChar(const std::string& sep);

  // Raised by Enter and by a double click.
  std::function<void()> OnEnter;
  std::function<void()> OnDoubleClick;

  void SetLines(const TStrings& lines);
  TStrings Lines() const;
  std::string Line(int i) const;
  std::string ItemName(int i) const;
  std::string ItemValue(int i) const;
  void SetItemValue(int i, const std::string& value);
  int SelectedLine() const;
  // The width of the kind column, made again before every paint.
  int NameWidth() const { return FNameWidth; }
  int RowHeight() const;

protected:
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
  friend class TRelationItemDelegate;
  void UpdateNameWidth();
  std::string FDevideChar = ":";
  int FNameWidth = 0;
};

}  // namespace kaede
