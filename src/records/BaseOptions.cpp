#include "BaseOptions.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

#include "AppPaths.h"
#include "CommaText.h"
#include "Files.h"
#include "Strs.h"

#include "VerInfos.h"

namespace kaede {

std::string DefaultAppKey() { return TVerInfo::InternalName(); }

namespace {

TSettingsErrorHandler& ErrorHandler() {
  static TSettingsErrorHandler handler = [](const std::string& message) {
    std::string u = "KaedeAddress: " + SjisToUtf8(message) + "\n";
    std::fwrite(u.data(), 1, u.size(), stderr);
  };
  return handler;
}

void ReportOnce(const std::string& fileName, const std::string& message) {
  static std::set<std::string> reported;
  if (!reported.insert(fileName).second) return;
  if (ErrorHandler()) ErrorHandler()(message);
}

// Keys and section names compare without regard to the case of ASCII letters; double-byte
// characters compare exactly (their trail bytes are never case-folded).
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t len = CharLenAt(a, i);
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else {
      char x = a[i], y = b[i];
      if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
      if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
      if (x != y) return false;
    }
    i += len;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  return s.substr(a, b - a);
}


bool ParseInt(const std::string& text, int& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  bool neg = false;
  size_t i = 0;
  if (t[0] == '-' || t[0] == '+') {
    neg = t[0] == '-';
    i = 1;
  }
  int base = 10;
  if (t.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  } else if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return false;
  long long v = 0;
  auto r = std::from_chars(t.data() + i, t.data() + t.size(), v, base);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  if (neg) v = -v;
  if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return false;
  out = static_cast<int>(static_cast<int32_t>(v));
  return true;
}

}  // namespace

void SetSettingsErrorHandler(TSettingsErrorHandler handler) { ErrorHandler() = std::move(handler); }

// ---- TSettingsStore ------------------------------------------------------------------------

std::string TSettingsStore::RegistryFileName(const std::string& appKey) {
  return SettingsFileName(appKey.empty() ? DefaultAppKey() : appKey);
}

std::unique_ptr<TSettingsStore> TSettingsStore::OpenRegistry(const std::string& appKey) {
  std::unique_ptr<TSettingsStore> s(new TSettingsStore(skRegistry, RegistryFileName(appKey)));
  s->Load();
  return s;
}

std::unique_ptr<TSettingsStore> TSettingsStore::OpenFile(const std::string& fileName) {
  std::unique_ptr<TSettingsStore> s(new TSettingsStore(skIniFile, fileName));
  s->Load();
  return s;
}

std::unique_ptr<TSettingsStore> TSettingsStore::ReadFile(const std::string& fileName, int64_t maxSize) {
  std::unique_ptr<TSettingsStore> s(new TSettingsStore(skIniFile, fileName));
  s->ParseText(ReadRegularFileBytes(fileName, maxSize));
  return s;
}

void TSettingsStore::Load() {
  FSections.clear();
  FUnreadable = false;
  if (!FileExists(FFileName) && !DirectoryExists(FFileName)) return;
  try {
    ParseText(ReadFileBytes(FFileName));
  } catch (const Exception& e) {
    FUnreadable = true;
    ReportOnce(FFileName, std::string(e.what()) + SJ("（設定を読み込めないため、このファイルには保存しません）"));
  }
}

void TSettingsStore::ParseText(const std::string& text) {
  FSections.clear();
  TSection* cur = &AddSection("");
  for (const std::string& raw : SplitLinesKeepingZeros(text)) {
    std::string t = Trim(raw);
    if (t.size() >= 2 && t[0] == '[') {
      size_t close = t.find(']');
      if (close != std::string::npos) {
        std::string name = Trim(t.substr(1, close - 1));
        cur = FindSection(name);
        if (!cur) cur = &AddSection(name);
        continue;
      }
    }
    TLine line;
    line.raw = raw;
    size_t eq = t.find('=');  // "=" is never a trail byte
    if (!t.empty() && t[0] != ';' && t[0] != '#' && eq != std::string::npos && eq > 0) {
      line.entry = true;
      line.key = Trim(t.substr(0, eq));
      std::string v = Trim(t.substr(eq + 1));
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      if (FKind == skRegistry) {
        std::string u;
        for (size_t i = 0; i < v.size(); ++i) {
          size_t len = CharLenAt(v, i);
          if (len == 1 && v[i] == '\\' && i + 1 < v.size()) {
            char c = v[i + 1];
            if (c == 'n' || c == 'r' || c == '\\') {
              u += c == 'n' ? '\n' : c == 'r' ? '\r' : '\\';
              ++i;
              continue;
            }
          }
          u.append(v, i, len);
          i += len - 1;
        }
        v = u;
      }
      line.value = v;
    }
    cur->lines.push_back(std::move(line));
  }
}

