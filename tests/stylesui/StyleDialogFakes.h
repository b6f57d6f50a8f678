#pragma once
// Scripted answers to the questions of the style screens.
#include <deque>
#include <string>
#include <vector>

#include "StylePopupActionBars.h"

namespace kaede::test {

class TFakeStyleDialogs : public IStyleDialogs {
public:
  // Answers in order; an empty queue answers "no" / "cancel".
  std::deque<bool> Answers;
  std::deque<std::string> Texts;  // typed into the input box or chosen as file names
  std::vector<std::string> Infos;
  std::vector<std::string> Questions;  // confirmations and input captions, as asked

  bool InputText(const std::string& caption, const std::string& prompt, std::string& value) override {
    Questions.push_back(caption + "|" + prompt + "|" + value);
    if (!Next()) return false;
    value = Take();
    return true;
  }
  bool Confirm(const std::string& text) override {
    Questions.push_back(text);
    return Next();
  }
  void ShowInfo(const std::string& text) override { Infos.push_back(text); }
  bool OpenFileName(const std::string& ext, const std::string& filter, std::string& file) override {
    Questions.push_back("open|" + ext + "|" + filter);
    if (!Next()) return false;
    file = Take();
    return true;
  }
  bool SaveFileName(const std::string& ext, const std::string& filter, std::string& file) override {
    Questions.push_back("save|" + ext + "|" + filter + "|" + file);
    if (!Next()) return false;
    file = Take();
    return true;
  }

private:
  bool Next() {
    if (Answers.empty()) return false;
    bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  std::string Take() {
    if (Texts.empty()) return std::string();
    std::string t = Texts.front();
    Texts.pop_front();
    return t;
  }
};

}  // namespace kaede::test
