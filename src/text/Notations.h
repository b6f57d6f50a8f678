#pragma once
// The plain-text notation the editor accepts inside its text — ruby as ｜base《ruby》 or
// base《ruby》, emphasis as text［＃「text」に傍点］, other annotations as ［＃…］ — and the
// text operations of the editor built on it: the bytes it does not show, the mapping between
// byte positions and display columns, hanging indents and item numbers. Positions are 1-based
// byte positions in CP932 text; a display column is a half-width cell. Nothing here keeps
// state or raises: unpaired marks and positions outside the text give plain results.
#include <cstdint>
#include <string>
#include <string_view>

#include "KaedeTypes.h"
#include "Strs.h"

namespace kaede {

// ---- Notation ------------------------------------------------------------------------------

// (opener position, last byte of its closer) of every opener that is followed by a closer
// before the next opener (pairs do not nest); without closer, (position, last byte) of every
// opener.
TPoints FindPairs(const std::string& text, const std::string& opener, const std::string& closer);
TPoints FindRubiBars(const std::string& text);
TPoints FindRubiBrackets(const std::string& text);
// The annotations ［＃…］ that are not emphasis annotations.
TPoints FindNotes(const std::string& text);
// Every emphasis annotation, by kind (0-9), each with the bytes it emphasises.
TBotenInfos FindBotens(const std::string& text);
TRubiInfos FindRubis(const std::string& text);

// The text without the bytes from every opener through the first closer after it (spans that
// overlap are removed as their union); without closer, without every opener.
std::string DeletePairs(const std::string& text, const std::string& opener, const std::string& closer);
// Without the spans 《…》 and without every ｜.
std::string DeleteRubi(const std::string& text);
// Without the spans ［＃…］.
std::string DeleteNotes(const std::string& text);

// Length + 2 entries indexed by byte position, true for the bytes the editor does not show:
// with hideRubi the spans 《…》 and every ｜, with hideNotes the spans ［＃…］, with
// hideLeadingMark the leading mark when the line begins with it. Empty when no switch is on.
TBooleans HiddenMask(const std::string& line, const std::string& leadingMark, bool hideRubi, bool hideLeadingMark,
                     bool hideNotes);

// ---- Character sets ------------------------------------------------------------------------

// The characters of a CP932 text, for membership tests of one character at a time.
class TCharSet {
public:
  TCharSet() = default;
  TCharSet(const std::string& chars);  // NOLINT: built from the option texts directly
  bool Empty() const { return FCodes.empty(); }
  // The character that starts at 0-based offset i of the text.
  bool Contains(std::string_view text, size_t i) const;

private:
  std::vector<uint16_t> FCodes;  // sorted
};

// ---- Display columns -----------------------------------------------------------------------

// What the column mapping takes from the editor's style.
struct TColumnOptions {
  std::string SerifuHeader = SJ("「");  // opening mark of speech
  std::string SerifuFooter = SJ("」");  // closing mark of speech
  bool NameRestore = false;             // speaker names before the opening mark take six cells
  std::string LeadingMark;                // hidden at the start of a line with HideLeadingMark
  bool HideLeadingMark = false;
  bool HideRubi = false;
  bool HideNotes = false;
  int32_t TabLength = 4;
  bool ExpandTabs = false;
};

// A stretch of text (a line, or the part of one from some byte on) as the column mapping sees
// it. Hidden bytes take no cell; a tab, when tabs are expanded, reaches the next tab stop; a
// speaker name before a speech opener at position NamePos (1-6) is spread so that the opener
// stands at the seventh cell: a name of two characters get two blank cells between them, one gets
// two blank cells on each side, and any other name has the blanks just before the opener.
struct TColumnText {
  std::string_view Text;
  const TBooleans* Mask = nullptr;  // hidden bytes, or none
  int32_t MaskBase = 0;             // Mask's entry for byte k of Text is Mask[MaskBase + k]
  int32_t NamePos = 0;
  int32_t TabLength = 4;
  bool ExpandTabs = false;