std::string TSettingsStore::Text() const {
  auto encode = [&](const std::string& v) {
    std::string r;
    for (size_t i = 0; i < v.size(); ++i) {
      size_t len = CharLenAt(v, i);
      char c = v[i];
      if (len == 1 && (c == '\r' || c == '\n' || (c == '\\' && FKind == skRegistry))) {
        if (FKind == skRegistry) r += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\\\";
        else r += ' ';  // an ini file holds one line per value
        continue;
      }
      r.append(v, i, len);
      i += len - 1;
    }
    bool padded = !r.empty() && (r.front() == ' ' || r.front() == '\t' || r.back() == ' ' || r.back() == '\t');
    bool quoted = r.size() >= 2 && r.front() == '"' && r.back() == '"';
    if (padded || quoted) r = "\"" + r + "\"";
    return r;
  };
  std::string out;
  bool first = true;
  for (const TSection& s : FSections) {
    // trailing blank lines are dropped and one blank line separates sections, so that
    // saving again never grows the file
    size_t n = s.lines.size();
    while (n > 0 && !s.lines[n - 1].entry && Trim(s.lines[n - 1].raw).empty()) --n;
    if (s.name.empty() && n == 0) continue;
    if (!first) out += "\r\n";
    first = false;
    if (!s.name.empty()) out += "[" + s.name + "]\r\n";
    for (size_t i = 0; i < n; ++i) {
      const TLine& l = s.lines[i];
      out += l.entry ? l.key + "=" + encode(l.value) : l.raw;
      out += "\r\n";
    }
  }
  return out;
}

void TSettingsStore::Save() {
  if (FUnreadable) return;
  std::string os = OsPath(FFileName);
  size_t slash = os.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    // create the missing folders of the path, private to the user
    std::string dir = os.substr(0, slash);
    for (size_t p = 1; p <= dir.size(); ++p) {
      if (p == dir.size() || dir[p] == '/') ::mkdir(dir.substr(0, p).c_str(), 0700);
    }
  }
  WriteFileAtomic(FFileName, Text());
}

TSettingsStore::TSection* TSettingsStore::FindSection(const std::string& name) {
  for (TSection& s : FSections)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

const TSettingsStore::TSection* TSettingsStore::FindSection(const std::string& name) const {
  for (const TSection& s : FSections)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

TSettingsStore::TSection& TSettingsStore::AddSection(const std::string& name) {
  FSections.push_back(TSection{name, {}});
  return FSections.back();
}

const TSettingsStore::TLine* TSettingsStore::FindEntry(const std::string& section, const std::string& key) const {
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const TLine& l : s->lines)
    if (l.entry && SameName(l.key, key)) return &l;
  return nullptr;
}

bool TSettingsStore::SectionExists(const std::string& section) const {
  const TSection* s = FindSection(section);
  return s && (!section.empty() || !s->lines.empty());
}

bool TSettingsStore::ValueExists(const std::string& section, const std::string& key) const {
  return FindEntry(section, key) != nullptr;
}

std::vector<std::string> TSettingsStore::Sections() const {
  std::vector<std::string> r;
  for (const TSection& s : FSections)
    if (!s.name.empty()) r.push_back(s.name);
  return r;
}

std::vector<std::string> TSettingsStore::Keys(const std::string& section) const {
  std::vector<std::string> r;
  if (const TSection* s = FindSection(section))
    for (const TLine& l : s->lines)
      if (l.entry) r.push_back(l.key);
  return r;
}

std::string TSettingsStore::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const TLine* l = FindEntry(section, key);
  return l ? l->value : def;
}

