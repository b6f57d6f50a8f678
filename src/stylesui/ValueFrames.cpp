#include "ValueFrames.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "CommaText.h"
#include "QtFonts.h"
#include "QtText.h"
#include "SheetPrinters.h"

namespace kaede {

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The sample box: painted by its element frame.
class TSampleBox : public QWidget {
public:
  TSampleBox(TViewInfoFrame* owner, QWidget* parent) : QWidget(parent), FOwner(owner) { setMinimumHeight(48); }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    FOwner->PaintSample(p, rect(), isEnabled());
  }

private:
  TViewInfoFrame* FOwner;
};

Qt::PenStyle PenStyleOf(const TViewInfo& e) {
  switch (e.LinePen()) {
    case lpNone: return Qt::NoPen;
    case lpDot: return Qt::DotLine;
    case lpDash: return Qt::DashLine;
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle HatchStyle(int32_t decorate) {
  const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern,
                                    Qt::DiagCrossPattern};
  return decorate >= 0 && decorate < 6 ? hatches[decorate] : Qt::SolidPattern;
}

}  // namespace

// ---- TViewInfoFrame ------------------------------------------------------------------------

TViewInfoFrame::TViewInfoFrame(TViewInfoEditor& editor, QWidget* parent) : QWidget(parent), FEditor(editor) {
  ChooseColor = [this](TColor& color) {
    QColor c = QColorDialog::getColor(ToQColor(color), this);
    if (!c.isValid()) return false;
    color = static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
    return true;
  };
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  FStatusLabel = new QLabel(Q("表示状態(&V):"), this);
  FStatus = new QComboBox(this);
  FStatus->addItems({Q("表示しない"), Q("表示と印刷"), Q("表示のみ")});
  FStatusLabel->setBuddy(FStatus);
  grid->addWidget(FStatusLabel, 0, 0);
  grid->addWidget(FStatus, 0, 1);
  FPanel = new QWidget(this);
  auto* pg = new QGridLayout(FPanel);
  pg->setContentsMargins(0, 0, 0, 0);
  FFontLabel = new QLabel(Q("フォント名(&F):"), FPanel);
  FFont = new QComboBox(FPanel);
  FFont->setMaxVisibleItems(10);
  FFont->setContextMenuPolicy(Qt::CustomContextMenu);
  FFontLabel->setBuddy(FFont);
  FBold = new QCheckBox(Q("太字(&B)"), FPanel);
  FItalic = new QCheckBox(Q("斜体(&I)"), FPanel);
  FSizeLabel = new QLabel(Q("フォントサイズ(&S):"), FPanel);
  FSize = new QSpinBox(FPanel);
  // 0 is the automatic size: the lowest step, shown as a word
  FSize->setRange(0, 1000);
  FSize->setSpecialValueText(Q("自動"));
  FSizeLabel->setBuddy(FSize);
  FDecorateLabel = new QLabel(Q("装飾(&L):"), FPanel);
  FDecorate = new QComboBox(FPanel);
  FDecorateLabel->setBuddy(FDecorate);
  FWidthLabel = new QLabel(Q("線の太さ(W):"), FPanel);
  FLineWidth = new QDoubleSpinBox(FPanel);
  FLineWidth->setRange(0, 1000);
  FWidthUnit = new QLabel(FPanel);
  pg->addWidget(FFontLabel, 0, 0);
  pg->addWidget(FFont, 0, 1, 1, 2);
  auto* styles = new QHBoxLayout();
  styles->addWidget(FBold);
  styles->addWidget(FItalic);
  styles->addStretch();
  pg->addLayout(styles, 1, 1, 1, 2);
  pg->addWidget(FSizeLabel, 2, 0);
  pg->addWidget(FSize, 2, 1);
  pg->addWidget(FDecorateLabel, 3, 0);
  pg->addWidget(FDecorate, 3, 1, 1, 2);
  pg->addWidget(FWidthLabel, 4, 0);
  pg->addWidget(FLineWidth, 4, 1);
  pg->addWidget(FWidthUnit, 4, 2);
  auto* buttons = new QHBoxLayout();
  for (int i = 0; i < 3; ++i) {
    FColors[i] = new QPushButton(ToQ(TViewInfoEditor::ColorButtonCaption(i)), FPanel);
    FColors[i]->setContextMenuPolicy(Qt::CustomContextMenu);
    buttons->addWidget(FColors[i]);
    connect(FColors[i], &QPushButton::clicked, this, [this, i] {
      TColor c = FEditor.Element().Color(i);
      if (ChooseColor && ChooseColor(c)) FEditor.SetColor(i, c);
    });
    connect(FColors[i], &QWidget::customContextMenuRequested, this,
            [this, i](const QPoint& at) { OpenColorMenu(i, FColors[i]->mapToGlobal(at)); });
  }
  pg->addLayout(buttons, 5, 0, 1, 3);
  FSample = new TSampleBox(this, FPanel);
  pg->addWidget(FSample, 6, 0, 1, 3);
  grid->addWidget(FPanel, 1, 0, 1, 2);

  // the colour menu of the three buttons and the font-name menu of the list
  FColorMenu = new QMenu(this);
  FFontMenu = new QMenu(this);
  connect(FFont, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    FFontMenu->clear();
    FFontMenu->addAction(Q("このフォント名をコピー(&C)"), this, [this] { FEditor.CopyFontName(); });
    if (FEditor.HasCopiedFontName())
      FFontMenu->addAction(Q("コピーしたフォント名を貼り付け(&P)"), this, [this] { FEditor.PasteFontName(); });
    FFontMenu->popup(FFont->mapToGlobal(at));
  });

  connect(FStatus, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!FFilling) FEditor.SetStatus(i);
  });
  connect(FFont, &QComboBox::currentTextChanged, this, [this](const QString& name) {
    if (!FFilling && !name.isEmpty()) FEditor.SetFontName(FromQ(name));
  });
  connect(FBold, &QCheckBox::toggled, this, [this](bool on) {
    if (!FFilling) FEditor.SetBold(on);
  });
  connect(FItalic, &QCheckBox::toggled, this, [this](bool on) {
    if (!FFilling) FEditor.SetItalic(on);
  });
  connect(FSize, &QSpinBox::valueChanged, this, [this](int v) {
    if (!FFilling) FEditor.SetFontSize(v);
  });
  connect(FDecorate, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!FFilling && i >= 0) FEditor.SetDecorate(i);
  });
  connect(FLineWidth, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (!FFilling) FEditor.SetLineWidth(v);
  });
  FEditor.OnShow = [this] { Refresh(); };
  Refresh();
}

