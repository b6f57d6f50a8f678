#pragma once
// The customer barcode of Japan Post: the postal code and the address number (the block,
// lot and room numbers after the town) as 23 symbols of three bars each, printed on bulk
// mail below or beside the addressee's name.
//
// The symbols have values 0-9 (digits), 10 (hyphen), 11-18 (the control codes CC1-CC8),
// 19 (start) and 20 (stop). A barcode is the start, the 7 postal digits, 13 address symbols
// (padded with CC4, cut at 13), a check symbol and the stop: 67 bars.
#include <array>
#include <cstdint>
#include <string>

namespace kaede {

class TPostalData;

enum : int8_t { kBarHyphen = 10, kBarCC1 = 11, kBarCC4 = 14, kBarCC8 = 18, kBarStart = 19, kBarStop = 20 };
inline constexpr int kBarcodeSymbols = 23;
inline constexpr int kBarcodeBars = 67;

// The bar kinds, top to bottom of the symbol's height: a long bar, the upper half (from the
// top to the foot of the timing bar), the lower half, and the short timing bar in the middle.
enum class TBarKind : int8_t { Long = 1, Upper = 2, Lower = 3, Timing = 4 };

struct TCustomerBarcode {
  std::array<int8_t, kBarcodeSymbols> Symbols{};
  std::string AddressNumber;  // ASCII: digits, "-" and capital letters
  // The symbols as text separated by spaces ("STC 2 6 3 ... CC4 5 SPC").
  std::string SymbolText() const;
  // The 67 bars from left to right.
  std::array<TBarKind, kBarcodeBars> Bars() const;
};

// The name of one symbol value: "0"-"9", "-", "CC1"-"CC8", "STC", "SPC".
std::string BarSymbolName(int value);

// The address number of the part of an address that follows the town (CP932): letters in
// upper case and half width; "&", "/", "・" and "." dropped; kanji numerals before 丁目, 丁,
// 番地, 番, 号, 地割, 線, の and ノ as arabic numbers; digits, hyphens and single letters kept;
// every other run before a kept character one hyphen; a floor "F" after a digit dropped (a
// hyphen when more follows); no hyphen next to a letter, repeated or in front.
std::string BarcodeAddressNumber(const std::string& afterTown);

// The barcode of a seven-digit postal code (ASCII digits, a hyphen allowed) and an address
// number as BarcodeAddressNumber makes it.
TCustomerBarcode EncodeCustomerBarcode(const std::string& postalDigits, const std::string& addressNumber);

// Why a barcode could not be made.
enum class TBarcodeFailure { None, NoPostalCode, UnknownPostalCode, NoDictionary };
// A Japanese sentence for a failure ("郵便番号がありません" …).
std::string BarcodeFailureText(TBarcodeFailure why);

// The barcode of an entry's postal code and address (CP932, the address lines joined): the
// town is found with the dictionary's entries for the code (the town without its note), in
// an address that may start with or without prefecture and city and with 大字 or 字 before the
// town; the address number is made from what follows it.
TBarcodeFailure MakeCustomerBarcode(TPostalData& dictionary, const std::string& postal, const std::string& address,
                                    TCustomerBarcode& out);

// The part of the address that follows the town of one of the places of the code (the
// longest town found); without a town that occurs, what follows the city, or the address.
std::string AddressAfterTown(TPostalData& dictionary, const std::string& postalDigits, const std::string& address);

}  // namespace kaede
