#pragma once
// The style selector: a column of buttons, one per style of the postcard and table style
// lists, grouped under category headers by the styles' categories. A click shows a style;
// the right button opens the style menu; dragging a button onto another exchanges the two
// styles of one list. TStyleSelector is the behaviour without a window, TStyleCategoryButtons
// the widget that draws it and forwards the mouse.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BaseStyles.h"
#include "StylePopupActionBars.h"

namespace kaede {

struct TStyleCategory {
  std::string Caption;
  TColor Color = 0;
  TColor TextColor = 0;
  std::vector<TBaseStyle*> Styles;  // one button each, in list order
};

class TStyleSelector {
public:
  explicit TStyleSelector(IStyleDialogs& dialogs);

  TColor CategoryColor0 = 8421504;
  TColor CategoryColor1 = 12632256;
  TColor CategoryTextColor0 = clWhite;
  TColor CategoryTextColor1 = clBlack;
  TColor SelectedColor = 13426168;

  // Around every change made through the menu.
  std::function<void()> OnChanging;
  std::function<void()> OnChange;
  // The user asked for the style settings.
  std::function<void()> OnStyleCust;
  // A button was clicked (or selected through the menu, or by SelectButton): show it.
  std::function<void()> OnButtonClicked;
  // The buttons or the selection changed: redraw.
  std::function<void()> OnRepaint;

  // Stores the lists (not owned) and rebuilds the buttons, selecting the first style of the
  // first list.
  void SetLists(const std::vector<TBaseStyleList*>& lists);
  const std::vector<TBaseStyleList*>& Lists() const { return FLists; }
  // Rebuilds the buttons, selecting `select` (none: the first style of the first list).
  void Rebuild(TBaseStyle* select = nullptr);

  const std::vector<TStyleCategory>& Categories() const { return FCategories; }
  int SelectedCategory() const { return FCategory; }
  int SelectedItem() const { return FItem; }
  TBaseStyle* SelectedStyle() const;
  // Selects the button of s (nothing when it has none); reports no click.
  void SelectStyle(TBaseStyle* s);
  // Selects a button and reports it as clicked (nothing for a button that does not exist).
  void SelectButton(int category, int item);
  // Mouse: a left click selects and reports; a right press also makes the menu current.
  void Click(int category, int item);
  void RightPress(int category, int item);
  // Dropping the dragged button on another: the two styles change places in their list when
  // they share one, and the dragged style is selected and shown (reported as clicked);
  // otherwise "入れ換えはできません" and nothing changes. True when exchanged.
  bool Drop(int fromCategory, int fromItem, int toCategory, int toItem);

  TStylePopupMenu& Menu() { return FMenu; }
  // An entry of the style menu for the selected style, as the menu of its button runs it
  // (other screens offer some of the entries).
  bool MenuEnabled(TStylePopupMenu::TEntry entry);
  void RunMenu(TStylePopupMenu::TEntry entry);

private:
  const TStyleCategory* CategoryAt(int category) const;
  TBaseStyle* StyleAt(int category, int item) const;
  // Brings the menu's current style and its neighbours up to date.
  void UpdateMenu();
  static int PositionIn(TBaseStyle* s);

  IStyleDialogs& FDialogs;
  std::vector<TBaseStyleList*> FLists;
  std::vector<TStyleCategory> FCategories;
  int FCategory = -1;
  int FItem = -1;
  TStylePopupMenu FMenu;
};

// The selector's widget: category headers and buttons in a column 169 pixels wide.
class TStyleCategoryButtons : public QWidget {
  Q_OBJECT
public:
  TStyleCategoryButtons(IStyleDialogs& dialogs, QWidget* parent = nullptr);
  ~TStyleCategoryButtons() override;

  TStyleSelector& Selector() { return FSelector; }
  // The pop-up menu (made on the first right press).
  TStylePopupActionBar* PopupMenu() const { return FPopup; }
  // Where a button is drawn (tests click there); an empty rectangle when it does not exist.
  QRect ButtonRect(int category, int item) const;
  QRect CategoryRect(int category) const;

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  bool HitTest(const QPoint& p, int& category, int& item) const;
  void Relayout();
  int HeaderHeight() const;
  int ButtonHeight() const;

  TStyleSelector FSelector;
  TStylePopupActionBar* FPopup = nullptr;
  std::vector<std::vector<QRect>> FButtonRects;
  std::vector<QRect> FHeaderRects;
  int FPressCategory = -1, FPressItem = -1;
  QPoint FPressAt;
  bool FDragging = false;
  int FDropCategory = -1, FDropItem = -1;
};

}  // namespace kaede