TViewInfoFrame::~TViewInfoFrame() { FEditor.OnShow = nullptr; }

void TViewInfoFrame::FillFonts() {
  if (FFontMode == FEditor.FontListMode()) return;
  FFontMode = FEditor.FontListMode();
  TStrings names;
  kaede::FontList(names, true, FFontMode);
  FFont->clear();
  for (const std::string& n : names) FFont->addItem(ToQ(n));
}

QIcon TViewInfoFrame::ColorGlyph(TColor color) {
  QPixmap pm(16, 16);
  pm.fill(QColor(0xF0, 0xF0, 0xF0));
  QPainter p(&pm);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(ToQColor(color));
  p.drawRoundedRect(QRect(2, 2, 12, 12), 2, 2);
  return QIcon(pm);
}

void TViewInfoFrame::Refresh() {
  FFilling = true;
  const TViewInfo& e = FEditor.Element();
  FillFonts();
  const bool show[10] = {FEditor.Switch(0), false, FEditor.Switch(2), FEditor.Switch(3), false, FEditor.Switch(5),
                         FEditor.Switch(6), FEditor.Switch(7), FEditor.Switch(8), FEditor.Switch(9)};
  FStatusLabel->setVisible(show[0]);
  FStatus->setVisible(show[0]);
  for (QWidget* w : std::initializer_list<QWidget*>{FFontLabel, FFont, FBold, FItalic}) w->setVisible(show[2]);
  FSizeLabel->setVisible(show[3]);
  FSize->setVisible(show[3]);
  FColors[0]->setVisible(show[5]);
  FColors[1]->setVisible(show[6]);
  FDecorateLabel->setVisible(show[7]);
  FDecorate->setVisible(show[7]);
  FColors[2]->setVisible(show[8]);
  FWidthLabel->setVisible(show[9]);
  FLineWidth->setVisible(show[9]);
  FWidthUnit->setVisible(show[9]);

  FStatus->setCurrentIndex(std::clamp(e.Status(), -1, 2));
  QString font = ToQ(FEditor.FontListName());
  if (FFont->findText(font) < 0 && !font.isEmpty()) FFont->insertItem(0, font);
  FFont->setCurrentIndex(FFont->findText(font));
  FSize->setValue(std::clamp(e.Font().Size, 0, 1000));
  FBold->setChecked(e.Font().Style & fsBold);
  FItalic->setChecked(e.Font().Style & fsItalic);
  FDecorate->clear();
  for (const std::string& d : FEditor.DecorateChoices()) FDecorate->addItem(ToQ(d));
  FDecorate->setCurrentIndex(e.Decorate() < FDecorate->count() ? e.Decorate() : -1);
  FLineWidth->setSingleStep(FEditor.Step());
  FLineWidth->setDecimals(FEditor.Unit() == 3 ? 2 : 1);
  FLineWidth->setValue(e.LineWidth());
  FWidthUnit->setText(ToQ(FEditor.UnitLabel()));
  FPanel->setEnabled(FEditor.PanelEnabled());
  for (int i = 0; i < 3; ++i) FColors[i]->setIcon(ColorGlyph(e.Color(i)));
  FSample->update();
  FFilling = false;
}