int TSettingsStore::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const TLine* l = FindEntry(section, key);
  int v;
  return l && ParseInt(l->value, v) ? v : def;
}

bool TSettingsStore::ReadBool(const std::string& section, const std::string& key, bool def) const {
  const TLine* l = FindEntry(section, key);
  if (!l) return def;
  int v;
  if (ParseInt(l->value, v)) return v != 0;
  std::string t = ConvertStr(Trim(l->value), cvLower);
  if (t == "true") return true;
  if (t == "false") return false;
  return def;
}

double TSettingsStore::ReadFloat(const std::string& section, const std::string& key, double def) const {
  const TLine* l = FindEntry(section, key);
  if (!l) return def;
  try {
    return StrToFloatStrict(l->value);
  } catch (const Exception&) {
    return def;
  }
}

void TSettingsStore::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  TSection* s = FindSection(section);
  if (!s) s = &AddSection(section);
  for (TLine& l : s->lines) {
    if (l.entry && SameName(l.key, key)) {
      l.value = value;
      return;
    }
  }
  TLine line;
  line.entry = true;
  line.key = key;
  line.value = value;
  // a new entry goes after the section's last entry, before trailing comments and blanks
  size_t at = s->lines.size();
  while (at > 0 && !s->lines[at - 1].entry) --at;
  s->lines.insert(s->lines.begin() + static_cast<long>(at), std::move(line));
}

void TSettingsStore::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TSettingsStore::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TSettingsStore::WriteFloat(const std::string& section, const std::string& key, double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  WriteString(section, key, std::string(buf, r.ptr));
}

void TSettingsStore::DeleteKey(const std::string& section, const std::string& key) {
  TSection* s = FindSection(section);
  if (!s) return;
  for (size_t i = 0; i < s->lines.size(); ++i) {
    if (s->lines[i].entry && SameName(s->lines[i].key, key)) {
      s->lines.erase(s->lines.begin() + static_cast<long>(i));
      return;
    }
  }
}

void TSettingsStore::EraseSection(const std::string& section) {
  TSection* s = FindSection(section);
  if (s) s->lines.clear();
  else AddSection(section);
}

void TSettingsStore::DeleteSection(const std::string& section) {
  for (size_t i = 0; i < FSections.size(); ++i) {
    if (!FSections[i].name.empty() && SameName(FSections[i].name, section)) {
      FSections.erase(FSections.begin() + static_cast<long>(i));
      return;
    }
  }
}

// ---- TBaseOption ---------------------------------------------------------------------------

void TBaseOption::CreateFields() { Section = "Option"; }

bool TBaseOption::LoadFromStore(TSettingsStore& store, const std::string& section) {
  const std::string& name = SectionOr(section);
  bool exists = store.SectionExists(name);
  BeginUpdate();
  try {
    if (exists) {
      Clear();
      ReadSection(store, name);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return exists;
}

void TBaseOption::SaveToStore(TSettingsStore& store, const std::string& section) {
  const std::string& name = SectionOr(section);
  store.EraseSection(name);
  WriteSection(store, name);
}

bool TBaseOption::LoadFromFile(const std::string& fileName, const std::string& section) {
  auto store = TSettingsStore::OpenFile(fileName);
  return LoadFromStore(*store, section);
}

bool TBaseOption::LoadFromRegistry(const std::string& appKey, const std::string& section) {
  auto store = TSettingsStore::OpenRegistry(appKey);
  return LoadFromStore(*store, section);
}

void TBaseOption::SaveToRegistry(const std::string& appKey, const std::string& section) {
  auto store = TSettingsStore::OpenRegistry(appKey);
  SaveToStore(*store, section);
  store->Save();
}

void TBaseOption::SaveToFile(const std::string& fileName, const std::string& section) {
  auto store = TSettingsStore::OpenFile(fileName);
  SaveToStore(*store, section);
  store->Save();
}

}  // namespace kaede
