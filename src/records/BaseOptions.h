#pragma once
// Option records: data items that read and write themselves as one named section of
// key/value pairs, in the settings store of an application or in an ini-style file.
//
// The settings store of an application key is the file
// $XDG_CONFIG_HOME/KaedeProject/<application key>.ini (~/.config when the variable is unset):
// a [section] per subkey, values of the key itself before the first section. Text is CP932.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataLists.h"

namespace kaede {

// The application key used when a caller gives none: the program's internal name.
std::string DefaultAppKey();

// One ini-style document: ordered sections of ordered key=value entries. Lines that are not
// entries (comments, blank lines, anything unreadable) are kept as they were, so that saving
// never loses what this program did not understand.
class TSettingsStore {
public:
  enum TKind {
    skRegistry,  // the application's own settings file (values escape \, CR and LF)
    skIniFile,   // an ini-style file exchanged with other programs (values written raw)
  };

  // Opens the settings of an application key (the default key when empty).
  static std::unique_ptr<TSettingsStore> OpenRegistry(const std::string& appKey);
  // Opens an ini-style file (CP932 name).
  static std::unique_ptr<TSettingsStore> OpenFile(const std::string& fileName);
  // An ini-style file passed from elsewhere: a regular file of at most maxSize bytes, else
  // EFileError naming the file (nothing is swallowed: the caller reports it).
  static std::unique_ptr<TSettingsStore> ReadFile(const std::string& fileName, int64_t maxSize);
  // The file behind the settings of an application key (CP932 name).
  static std::string RegistryFileName(const std::string& appKey);

  // The file could not be read although it exists: its content is unknown, so Save leaves
  // it alone. The reason is reported once per file and run through the error handler.
  bool Unreadable() const { return FUnreadable; }
  const std::string& FileName() const { return FFileName; }

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(const std::string& section) const;

  // Reading a missing key, or a value that is not of the asked type, gives the default.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  double ReadFloat(const std::string& section, const std::string& key, double def) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void WriteFloat(const std::string& section, const std::string& key, double value);
  void DeleteKey(const std::string& section, const std::string& key);
  // Removes the section's entries (the section stays, empty, so that it still exists).
  void EraseSection(const std::string& section);
  void DeleteSection(const std::string& section);

  // Writes the document to its file atomically (nothing for an unreadable file). Raises
  // EFileError when the file cannot be written.
  void Save();

  // The document as text (what Save writes), and parsing from text.
  std::string Text() const;
  void ParseText(const std::string& text);

private:
  struct TLine {
    bool entry = false;  // key=value, or a line kept verbatim
    std::string key;
    std::string value;
    std::string raw;
  };
  struct TSection {
    std::string name;  // "" for the values before the first section
    std::vector<TLine> lines;
  };
  TSettingsStore(TKind kind, std::string fileName) : FKind(kind), FFileName(std::move(fileName)) {}
  void Load();
  TSection* FindSection(const std::string& name);
  const TSection* FindSection(const std::string& name) const;
  TSection& AddSection(const std::string& name);
  const TLine* FindEntry(const std::string& section, const std::string& key) const;

  TKind FKind;
  std::string FFileName;
  bool FUnreadable = false;
  std::vector<TSection> FSections;
};

// Receives problems with settings files that are reported once (an unreadable file); the
// window layer shows them in a message box. The default writes them to standard error.
using TSettingsErrorHandler = std::function<void(const std::string& message)>;
void SetSettingsErrorHandler(TSettingsErrorHandler handler);

class TBaseOption : public TDataItem {
public:
  std::string Section;

  void CreateFields() override;

  virtual void ReadSection(TSettingsStore& /*store*/, const std::string& /*section*/) {}
  virtual void WriteSection(TSettingsStore& /*store*/, const std::string& /*section*/) {}
  // Loading: when the section exists, all fields go to their defaults and are read from it;
  // the result tells whether it existed (otherwise the fields keep their values).
  virtual bool LoadFromFile(const std::string& fileName, const std::string& section);
  virtual bool LoadFromRegistry(const std::string& appKey, const std::string& section);
  // Saving erases the whole section, then writes the values that differ from their defaults.
  virtual void SaveToRegistry(const std::string& appKey, const std::string& section);
  virtual void SaveToFile(const std::string& fileName, const std::string& section);

  bool LoadFromStore(TSettingsStore& store, const std::string& section);
  void SaveToStore(TSettingsStore& store, const std::string& section);

protected:
  const std::string& SectionOr(const std::string& section) const { return section.empty() ? Section : section; }
};

}  // namespace kaede