void TViewInfoFrame::OpenColorMenu(int index, const QPoint& at) {
  FColorMenu->clear();
  FColorMenu->addAction(Q("この色をコピー(&C)"), this, [this, index] { FEditor.CopyColor(index); });
  if (FEditor.HasCopiedColor())
    FColorMenu->addAction(Q("コピーした色を貼り付け(&P)"), this, [this, index] { FEditor.PasteColor(index); });
  FColorMenu->addAction(ToQ(TViewInfoEditor::UnifyCaption(index)), this, [this, index] { FEditor.UnifyColor(index); });
  FColorMenu->popup(at);
}

void TViewInfoFrame::PaintSample(QPainter& p, const QRect& r, bool enabled) {
  const TViewInfo& e = FEditor.Element();
  const bool mm = FEditor.Unit() >= 2;
  QColor back = enabled ? ToQColor(e.BackColor()) : palette().color(QPalette::Button);
  QColor lineColor = enabled ? ToQColor(e.DecorateColor()) : QColor(0x80, 0x80, 0x80);
  int width = std::max(1, mm ? MmToScreen(e.LineWidth()) : RoundHalfEven(e.LineWidth()));
  QPen pen(lineColor, width, PenStyleOf(e));
  TFontRecord fr = e.Font();
  if (!fr.Name.empty() && fr.Name[0] == '@') fr.Name = fr.Name.substr(1);
  QFont font = MakeQFont(fr);
  std::string drawStr = FEditor.Switch(TViewInfoEditor::swFontName) ? SJ("123ABC見本") : std::string();
  bool drawed = false;
  if (OnPaintSample) OnPaintSample(p, r, drawStr, drawed);
  if (!drawed) {
    p.fillRect(r, back);
    if (!drawStr.empty()) {
      p.setFont(font);
      p.setPen(enabled ? ToQColor(e.TextColor()) : QColor(0x80, 0x80, 0x80));
      QFontMetrics fm(font);
      QString text = ToQ(drawStr);
      int tw = fm.horizontalAdvance(text);
      int x = r.left() + (r.width() - tw) / 2, y = r.top() + (r.height() - fm.height()) / 2;
      p.drawText(QPoint(x, y + fm.ascent()), text);
      if (e.Decorate() > 0) {
        int w = e.LineWidth() > 0 && e.Decorate() < 3 ? std::max(1, mm ? RoundHalfEven(e.LineWidth() * logicalDpiX() / 25.4)
                                                                        : RoundHalfEven(e.LineWidth()))
                                                       : 1;
        p.setPen(QPen(lineColor, w, PenStyleOf(e)));
        int ly = y + fm.height();
        p.drawLine(x, ly, x + tw, ly);
        if (e.Decorate() > 2) p.drawLine(x, ly + 2 * w + 1, x + tw, ly + 2 * w + 1);
      }
    } else if (FDecorate->isVisible() || FEditor.Switch(TViewInfoEditor::swDecorate)) {
      if (e.Decorate() > 0 || FEditor.HatchMode()) {
        if (FEditor.HatchMode()) {
          p.fillRect(r, QBrush(lineColor, HatchStyle(e.Decorate())));
        } else {
          p.setPen(pen);
          int y = r.top() + r.height() / 2;
          p.drawLine(r.left() + 20, y, r.right() - 20, y);
          if (e.Decorate() > 2) p.drawLine(r.left() + 20, y + 2 * width + 1, r.right() - 20, y + 2 * width + 1);
        }
      }
    }
  }
  p.setPen(QPen(enabled ? Qt::black : Qt::gray, 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
}

// ---- TLayoutFrame --------------------------------------------------------------------------

TLayoutFrame::TLayoutFrame(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  const char* captions[4] = {"左位置(L):", "上位置(T):", "幅(W):", "高さ(H):"};
  for (int i = 0; i < 4; ++i) {
    auto* label = new QLabel(Q(captions[i]), this);
    FNumbers[i] = new QDoubleSpinBox(this);
    FNumbers[i]->setRange(0, 100000);
    FNumbers[i]->setDecimals(2);
    FNumbers[i]->setSingleStep(FIncrement);
    label->setBuddy(FNumbers[i]);
    auto* unit = new QLabel(Q("㎜"), this);
    grid->addWidget(label, i, 0);
    grid->addWidget(FNumbers[i], i, 1);
    grid->addWidget(unit, i, 2);
    if (i >= 2) FSizeRows.insert(FSizeRows.end(), {label, FNumbers[i], unit});
    connect(FNumbers[i], &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
      if (FLoading) return;
      if (OnChanging) OnChanging();
      double* fields[4] = {&FRect.Left, &FRect.Top, &FRect.Width, &FRect.Height};
      *fields[i] = v;
      if (OnChange) OnChange();
    });
  }
}

void TLayoutFrame::SetSizeShown(bool shown) {
  for (QWidget* w : FSizeRows) w->setVisible(shown);
}

void TLayoutFrame::SetIncrement(double step) {
  FIncrement = step;
  for (QDoubleSpinBox* n : FNumbers) n->setSingleStep(step);
}

void TLayoutFrame::ShowRect(const TMmRect& r) {
  if (r == FRect && FNumbers[0]->value() == r.Left) return;
  FLoading = true;
  FRect = r;
  FNumbers[0]->setValue(r.Left);
  FNumbers[1]->setValue(r.Top);
  FNumbers[2]->setValue(r.Width);
  FNumbers[3]->setValue(r.Height);
  FLoading = false;
}

// ---- TValueFrame ---------------------------------------------------------------------------

TValueFrame::TValueFrame(TValueEditor& editor, QWidget* parent) : QWidget(parent), FEditor(editor) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  FItemLabel = new QLabel(Q("項目名"), this);
  layout->addWidget(FItemLabel);
  FCheck = new QCheckBox(this);
  layout->addWidget(FCheck);
  auto* numberRow = new QHBoxLayout();
  FNumber = new QDoubleSpinBox(this);
  FUnit = new QLabel(Q("単位"), this);
  numberRow->addWidget(FNumber, 1);
  numberRow->addWidget(FUnit);
  layout->addLayout(numberRow);
  FText = new QLineEdit(this);
  layout->addWidget(FText);
  FList = new QListWidget(this);
  FList->setMinimumHeight(12 * FList->fontMetrics().height());
  layout->addWidget(FList);
  FMemo = new QPlainTextEdit(this);
  layout->addWidget(FMemo);
  FRadio = new QGroupBox(this);
  FRadioLayout = new QGridLayout(FRadio);
  layout->addWidget(FRadio);
  FCheckList = new QListWidget(this);
  layout->addWidget(FCheckList);
  FLayout = new TLayoutFrame(this);
  layout->addWidget(FLayout);
  FElement = new TViewInfoFrame(editor.ElementEditor(), this);
  layout->addWidget(FElement);
  layout->addStretch();

  connect(FCheck, &QCheckBox::toggled, this, [this](bool on) {
    if (!FLoading) FEditor.UserIndex(on ? 1 : 0);
  });
  connect(FNumber, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (!FLoading) FEditor.UserNumber(v);
  });
  connect(FText, &QLineEdit::textEdited, this, [this](const QString& t) { FEditor.UserText(FromQ(t)); });
  connect(FMemo, &QPlainTextEdit::textChanged, this, [this] {
    if (!FLoading) FEditor.UserText(FromQ(FMemo->toPlainText().replace('\n', "\r\n")));
  });
  connect(FList, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!FLoading && row >= 0) FEditor.UserIndex(row);
  });
  connect(FCheckList, &QListWidget::itemChanged, this, [this] {
    if (FLoading) return;
    TValueEditor::TCheckedSet set;
    for (int i = 0; i < FCheckList->count() && i < TValueEditor::kCheckCount; ++i)
      if (FCheckList->item(i)->checkState() == Qt::Checked) set.set(static_cast<size_t>(i));
    FEditor.UserChecked(set);
  });
  FLayout->OnChange = [this] {
    if (!FLoading) FEditor.UserLayout(FLayout->Rect());
  };
  FEditor.OnSetup = [this] { SetupControls(); };
  FEditor.OnShow = [this] { ShowValue(); };
  SetupControls();
}

