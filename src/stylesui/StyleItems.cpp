#include "StyleItems.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

#include "Cp932.h"
#include "EditorStyles.h"
#include "PostStyles.h"
#include "TableStyles.h"

namespace kaede {

namespace {

// One row of the table as written here (UTF-8); the descriptions are made from it once.
struct TRow {
  int No;
  const char* Name;
  const char* Category;
  uint8_t Kind;
  const char* Unit;
  double Min, Max;
  uint8_t Switches;
  const char* Choices;
  TItemScope Scope;
  const char* Key;
};

constexpr uint8_t kTextElement = esStatus | esFontName | esFontSize | esTextColor | esBackColor;
constexpr uint8_t kLineElement = esStatus | esDecorate | esLineWidth | esBackColor | esDecorateColor;
constexpr uint8_t kDecoratedText = kTextElement | esDecorate | esLineWidth | esDecorateColor;
const char* const kShow = "表示しない,表示する";
const char* const kDo = "しない,する";

// The base style: paper, division, margins, header and footer, and its six elements.
const TRow kBaseRows[] = {
    {0, "用紙の表示", "印刷", vkRadio, "", 0, 0, 0, kShow, scBase, "PaperVisible"},
    {1, "用紙の方向", "印刷", vkRadio, "", 0, 0, 0, "縦,横", scBase, "Orientation"},
    {2, "用紙の並び", "印刷", vkRadio, "", 0, 0, 0, "横方向,縦方向", scBase, "PaperTileVertical"},
    {3, "スクロールバー縦", "表示", vkRadio, "", 0, 0, 0, kShow, scBase, "VScrollBarVisible"},
    {4, "スクロールバー横", "表示", vkRadio, "", 0, 0, 0, kShow, scBase, "HScrollBarVisible"},
    {5, "倍率", "表示", vkList, "", 0, 0, 0,
     "画面いっぱい,横幅いっぱい,縦幅いっぱい,400%,200%,150%,125%,100%,75%,50%,25%", scBase, "RatioValue"},
    {6, "用紙サイズ", "印刷", vkList, "", 0, 0, 0, "", scBase, "PaperSize"},
    {7, "用紙サイズ（横）", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperWidth"},
    {8, "用紙サイズ（縦）", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperHeight"},
    {9, "用紙分割（横）", "印刷", vkNumber, "", 1, 100, 0, "", scBase, "PaperLevelDivide"},
    {10, "用紙分割（縦）", "印刷", vkNumber, "", 1, 100, 0, "", scBase, "PaperVerticalDivide"},
    {11, "先頭頁番号", "印刷", vkNumber, "", 0, 0, 0, "", scBase, "StartPageNo"},
    {12, "用紙マージン左", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperMarginLeft"},
    {13, "用紙マージン上", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperMarginTop"},
    {14, "用紙マージン右", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperMarginRight"},
    {15, "用紙マージン下", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "PaperMarginBottom"},
    {16, "頁マージン左", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "MarginLeft"},
    {17, "頁マージン上", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "MarginTop"},
    {18, "頁マージン右", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "MarginRight"},
    {19, "頁マージン下", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "MarginBottom"},
    {20, "ヘッダ横端から", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "HeaderDistanceX"},
    {21, "ヘッダ上端から", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "HeaderDistanceY"},
    {22, "フッタ横端から", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "FooterDistanceX"},
    {23, "フッタ下端から", "印刷", vkNumber, "Mm", 0, 0, 0, "", scBase, "FooterDistanceY"},
    {24, "スタイル名", "基本", vkText, "", 0, 0, 0, "", scBase, "Name"},
    {25, "ヘッダ書式", "印刷", vkText, "", 0, 0, 0, "", scBase, "HeaderStr"},
    {26, "フッタ書式", "印刷", vkText, "", 0, 0, 0, "", scBase, "FooterStr"},
    {27, "用紙マージン", "印刷", vkElement, "Mmm", 0, 0, esBackColor, "", scElement, "PaperMargin"},
    {28, "頁マージン", "印刷", vkElement, "Mmm", 0, 0, esBackColor, "", scElement, "Margin"},
    {29, "ヘッダ", "印刷", vkElement, "Mmm", 0, 0, esAll, "", scElement, "Header"},
    {30, "フッタ", "印刷", vkElement, "Mmm", 0, 0, esAll, "", scElement, "Footer"},
    {31, "用紙分割線", "印刷", vkElement, "Mmm", 0, 0, kLineElement, "", scElement, "PaperDivideLine"},
    {32, "印刷不可領域", "印刷", vkElement, "Mmm", 0, 0, esStatus | esDecorate | esDecorateColor, "", scElement,
     "PrintRange"},
};

// The table style's own items.
const TRow kTableRows[] = {
    {33, "項目行の表示方法", "表示", vkRadio, "", 0, 0, 0, "すべてのページ,１ページ目のみ", scTable, "ValueNameOnlyFirstPage"},
    {34, "枠内余白（縦）", "表示", vkNumber, "Mmm", 1, 10000, 0, "", scTable, "InBoxVerticalMargin"},
    {35, "枠内余白（横）", "表示", vkNumber, "Mmm", 0, 10000, 0, "", scTable, "InBoxLevelMargin"},
    {36, "項目選択", "表示", vkCheckList, "", 0, 0, 0, "", scTable, "ValueNames"},
    {37, "文字と背景", "表示", vkElement, "Mmm", 0, 0, esFontName | esFontSize | esTextColor | esBackColor, "",
     scElement, "Normal"},
    {38, "項目行と罫線", "表示", vkElement, "Mmm", 0, 0,
     esFontName | esDecorate | esLineWidth | esTextColor | esBackColor | esDecorateColor, "", scElement, "Line"},
};

// The editor style: switches, its 29 elements, counts, lengths (millimetres on paper, pixels
// on screen) and the character sets of line breaking.
const TRow kEditorRows[] = {
    {33, "縦書き", "表示", vkRadio, "", 0, 0, 0, "横書き,縦書き", scEditor, "Vertical"},
    {34, "プロポーショナルフォント", "字数", vkRadio, "", 0, 0, 0, "使わない,使う", scEditor, "ProportionalFont"},
    {35, "フリーカーソル", "その他", vkRadio, "", 0, 0, 0, kDo, scEditor, "FreeCaret"},
    {36, "桁数の自動調整", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "ColumnCountAuto"},
    {37, "フォントサイズの自動調整", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "FontSizeAuto"},
    {38, "画面でもページ区切り", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "PageRoll"},
    {39, "ぶら下げ", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "TailHang"},
    {40, "禁則処理", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "TailAdjust"},
    {41, "英単語の折り返し禁止", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "WordWrap"},
    {42, "自動インデント", "その他", vkRadio, "", 0, 0, 0, kDo, scEditor, "EditIndent"},
    {43, "箇条書き", "その他", vkRadio, "", 0, 0, 0, kDo, scEditor, "ItemizedStatement"},
    {44, "読み取り専用", "その他", vkRadio, "", 0, 0, 0, kDo, scEditor, "ReadOnly"},
    {45, "未使用部分を文末まで", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "EofOverUnfilled"},
    {46, "太いキャレット", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "BigCaret"},
    {47, "行番号を横に並べる", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "LineInfoVerticalRow"},
    {48, "行番号のゼロ詰め", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "LineInfoFillZero"},
    {49, "台詞の名前揃え", "字数", vkRadio, "", 0, 0, 0, kDo, scEditor, "SerifuNameRestore"},
    {50, "全角スペースで字下げ", "その他", vkRadio, "", 0, 0, 0, kDo, scEditor, "UseZenkaku"},
    {51, "罫線をつなげる", "表示", vkRadio, "", 0, 0, 0, kDo, scEditor, "ConnectTatesen"},
    {52, "通常文字", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Normal"},
    {53, "キャレット行", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "CaretLine"},
    {54, "選択文字", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Select"},
    {55, "検索文字", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Find"},
    {56, "見出し", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Heading"},
    {57, "URL", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Url"},
    {58, "メールアドレス", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "Mail"},
    {59, "キーワード", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "KeyWord"},
    {60, "縦中横", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "VerticalRow"},
    {61, "行番号", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "LineInfo"},
    {62, "キャレット行の行番号", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "CaretLineInfo"},
    {63, "しおり行の行番号", "表示", vkElement, "DotMmm", 0, 0, kDecoratedText, "", scElement, "MarkLineInfo"},
    {64, "ルビ", "表示", vkElement, "DotMmm", 0, 0, kTextElement, "", scElement, "Rubi"},
    {65, "傍点", "表示", vkElement, "DotMmm", 0, 0, kTextElement, "", scElement, "Boten"},
    {66, "注釈", "表示", vkElement, "DotMmm", 0, 0, kTextElement, "", scElement, "FootNote"},
    {67, "注釈記号", "表示", vkElement, "DotMmm", 0, 0, kTextElement, "", scElement, "FootNoteMark"},
    {68, "未使用部分", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "Unfilled"},
    {69, "キャレット", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "Caret"},
    {70, "罫線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "GapLine"},
    {71, "ページ区切り線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "PageDivideLine"},
    {72, "最大ページ区切り線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "MaxPageDivideLine"},
    {73, "段区切り線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "PartationDivideLine"},
    {74, "行番号の区切り線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "LineInfoTailLine"},
    {75, "行末線", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "ColumnTailLine"},
    {76, "全角スペース", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "ZenkakuSpace"},
    {77, "半角スペース", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "HankakuSpace"},
    {78, "改行マーク", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "Return"},
    {79, "タブ", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "Tab"},
    {80, "文末マーク", "表示", vkElement, "DotMmm", 0, 0, kLineElement, "", scElement, "Eof"},
    {81, "日本語入力", "その他", vkRadio, "", 0, 0, 0, "そのまま,オンにする,オフにする", scEditor, "ImeControl"},
    {82, "段数", "字数", vkNumber, "段", 1, 100, 0, "", scEditor, "PartationCount"},
    {83, "桁数", "字数", vkNumber, "桁", 0, 10000, 0, "", scEditor, "ColumnCount"},
    {84, "行番号の種類", "表示", vkRadio, "", 0, 0, 0, "表示行,論理行,ページ内の行,ページのみ,見出し番号", scEditor,
     "LineInfoStyle"},
    {85, "スムージング", "表示", vkNumber, "倍", 1, 8, 0, "", scEditor, "AntiArius"},
    {86, "１段の行数", "字数", vkNumber, "行", 0, 10000, 0, "", scEditor, "LineCountInPage"},
    {87, "タブの桁数", "字数", vkNumber, "桁", 1, 100, 0, "", scEditor, "TabLength"},
    {88, "ぶら下げインデント", "字数", vkRadio, "", 0, 0, 0, "しない,記号の後,記号と空白の後", scEditor, "ViewIndent"},
    {89, "罫線の種類", "表示", vkRadio, "", 0, 0, 0, "なし,原稿用紙,柱の枠", scEditor, "GapLineStyle"},
    {90, "柱の字下げ", "字数", vkNumber, "桁", 0, 100, 0, "", scEditor, "HashiraIndentCount"},
    {91, "ト書きの字下げ", "字数", vkNumber, "桁", 0, 100, 0, "", scEditor, "TogakiIndentCount"},
    {92, "台詞の字下げ", "字数", vkNumber, "桁", 0, 100, 0, "", scEditor, "SerifuIndentCount"},
    {93, "行番号から引く数", "表示", vkNumber, "行", 0, 0, 0, "", scEditor, "LineInfoStartLineNo"},
    {94, "行番号の間隔", "表示", vkNumber, "行", 1, 10000, 0, "", scEditor, "LineInfoInterval"},
    {95, "最初の行番号", "表示", vkNumber, "行", 0, 0, 0, "", scEditor, "StartLineInfoNo"},
    {96, "最大ページ数", "字数", vkNumber, "頁", 0, 100000, 0, "", scEditor, "MaxPageCount"},
    {97, "最大文字数", "字数", vkNumber, "字", 0, 0, 0, "", scEditor, "MaxStrCount"},
    {98, "行間", "字数", vkNumber, "DotMmm", 0, 1000, 0, "", scEditor, "LineSpace"},
    {99, "字間", "字数", vkNumber, "DotMmm", 0, 1000, 0, "", scEditor, "ColumnSpace"},
    {100, "本文の左余白", "字数", vkNumber, "DotMmm", 0, 1000, 0, "", scEditor, "TextLeftMargin"},
    {101, "本文の右余白", "字数", vkNumber, "DotMmm", 0, 1000, 0, "", scEditor, "TextRightMargin"},
    {102, "段間", "字数", vkNumber, "DotMmm", 0, 1000, 0, "", scEditor, "PartationMargin"},
    {103, "ぶら下げの記号", "その他", vkText, "", 0, 0, 0, "", scEditor, "ViewIndentStr"},
    {104, "ぶら下げ文字", "字数", vkText, "", 0, 0, 0, "", scEditor, "HangStr"},
    {105, "行頭禁則文字", "字数", vkText, "", 0, 0, 0, "", scEditor, "ProhibitTopStr"},
    {106, "行末禁則文字", "字数", vkText, "", 0, 0, 0, "", scEditor, "ProhibitBottomStr"},
    {107, "引用記号", "その他", vkText, "", 0, 0, 0, "", scEditor, "Quote"},
    {108, "柱の記号", "その他", vkText, "", 0, 0, 0, "", scEditor, "HashiraHeader"},
    {109, "台詞の開始記号", "その他", vkText, "", 0, 0, 0, "", scEditor, "SerifuHeader"},
    {110, "台詞の終了記号", "その他", vkText, "", 0, 0, 0, "", scEditor, "SerifuFooter"},
    {111, "見出しの記号", "その他", vkMemo, "", 0, 0, 0, "", scEditor, "HeadingStrs"},
    {112, "キーワード", "その他", vkMemo, "", 0, 0, 0, "", scEditor, "KeyWordStrs"},
};

// The postcard style: switches of the address print, postal-code boxes, layout rectangles in
// millimetres and its 15 elements.
const char* const kCodeKinds = "表示しない,枠に書く,〒に続けて書く";
const char* const kNumerals = "一二,十二,12";
const TRow kPostRows[] = {
    {113, "封筒ののりしろ", "配置", vkRadio, "", 0, 0, 0, "なし,あり", scPost, "WithLid"},
    {114, "宛名の書き方", "表示", vkRadio, "", 0, 0, 0, "横書き,縦書き", scPost, "PostVertical"},
    {115, "文章の編集", "表示", vkRadio, "", 0, 0, 0, kDo, scPost, "Editor"},
    {116, "敬称", "表示", vkRadio, "", 0, 0, 0, kShow, scPost, "Keisyo"},
    {117, "連名", "表示", vkRadio, "", 0, 0, 0, kShow, scPost, "Renmei"},
    {118, "差出人の番号", "表示", vkNumber, "番", 1, 100, 0, "", scPost, "SenderNo"},
    {119, "郵便番号の書き方", "表示", vkRadio, "", 0, 0, 0, kCodeKinds, scPost, "PostCodeKind"},
    {120, "差出人郵便番号の書き方", "表示", vkRadio, "", 0, 0, 0, kCodeKinds, scPost, "SenderPostCodeKind"},
    {121, "切手の絵", "表示", vkNumber, "番", 0, 99, 0, "", scPost, "StampKind"},
    {122, "ヘッダの絵", "表示", vkNumber, "番", 0, 99, 0, "", scPost, "HeaderImageKind"},
    {123, "フッタの絵", "表示", vkNumber, "番", 0, 99, 0, "", scPost, "FooterImageKind"},
    {124, "郵便番号枠の間隔（大）", "配置", vkNumber, "Mmm", 0, 100, 0, "", scPost, "YubinBigInterval"},
    {125, "郵便番号枠の線の太さ（大）", "配置", vkNumber, "Mmm", 0, 10, 0, "", scPost, "YubinBigLineWidth"},
    {126, "郵便番号枠の間隔（小）", "配置", vkNumber, "Mmm", 0, 100, 0, "", scPost, "YubinSmallInterval"},
    {127, "郵便番号枠の線の太さ（小）", "配置", vkNumber, "Mmm", 0, 10, 0, "", scPost, "YubinSmallLineWidth"},
    {128, "差出人郵便番号枠の間隔（大）", "配置", vkNumber, "Mmm", 0, 100, 0, "", scPost, "SenderYubinBigInterval"},
    {129, "差出人郵便番号枠の線の太さ（大）", "配置", vkNumber, "Mmm", 0, 10, 0, "", scPost, "SenderYubinBigLineWidth"},
    {130, "差出人郵便番号枠の間隔（小）", "配置", vkNumber, "Mmm", 0, 100, 0, "", scPost, "SenderYubinSmallInterval"},
    {131, "差出人郵便番号枠の線の太さ（小）", "配置", vkNumber, "Mmm", 0, 10, 0, "", scPost, "SenderYubinSmallLineWidth"},
    {132, "のりしろの高さ", "配置", vkNumber, "Mmm", 0, 1000, 0, "", scPost, "LidMargin"},
    {133, "表題の文字", "表示", vkText, "", 0, 0, 0, "", scPost, "PostKindStr"},
    {134, "折り目の文字", "表示", vkText, "", 0, 0, 0, "", scPost, "RoundTripStr"},
    {135, "郵便番号枠（大）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaPostCodeBigFrameLayout"},
    {136, "郵便番号枠（小）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaPostCodeSmallFrameLayout"},
    {137, "郵便番号（文字）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaPostCodeTextLayout"},
    {138, "住所の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaAddressLayout"},
    {139, "名前の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaNameLayout"},
    {140, "電話番号の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaTelLayout"},
    {141, "メールの位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "AtenaMailLayout"},
    {142, "差出人郵便番号枠（大）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderPostCodeBigFrameLayout"},
    {143, "差出人郵便番号枠（小）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderPostCodeSmallFrameLayout"},
    {144, "差出人郵便番号（文字）の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderPostCodeTextLayout"},
    {145, "差出人住所の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderAddressLayout"},
    {146, "差出人名前の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderNameLayout"},
    {147, "差出人電話番号の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderTelLayout"},
    {148, "差出人メールの位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "SenderMailLayout"},
    {149, "切手の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "StampLayout"},
    {150, "ヘッダの絵の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "HeaderLayout"},
    {151, "フッタの絵の位置", "配置", vkLayout, "", 0, 0, 0, "", scPost, "FooterLayout"},
    {152, "郵便番号", "表示", vkElement, "Mmm", 0, 0, kTextElement | esLineWidth | esDecorateColor, "", scElement,
     "AtenaPostCode"},
    {153, "郵便番号枠", "表示", vkElement, "Mmm", 0, 0, kLineElement, "", scElement, "AtenaPostCodeFrame"},
    {154, "住所", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "AtenaAddress"},
    {155, "名前", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "AtenaName"},
    {156, "電話番号", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "AtenaTel"},
    {157, "メール", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "AtenaMail"},
    {158, "差出人郵便番号", "表示", vkElement, "Mmm", 0, 0, kTextElement | esLineWidth | esDecorateColor, "", scElement,
     "SenderPostCode"},
    {159, "差出人郵便番号枠", "表示", vkElement, "Mmm", 0, 0, kLineElement, "", scElement, "SenderPostCodeFrame"},
    {160, "差出人住所", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "SenderAddress"},
    {161, "差出人名前", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "SenderName"},
    {162, "差出人電話番号", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "SenderTel"},
    {163, "差出人メール", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "SenderMail"},
    {164, "表題", "表示", vkElement, "Mmm", 0, 0, kTextElement, "", scElement, "PostKind"},
    {165, "折り目", "表示", vkElement, "Mmm", 0, 0, kDecoratedText, "", scElement, "RoundTrip"},
    {166, "中心線", "表示", vkElement, "Mmm", 0, 0, kLineElement, "", scElement, "HalfLine"},
    {167, "縦書きの数字", "表示", vkRadio, "", 0, 0, 0, kNumerals, scPost, "AddressNumerals"},
    {168, "縦書きの建物・部屋番号", "表示", vkRadio, "", 0, 0, 0, kNumerals, scPost, "BuildingNumerals"},
    {169, "カスタマバーコード", "表示", vkRadio, "", 0, 0, 0, kShow, scPost, "Barcode"},
    {170, "バーコードの大きさ", "配置", vkNumber, "pt", 8, 11.5, 0, "", scPost, "BarcodeSize"},
    {171, "バーコードの位置", "配置", vkLayout, "Position", 0, 0, 0, "", scPost, "BarcodeLayout"},
};

TStyleItem MakeItem(const TRow& r) {
  TStyleItem item;
  item.No = r.No;
  item.Info.Name = Utf8ToSjis(r.Name);
  item.Info.Category = Utf8ToSjis(r.Category);
  item.Info.Kind = r.Kind;
  item.Info.Unit = Utf8ToSjis(r.Unit);
  item.Info.Min = r.Min;
  item.Info.Max = r.Max;
  item.Info.Switches = r.Switches;
  item.Info.Choices = Utf8ToSjis(r.Choices);
  item.Scope = r.Scope;
  item.Key = r.Key;
  return item;
}

void AddRows(std::vector<TStyleItem>& items, std::span<const TRow> rows) {
  for (const TRow& r : rows) {
    if (static_cast<int>(items.size()) <= r.No) items.resize(static_cast<size_t>(r.No) + 1);
    items[static_cast<size_t>(r.No)] = MakeItem(r);
  }
}

std::vector<TStyleItem> BuildItems(TStyleFrameKind kind) {
  std::vector<TStyleItem> items;
  AddRows(items, kBaseRows);
  if (kind == sfTable) {
    AddRows(items, kTableRows);
    items[0].Info.Category.clear();  // a table is always printed on paper
  } else if (kind == sfEditor || kind == sfPost) {
    AddRows(items, kEditorRows);
    if (kind == sfPost) {
      AddRows(items, kPostRows);
      // a card shows its paper, its own header and footer texts and its editor's text
      // element and rule; the editor's other settings belong to the free text
      auto hide = [&](int first, int last) {
        for (int no = first; no <= last; ++no) items[static_cast<size_t>(no)].Info.Category.clear();
      };
      hide(0, 0);
      hide(20, 23);
      hide(25, 26);
      hide(28, 28);
      hide(33, 51);
      hide(53, 69);
      hide(71, 112);
    }
  }
  // the printer the style prints on, after every other item of the panel: its list is the
  // print system's queues as they are when it is shown
  static const TRow kPrinterRow = {0, "プリンタ", "印刷", vkList, "", 0, 0, 0, "", scBase, "Printer"};
  items.push_back(MakeItem(kPrinterRow));
  for (size_t i = 0; i < items.size(); ++i) items[i].No = static_cast<int>(i);
  return items;
}

template <class V>
const TStyleKey<V>* FindKey(std::span<const TStyleKey<V>> keys, std::string_view name) {
  for (const TStyleKey<V>& k : keys)
    if (name == k.Name) return &k;
  return nullptr;
}

template <class V>
bool ReadFrom(const V& values, const TStyleKey<V>* key, TItemValue& out) {
  if (!key) return false;
  std::visit([&](auto member) { out = values.*member; }, key->Member);
  return true;
}

// Calls set(member, value) when the value holds the member's type.
template <class V, class F>
bool WriteTo(const TStyleKey<V>* key, const TItemValue& value, F set) {
  if (!key) return false;
  return std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(std::declval<V&>().*member)>;
        if (!std::holds_alternative<T>(value)) return false;
        set(member, std::get<T>(value));
        return true;
      },
      key->Member);
}

const TStyleKey<TPostValues>* FindPostKey(std::string_view name) {
  if (name == PostSenderNoKey().Name) return &PostSenderNoKey();
  return FindKey(PostStyleKeys(), name);
}

}  // namespace

const std::vector<TStyleItem>& StyleItems(TStyleFrameKind kind) {
  static const std::array<std::vector<TStyleItem>, 4> tables = {BuildItems(sfBase), BuildItems(sfTable),
                                                                 BuildItems(sfEditor), BuildItems(sfPost)};
  return tables[kind];
}

int PrinterItemNo(TStyleFrameKind kind) { return static_cast<int>(StyleItems(kind).size()) - 1; }

const std::vector<int32_t>& RatioValues() {
  static const std::vector<int32_t> values = {0, -1, -2, 400, 200, 150, 125, 100, 75, 50, 25};
  return values;
}

bool ReadItemValue(const TBaseStyle& style, const TStyleItem& item, TItemValue& value) {
  switch (item.Scope) {
    case scBase:
      if (item.Key == "Name") {
        value = style.Name();
        return true;
      }
      return ReadFrom(style.Base(), FindKey(BaseStyleKeys(), item.Key), value);
    case scTable:
      if (auto* t = dynamic_cast<const TTableStyle*>(&style)) return ReadFrom(t->Table(), FindKey(TableStyleKeys(), item.Key), value);
      return false;
    case scEditor:
      if (auto* e = dynamic_cast<const TEditorStyle*>(&style)) return ReadFrom(e->Editor(), FindKey(EditorStyleKeys(), item.Key), value);
      return false;
    case scPost:
      if (auto* p = dynamic_cast<const TPostStyle*>(&style)) return ReadFrom(p->Post(), FindPostKey(item.Key), value);
      return false;
    default:
      return false;
  }
}

bool WriteItemValue(TBaseStyle& style, const TStyleItem& item, const TItemValue& value) {
  switch (item.Scope) {
    case scBase:
      if (item.Key == "Name") {
        if (!std::holds_alternative<std::string>(value)) return false;
        style.SetName(std::get<std::string>(value));
        return true;
      }
      return WriteTo(FindKey(BaseStyleKeys(), item.Key), value, [&](auto member, const auto& v) {
        using T = std::remove_cvref_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, int32_t> || std::is_same_v<T, double> ||
                      std::is_same_v<T, std::string>)
          style.SetBase(member, v);
      });
    case scTable:
      if (auto* t = dynamic_cast<TTableStyle*>(&style))
        return WriteTo(FindKey(TableStyleKeys(), item.Key), value, [&](auto member, const auto& v) { t->SetTable(member, v); });
      return false;
    case scEditor:
      if (auto* e = dynamic_cast<TEditorStyle*>(&style))
        return WriteTo(FindKey(EditorStyleKeys(), item.Key), value, [&](auto member, const auto& v) { e->SetEditor(member, v); });
      return false;
    case scPost:
      if (auto* p = dynamic_cast<TPostStyle*>(&style))
        return WriteTo(FindPostKey(item.Key), value, [&](auto member, const auto& v) { p->SetPost(member, v); });
      return false;
    default:
      return false;
  }
}

}  // namespace kaede
