#pragma once
// The status bar: an icon panel, a transient message panel and labelled panels.
#include <QTimer>
#include <QWidget>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kaede {

struct TStatusPanel {
  int Width = 50;
  std::string Text;         // label text (panels from 2 on)
  int32_t TextColor = 0xFFFFFF;
  int32_t BackColor = 0x808080;
  int ImageIndex = -1;
  int Alignment = 0;        // 0 left, 1 right, 2 centre
};

// The bar's state without a window: message, state text and panel layout.
class TStatusBarModel {
public:
  std::vector<TStatusPanel> Panels;
  std::set<int> StateIcons;  // numbers of the state icons shown in panel 0
  std::string DefaultMes;
  int SaveTime = 0;  // seconds until an automatic save

  const std::string& Mes() const { return FMes; }
  // Returns true when the message timer must (re)start: a non-empty text that differs from
  // the present one. An empty text shows the default message.
  bool SetMes(const std::string& text);
  // The message timer fired: back to the default message. Returns whether the timer keeps
  // running (only while automatic saving is on).
  bool TimerFired();

  bool ReadOnly() const { return FReadOnly; }
  bool Modified() const { return FModified; }
  bool AutoSave() const { return FAutoSave; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  void SetAutoSave(bool v) { FAutoSave = v; }
  // Setting modified shows "修正が加えられました。" (or the time to the automatic save);
  // clearing it shows the default message. Returns SetMes's answer.
  bool SetModified(bool v);

  // Lays the panels out for a bar width: the last panel 18 wide, panel 0 two pixels plus 20
  // per state icon, panel 1 the rest.
  void Layout(int width);
  // Returns whether the text changed (and the panel must repaint).
  bool SetPanelText(int index, const std::string& text);

private:
  std::string FMes;
  bool FReadOnly = false;
  bool FModified = false;
  bool FAutoSave = false;
};

class TMessageStatusBar : public QWidget {
  Q_OBJECT
public:
  explicit TMessageStatusBar(QWidget* parent = nullptr);

  TStatusBarModel& Model() { return FModel; }
  void SetMes(const std::string& text);
  const std::string& Mes() const { return FModel.Mes(); }
  void SetDefaultMes(const std::string& text);
  void SetModified(bool v);
  void SetPanelText(int index, const std::string& text);
  // Panel width := the text's width in "ＭＳ ゴシック" + 16 (+ 36 with an icon).
  void FitPanel(int index, const std::string& text);
  void SetPanelCount(int count);
  // How long a message stays (milliseconds); 7000 unless a test shortens it.
  void SetMessageTime(int ms) { FTimer.setInterval(ms); }
  QRect PanelRect(int index) const;

protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

private:
  TStatusBarModel FModel;
  QTimer FTimer;
};

}  // namespace kaede
