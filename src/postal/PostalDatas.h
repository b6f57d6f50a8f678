#pragma once
// The postal-code dictionary: three CP932 text files that the updater writes and the address
// book reads.
//
//   Postal.dat  one line per entry: seven-digit postal code, then the town name (possibly
//               empty, possibly with a note in "（" … "）"). The 0-based line number is the
//               entry index.
//   Ken.dat     the prefecture of every entry as ranges: bytes 1-6 the index of the range's
//               first entry, right-aligned with spaces, then the prefecture name. A range runs
//               up to the next line's index - 1, the last one to the end of Postal.dat.
//   City.dat    the city of every entry, laid out like Ken.dat.
//
// Every line ends with CR LF. Six characters limit the index, so a dictionary holds at most
// kMaxPostalLines entries.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Strs.h"

namespace kaede {

inline constexpr const char* kKenFileName = "Ken.dat";
inline constexpr const char* kCityFileName = "City.dat";
inline constexpr const char* kPostalFileName = "Postal.dat";
inline constexpr int kMaxPostalLines = 999999;
// The largest dictionary file that is read: the national dictionary's Postal.dat is 2 MB, so
// a file far beyond that (a device, a file filled by mistake) is refused before it fills memory.
inline constexpr int64_t kMaxPostalFileSize = int64_t(64) << 20;

// Whether a text is a postal code as the dictionary and the books hold it: seven ASCII digits.
inline bool IsPostalCodeDigits(std::string_view s) {
  if (s.size() != 7) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// The lines of the three files.
struct TPostalLists {
  TStrings Ken;
  TStrings City;
  TStrings Postal;
};

// A range line: bytes 1-6 hold the index, right-aligned in spaces.
std::string RangeLine(int index, const std::string& name);

// Writes the three files into the folder (created when missing) as one set, never mixing an
// old and a new dictionary: each file goes to a temporary name first, fully written and
// flushed; the old files are kept until all three new ones are in place, and put back when
// any of them cannot be renamed into place. A write that was killed part way is finished or
// undone by the next save or read of the folder. When a file cannot be written the old
// dictionary is left as it was and EFileError is raised.
void SavePostalFiles(const std::string& folder, const TPostalLists& lists);
// Finishes or undoes a replacement of the folder's files that was cut short, and removes its
// leftovers (nothing when there are none or the folder cannot be written).
void RecoverPostalFiles(const std::string& folder);

// Held while the three files of a folder are read: a replacement waits until it goes, and one
// that was cut short is finished first.
class TPostalReadLock {
public:
  explicit TPostalReadLock(const std::string& folder);
  ~TPostalReadLock();
  TPostalReadLock(const TPostalReadLock&) = delete;
  TPostalReadLock& operator=(const TPostalReadLock&) = delete;

private:
  int FFd = -1;
};

class TPostalScan;

// The dictionary as the address book uses it. Look-ups load the files on first use; postal
// codes and city names are indexed when the files load, so a look-up costs microseconds.
class TPostalData {
public:
  // Reads from the first of DictionaryFolders() that holds all three files.
  TPostalData();
  // Reads from the first of the given folders that holds all three files.
  explicit TPostalData(std::vector<std::string> folders);
  ~TPostalData();
  TPostalData(const TPostalData&) = delete;
  TPostalData& operator=(const TPostalData&) = delete;

  // True when the dictionary is loaded, loading it when all three files exist in one of the
  // folders. Files that appear later are picked up by a later call; once loaded, the files
  // are not read again. A file that cannot be read, or a range line whose index is not a
  // number, raises an error naming the file (and line) and leaves the dictionary unloaded.
  bool LoadData();
  bool Loaded() const { return FIndex != nullptr; }
  // The folder the dictionary was loaded from (empty while not loaded).
  const std::string& Folder() const { return FFolder; }
  const TPostalLists& Lists() const { return FLists; }

  // The name of the Ken.dat / City.dat range that holds the entry index; empty when there is
  // none (no dictionary, or an index before the first range).
  std::string PrefectureOf(int index) const;
  std::string CityOf(int index) const;

  // Postal code to address: hyphens are ignored and the rest must be seven bytes. Each entry
  // of the code gives prefecture + city + town, one candidate per line in file order, lines
  // joined by CR LF; count is the number of candidates. No dictionary gives "" and 0.
  std::string PostalToAddress(const std::string& code, int& count);
  // The entries of a postal code (hyphens ignored) as their three parts, in file order; the
  // town as stored, with its note. No dictionary or no such code gives none.
  struct TPlace {
    std::string Prefecture, City, Town;
  };
  std::vector<TPlace> Places(const std::string& code);
  // Address to postal code: candidates "code full-address[ note]" joined by CR LF (see
  // TPostalScan::AddressToPostal for the rules, which both forms share).
  std::string AddressToPostal(const std::string& address, int& count);

private:
  friend class TPostalScan;
  struct TIndex;
  // Calls add(line) for every Postal.dat line of the code, in file order.
  template <class F>
  void ForEachLineOf(const std::string& code, F add);
  std::vector<std::string> FFolders;
  std::string FFolder;
  TPostalLists FLists;
  std::unique_ptr<TIndex> FIndex;
};

// The same look-ups as TPostalData done as plain scans over the loaded lines, without any
// index: each range look-up scans its file from the top, a postal look-up scans all of
// Postal.dat, an address look-up scans Ken.dat and City.dat for the names contained in the
// input. The tests and benchmarks hold the indexed form against it.
class TPostalScan {
public:
  explicit TPostalScan(const TPostalData& data) : FData(data) {}

  std::string PrefectureOf(int index) const;
  std::string CityOf(int index) const;
  std::string PostalToAddress(const std::string& code, int& count) const;
  // 1. The prefecture is the first Ken.dat name that occurs in the input (none: empty).
  // 2. The city is chosen among the City.dat lines whose name occurs in the input: lines
  //    inside that prefecture first, and among them the longest name (the first in file order
  //    on a tie), so that 大阪市北区 wins over the 北区 of another prefecture. No city gives no
  //    result.
  // 3. Every entry of the city's range whose full address (prefecture + city + town as
  //    stored) occurs in the input, or in which the input occurs, is a candidate
  //    "code full-address", followed by " （note…" when the town carries a note. A candidate
  //    whose address contains the one listed just before it (and is longer) replaces it.
  std::string AddressToPostal(const std::string& address, int& count) const;

private:
  const TPostalData& FData;
};

// The record the build writes beside the shipped dictionary: "date=YYYY-MM-DD" (the date of
// the national file it was converted from) and "source=NAME" lines.
inline constexpr const char* kPostalSourceFileName = "Source.txt";

// Which dictionary answers the look-ups, for the about box and `kaede postal --info`.
struct TPostalDictionaryInfo {
  std::string Folder;    // where it was loaded from; empty when there is none
  bool Shipped = false;  // the copy installed with the program (ShippedDictionaryFolder())
  // YYYY-MM-DD: the date of the national file when the folder records it (the shipped copy),
  // else the day Postal.dat was last written (the user's update)
  std::string Date;
  bool DateOfData = false;  // Date is the national file's, not the update's
  size_t Entries = 0;       // lines of Postal.dat
};
// Loads the dictionary when it is not loaded yet (errors of the files are raised as by LoadData).
TPostalDictionaryInfo DictionaryInfo(TPostalData& data);
// One line saying which dictionary is in use, of which date and where:
// "同梱の郵便番号辞書（2026-06-05 のデータ、124,511 件）: /usr/share/KaedeAddress/postal/".
std::string DescribeDictionary(const TPostalDictionaryInfo& info);

}  // namespace kaede
