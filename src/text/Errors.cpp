#include "Errors.h"

#include "Cp932.h"

namespace kaede {

void Exception::Compose() {
  std::string s;
  if (!FFileName.empty()) {
    s += FFileName;
    if (FLineNo > 0) {
      s += ' ';
      s += std::to_string(FLineNo);
      s += SJ("行目");
    }
    s += ": ";
  } else if (FLineNo > 0) {
    s += std::to_string(FLineNo) + SJ("行目") + ": ";
  }
  if (!FFieldName.empty()) s += SJ("「") + FFieldName + SJ("」") + ": ";
  FFull = s + FMessage;
}

}  // namespace kaede