TValueFrame::~TValueFrame() {
  FEditor.OnSetup = nullptr;
  FEditor.OnShow = nullptr;
}

void TValueFrame::SetupControls() {
  FLoading = true;
  const uint8_t kind = FEditor.Kind();
  const bool on = FEditor.Enabled();
  FItemLabel->setText(ToQ(FEditor.ItemLabel()));
  FItemLabel->setVisible(on && FEditor.ItemLabelShown());
  FCheck->setVisible(on && kind == vkCheck);
  FRadio->setVisible(on && kind == vkRadio);
  FList->setVisible(on && kind == vkList);
  FNumber->setVisible(on && kind == vkNumber);
  FUnit->setVisible(on && kind == vkNumber);
  FText->setVisible(on && kind == vkText);
  FMemo->setVisible(on && kind == vkMemo);
  FLayout->setVisible(on && kind == vkLayout);
  FCheckList->setVisible(on && kind == vkCheckList);
  FElement->setVisible(on && kind == vkElement);
  const RValueInfo& info = FEditor.Info();
  const TStrings choices = FEditor.Choices();
  if (kind == vkCheck) FCheck->setText(ToQ(info.Name));
  if (kind == vkRadio) {
    FRadio->setTitle(ToQ(info.Name));
    while (QLayoutItem* item = FRadioLayout->takeAt(0)) {
      delete item->widget();
      delete item;
    }
    const int columns = FEditor.RadioColumns();
    for (size_t i = 0; i < choices.size(); ++i) {
      auto* b = new QRadioButton(ToQ(choices[i]), FRadio);
      const int index = static_cast<int>(i);
      connect(b, &QRadioButton::toggled, this, [this, index](bool checked) {
        if (checked && !FLoading) FEditor.UserIndex(index);
      });
      FRadioLayout->addWidget(b, index / columns, index % columns);
    }
    FRadio->setFixedHeight(std::max(FEditor.RadioHeight(), FRadio->sizeHint().height()));
  }
  if (kind == vkList) {
    FList->clear();
    for (const std::string& c : choices) FList->addItem(ToQ(c));
  }
  if (kind == vkCheckList) {
    FCheckList->clear();
    for (const std::string& c : choices) {
      auto* item = new QListWidgetItem(ToQ(c), FCheckList);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Unchecked);
    }
  }
  if (kind == vkNumber) {
    FNumber->setDecimals(FEditor.Step() < 1 ? 2 : 0);
    if (info.Unit == "Mm" || info.Unit == "Mmm") FNumber->setDecimals(2);
    FNumber->setSingleStep(FEditor.Step());
    if (FEditor.Limited()) FNumber->setRange(info.Min, info.Max);
    else FNumber->setRange(-1e9, 1e9);
    FUnit->setText(ToQ(FEditor.UnitLabel()));
  }
  if (kind == vkLayout) {
    FLayout->SetIncrement(0.1);
    FLayout->SetSizeShown(info.Unit != "Position");
  }
  FLoading = false;
  ShowValue();
}

