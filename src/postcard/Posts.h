#pragma once
// The postcard control: the host control of a postcard view on a postcard style, with the
// operations the print area of the main window uses.
#include "BaseControls.h"
#include "PostViews.h"

namespace kaede {

class TPost : public TBaseControl {
public:
  TPost();

  TPostView& PostView() const { return static_cast<TPostView&>(View()); }
  TPostStyle& PostStyle() const { return static_cast<TPostStyle&>(Style()); }

  // The book shown; lays the view out again.
  void SetPersons(const TPersonList* list) { PostView().SetPersons(list); }
  // The entry whose card is shown (outside free-text mode the view scrolls to it).
  void SelectPerson(int32_t index) { PostView().SelectPerson(index); }
  // Copies the style into the control's own style.
  void SetStyle(const TPostStyle& style) { AssignStyle(&style); }
  // Copies the sender of the print (the host passes entry SenderNo - 1 of its sender list).
  void SetSender(const TPerson* person) { PostView().SetSender(person); }
  void SetShowGuides(bool on) { PostView().SetShowGuides(on); }
};

}  // namespace kaede
