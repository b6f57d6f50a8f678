#pragma once
// The installed fonts for the font pickers, and the vertical form of a face ("@" + name) that
// styles store for vertical writing.
#include <QFont>
#include <string>

#include "Fonts.h"
#include "Strs.h"

namespace kaede {

// Whether a stored face name can be shown: an installed family, one of the Windows faces that
// map to an installed font, or the vertical form "@" + such a name (vertical writing turns
// the glyphs itself, so every face has its vertical form).
bool FontExists(const std::string& sjisFace);

// The names of the installed fonts that CP932 can hold: verticalFilter 0 all names, 1 only the
// vertical forms ("@" + each name), 2 only the plain names.
void FontList(TStrings& list, bool sorted, int verticalFilter);

// A stored face name turned to or from its vertical form: vertical, a name without "@" gets
// it when that face exists, else "@ＭＳ ゴシック"; not vertical, a name with "@" loses it when
// the plain face exists, else "ＭＳ ゴシック".
void SetVerticalFontName(TFontRecord& font, bool vertical);

// The Qt font of a record; vertical is set when the name is a vertical form, and the caller
// then draws the text turned by 270 degrees.
QFont MakeQFont(const TFontRecord& font, bool* vertical = nullptr);

}  // namespace kaede
