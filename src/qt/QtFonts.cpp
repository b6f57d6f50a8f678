#include "QtFonts.h"

#include <QFontDatabase>
#include <algorithm>

#include "Collation.h"
#include "Cp932.h"
#include "QtText.h"

namespace kaede {

bool FontExists(const std::string& sjisFace) { return FaceAvailable(sjisFace); }

void FontList(TStrings& list, bool sorted, int verticalFilter) {
  list.clear();
  for (const QString& family : QFontDatabase::families()) {
    std::string name;
    try {
      name = FromQStrict(family);
    } catch (const Exception&) {
      continue;  // a name CP932 cannot hold cannot be stored in a style
    }
    if (verticalFilter != 2) list.push_back("@" + name);
    if (verticalFilter != 1) list.push_back(name);
  }
  if (sorted) {
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return CollateCompare(a, b) < 0; });
  }
}

void SetVerticalFontName(TFontRecord& font, bool vertical) {
  bool isVertical = !font.Name.empty() && font.Name[0] == '@';
  if (vertical && !isVertical) font.Name = FontExists(font.Name) ? "@" + font.Name : SJ("@ＭＳ ゴシック");
  else if (!vertical && isVertical) font.Name = FontExists(font.Name.substr(1)) ? font.Name.substr(1) : SJ("ＭＳ ゴシック");
}

QFont MakeQFont(const TFontRecord& font, bool* vertical) {
  if (vertical) *vertical = !font.Name.empty() && font.Name[0] == '@';
  QFont f = MakeFont(font.Name.empty() ? SJ("ＭＳ Ｐゴシック") : font.Name, font.Size, font.Style & fsBold, font.Style & fsItalic);
  f.setUnderline(font.Style & fsUnderline);
  f.setStrikeOut(font.Style & fsStrikeOut);
  return f;
}

}  // namespace kaede