void TValueFrame::ShowValue() {
  FLoading = true;
  switch (FEditor.Kind()) {
    case vkCheck: FCheck->setChecked(FEditor.IntValue == 1); break;
    case vkRadio:
      for (int i = 0; i < FRadioLayout->count(); ++i)
        if (auto* b = qobject_cast<QRadioButton*>(FRadioLayout->itemAt(i)->widget())) b->setChecked(i == FEditor.IntValue);
      break;
    case vkList: FList->setCurrentRow(FEditor.IntValue); break;
    case vkNumber:
      if (FNumber->value() != FEditor.FloatValue) FNumber->setValue(FEditor.FloatValue);
      break;
    case vkText:
      if (FromQ(FText->text()) != FEditor.TextValue) FText->setText(ToQ(FEditor.TextValue));
      break;
    case vkMemo: {
      QString text = ToQ(FEditor.TextValue).replace("\r\n", "\n");
      if (FMemo->toPlainText() != text) FMemo->setPlainText(text);
      break;
    }
    case vkLayout: FLayout->ShowRect(FEditor.LayoutValue); break;
    case vkCheckList:
      for (int i = 0; i < FCheckList->count() && i < TValueEditor::kCheckCount; ++i)
        FCheckList->item(i)->setCheckState(FEditor.CheckedSet.test(static_cast<size_t>(i)) ? Qt::Checked : Qt::Unchecked);
      break;
    case vkElement: FElement->Refresh(); break;
    default: break;
  }
  FLoading = false;
}

}  // namespace kaede