  bool Hidden(int32_t pos) const { return Mask && (*Mask)[static_cast<size_t>(MaskBase + pos)]; }
  // Uses the mask only when it hides anything, so that plain text takes the quick paths.
  void UseMask(const TBooleans& mask);
  // Blank cells that come just before byte pos.
  int32_t BlanksBefore(int32_t pos) const;
  // True when columns equal byte positions (plus the starting column).
  bool Plain() const { return !Mask && NamePos == 0 && !ExpandTabs; }
};

// Position (1-6) of the speech opener when a line is a speech line (it holds the opener and,
// when it holds the closer, ends with it) and its first opener stands at one of the first six
// bytes of `piece` (the line itself, or one of its display pieces); else 0.
int32_t NameAlignPos(bool nameRestore, bool isSpeechLine, std::string_view piece, const std::string& opener);

// The first byte whose column reaches `column` (a byte followed by hidden bytes counts as the
// last of them, so that a position after a character lands after the notation that follows
// it); Text's length + 1 when no byte does. Counting starts from `startColumn` (the cells of a
// hanging indent before the text).
int32_t ColumnToIndex(const TColumnText& t, int32_t column, int32_t startColumn);
// The start of the character whose cells reach `column`, with the notation before it: the
// notation that follows a character belongs to it, and notation at the start of the text to
// the first character. Text's length + 1 past the last cell (so a text of notation only has
// its one caret position after it). This is where a caret at that column stands, and where a
// range from that column begins.
int32_t ColumnToCharIndex(const TColumnText& t, int32_t column, int32_t startColumn);
// The start of the character after the one at `index` (see ColumnToCharIndex); length + 1 at
// the end.
int32_t NextCharIndex(const TColumnText& t, int32_t index);
// The column at which byte `index` stands (index outside the text: the column after the last
// cell). withJump includes the blank cells of a spread speaker name just before that byte.
int32_t IndexToColumn(const TColumnText& t, int32_t index, int32_t startColumn, bool withJump);
// The text as the columns lay it out: hidden bytes left out, the blank cells of a spread name as
// spaces, expanded tabs as `tabFill` characters up to the tab stop. One byte per cell.
std::string ColumnText(const TColumnText& t, int32_t startColumn, char tabFill);

// The same for a whole logical line with the options of a style.
int32_t ColumnToIndex(const std::string& line, int32_t column, int32_t startColumn, const TColumnOptions& o);
int32_t IndexToColumn(const std::string& line, int32_t index, int32_t startColumn, const TColumnOptions& o,
                      bool withJump);

// ---- Hanging indent and item numbers -------------------------------------------------------

// What the hanging indent takes from the editor's style.
struct TIndentOptions {
  int32_t Mode = 1;  // 1 bullets, 2 screenplay, others none
  bool Itemized = false;
  int32_t HashiraIndent = 4;
  int32_t SerifuIndent = 2;
  int32_t TogakiIndent = 4;
  std::string SerifuFooter = SJ("」");
  std::string SerifuHeader = SJ("「");
  std::string HashiraHeader = SJ("○");
  TCharSet Bullets;
};

struct THangIndent {
  int32_t Indent = 0;   // cells
  bool Togaki = false;  // a stage direction: the indent applies to its first display line too
  bool operator==(const THangIndent&) const = default;
};
THangIndent HangIndent(const std::string& line, const TIndentOptions& o);

struct TItemNo {
  bool Valid = false;
  std::string Prefix;
  int64_t Number = 0;
  bool FullWidth = false;
  std::string Suffix;
};
// The item number a line begins with: an optional single-byte prefix, ASCII or full-width digits
// and a suffix up to the first ". ．　" (at most 6 bytes, else none).
TItemNo ParseItemNo(const std::string& line);
// The line's item-number text with the same number, and with the number plus one; empty for a
// line without item number.
std::string ItemNoText(const std::string& line);
std::string NextItemNoText(const std::string& line);

}  // namespace kaede
