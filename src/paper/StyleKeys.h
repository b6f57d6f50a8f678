#pragma once
// Keys of a style section described once as a table of (key name, member of a value record),
// so that reading, writing and defaults of the many plain settings of the styles are one loop.
// A key is written only when its value differs from the value record's default; reading a
// missing key, or one that cannot be read as its type, gives that default.
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "BaseOptions.h"
#include "CommaText.h"

namespace kaede {

// A rectangle in millimetres: left, top, width, height.
struct TMmRect {
  double Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TMmRect&) const = default;
  double Right() const { return Left + Width; }
  double Bottom() const { return Top + Height; }
  TMmRect Moved(double dx, double dy) const { return {Left + dx, Top + dy, Width, Height}; }
};

// Four numbers joined by "|", each as the shortest text that reads back as the same number,
// so that no position is lost on the way through a file ("44|11.8|6.4|8.6").
std::string MmRectToStr(const TMmRect& r);
// The four numbers of a stored rectangle over `r`: pieces that are missing keep their value;
// false (and `r` unchanged) when a piece is not a number.
bool StrToMmRect(const std::string& text, TMmRect& r);

template <class V>
struct TStyleKey {
  const char* Name;
  std::variant<bool V::*, int32_t V::*, double V::*, std::string V::*, TStrings V::*, TMmRect V::*> Member;
};

template <class V>
void ReadStyleKeys(const TSettingsStore& store, const std::string& section, std::span<const TStyleKey<V>> keys,
                   V& values, const V& defaults) {
  for (const TStyleKey<V>& k : keys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(values.*member)>;
          const T& def = defaults.*member;
          T& out = values.*member;
          if constexpr (std::is_same_v<T, bool>) {
            out = store.ReadBool(section, k.Name, def);
          } else if constexpr (std::is_same_v<T, int32_t>) {
            out = store.ReadInteger(section, k.Name, def);
          } else if constexpr (std::is_same_v<T, double>) {
            out = store.ReadFloat(section, k.Name, def);
          } else if constexpr (std::is_same_v<T, std::string>) {
            out = store.ReadString(section, k.Name, def);
          } else if constexpr (std::is_same_v<T, TStrings>) {
            out = store.ValueExists(section, k.Name) ? DecodeCommaText(store.ReadString(section, k.Name, "")) : def;
          } else {
            out = def;
            if (store.ValueExists(section, k.Name)) StrToMmRect(store.ReadString(section, k.Name, ""), out);
          }
        },
        k.Member);
  }
}

template <class V>
void WriteStyleKeys(TSettingsStore& store, const std::string& section, std::span<const TStyleKey<V>> keys,
                    const V& values, const V& defaults) {
  for (const TStyleKey<V>& k : keys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(values.*member)>;
          const T& v = values.*member;
          if constexpr (std::is_same_v<T, TStrings>) {
            std::string text = EncodeCommaText(v);
            if (text != EncodeCommaText(defaults.*member)) store.WriteString(section, k.Name, text);
            return;
          } else {
            if (v == defaults.*member) return;
            if constexpr (std::is_same_v<T, bool>) store.WriteBool(section, k.Name, v);
            else if constexpr (std::is_same_v<T, int32_t>) store.WriteInteger(section, k.Name, v);
            else if constexpr (std::is_same_v<T, double>) store.WriteFloat(section, k.Name, v);
            else if constexpr (std::is_same_v<T, std::string>) store.WriteString(section, k.Name, v);
            else store.WriteString(section, k.Name, MmRectToStr(v));
          }
        },
        k.Member);
  }
}

}  // namespace kaede
