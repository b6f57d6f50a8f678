#include "Archives.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "AppPaths.h"
#include "Files.h"

namespace kaede {

// ---- Command lines -------------------------------------------------------------------------

namespace {

// The switches in the order the command line lists them.
struct TSwitch {
  const char* Name;
  int TArchiverOptions::*Int;
  std::string TArchiverOptions::*Text;
  TStrings TArchiverOptions::*List;
};

#define KAEDE_INT(n) TSwitch{#n, &TArchiverOptions::n, nullptr, nullptr}
#define KAEDE_TEXT(n) TSwitch{#n, nullptr, &TArchiverOptions::n, nullptr}
const TSwitch kSwitches[] = {
    KAEDE_INT(a),   KAEDE_INT(c),   KAEDE_INT(e),    KAEDE_INT(f),   KAEDE_INT(h),   KAEDE_INT(i),   KAEDE_INT(l),
    KAEDE_INT(m),   KAEDE_INT(n),   KAEDE_INT(o),    KAEDE_INT(p),   KAEDE_INT(r),   KAEDE_INT(s),   KAEDE_INT(t),
    KAEDE_INT(u),   KAEDE_TEXT(w),  KAEDE_INT(x),    KAEDE_INT(y),   KAEDE_INT(z),   KAEDE_INT(jc),  KAEDE_INT(jd),
    KAEDE_INT(je),  KAEDE_INT(jf),  KAEDE_INT(jh),   KAEDE_INT(ji),  KAEDE_INT(jm),  KAEDE_INT(jn),  KAEDE_TEXT(jo),
    KAEDE_TEXT(job), KAEDE_INT(jp), KAEDE_INT(jr),   KAEDE_INT(jsb), KAEDE_INT(jsc), KAEDE_INT(jsd), KAEDE_INT(jse),
    KAEDE_INT(jsf), KAEDE_INT(jsl), KAEDE_INT(jso),  KAEDE_INT(jss), KAEDE_INT(jst), KAEDE_INT(jsv), KAEDE_INT(jsz),
    KAEDE_INT(jw),  TSwitch{"jx", nullptr, nullptr, &TArchiverOptions::jx},  KAEDE_INT(jyc), KAEDE_INT(jyd),
    KAEDE_INT(jyk), KAEDE_INT(jyn), KAEDE_INT(jyo),  KAEDE_TEXT(jz), KAEDE_INT(ga),  KAEDE_INT(gd),  KAEDE_INT(ge),
    KAEDE_INT(gf),  KAEDE_INT(gj),  KAEDE_INT(gm),   KAEDE_INT(gn),  KAEDE_INT(go),  KAEDE_INT(gp),  KAEDE_TEXT(gr),
    KAEDE_INT(gs),  KAEDE_INT(gu),  KAEDE_INT(gw),   KAEDE_INT(gya), KAEDE_INT(gyc), KAEDE_TEXT(gyd), KAEDE_TEXT(gye),
    KAEDE_INT(gyo), KAEDE_INT(gyq), KAEDE_INT(gys),  KAEDE_TEXT(gyt), KAEDE_TEXT(gyw), KAEDE_INT(gyx),
};
#undef KAEDE_INT
#undef KAEDE_TEXT

[[noreturn]] void NotSupported(const char* utf8Message) { throw EArchiver(Utf8ToSjisLiteral(utf8Message)); }

}  // namespace

void TArchiver::AddSwitches(TCmdOpt& cmd, const TArchiverOptions& options, bool ownerWindow) {
  for (const TSwitch& s : kSwitches) {
    if (s.Int) {
      int v = options.*s.Int;
      if (ownerWindow && s.Int == &TArchiverOptions::n) v = 1;
      if (v >= 0) cmd.Add(std::string("-") + s.Name + std::to_string(v));
    } else if (s.Text) {
      std::string v = options.*s.Text;
      if (v.empty()) continue;
      if (s.Text == &TArchiverOptions::w) v = IncludeTrailingDelimiter(v);
      cmd.Add("\"-" + std::string(s.Name) + v + "\"");
    } else {
      for (const std::string& v : options.*s.List)
        if (!v.empty()) cmd.Add("\"-" + std::string(s.Name) + v + "\"");
    }
  }
}

void TArchiver::AddTail(TCmdOpt& cmd, const TArchiverOptions& options, const std::string& archive,
                        const TStrings& members, const std::string& folder) {
  if (!options.UserOptions.empty()) cmd.Add(options.UserOptions);
  cmd.AddQuoted(archive);
  cmd.AddQuoted(IncludeTrailingDelimiter(folder));
  for (const std::string& m : members) cmd.AddQuoted(m);
  if (!options.UserFileList.empty()) cmd.Add(options.UserFileList);
}

std::string TArchiver::BuildExtractCommand(const TArchiverOptions& options, const std::string& archive,
                                           const TStrings& members, const std::string& folder, bool ownerWindow) const {
  TCmdOpt cmd;
  AddSwitches(cmd, options, ownerWindow);
  AddTail(cmd, options, archive, members, folder);
  return "x" + cmd.Text();
}

std::string TLha32::BuildExtractCommand(const TArchiverOptions& options, const std::string& archive,
                                        const TStrings& members, const std::string& folder, bool ownerWindow) const {
  TCmdOpt cmd;
  cmd.Add("-+");
  if (options.jse == -1) throw EAssertionFailed(SJ("jse オプションが設定されていません。"));
  if (options.jso == -1) throw EAssertionFailed(SJ("jso オプションが設定されていません。"));
  AddSwitches(cmd, options, ownerWindow);
  AddTail(cmd, options, archive, members, folder);
  return "x" + cmd.Text();
}

std::string TArchiver::BuildPackCommand() const { NotSupported("この形式では書庫ファイルの作成をサポートしておりません。"); }
std::string TArchiver::BuildDeleteCommand() const { NotSupported("この形式の書庫ではファイルの削除をサポートしておりません。"); }
std::string TArchiver::BuildUpdateCommand() const { NotSupported("この形式の書庫では書庫の更新をサポートしておりません。"); }
std::string TArchiver::BuildSfxCommand() const { NotSupported("この形式では自己解凍書庫の作成をサポートしておりません。"); }
std::string TArchiver::BuildMemoryExtractCommand() const { NotSupported("この形式ではメモリ展開をサポートしておりません。"); }

std::string TZip32::BuildPackCommand() const {
  throw ENoArchiverDLL(SJ("ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。"));
}

// ---- Libraries -----------------------------------------------------------------------------

namespace {

// Enables the readers of a format; false when libarchive has none for it.
bool EnableFormats(archive* a, TArchiverType kind, bool withRaw) {
  auto ok = [](int r) { return r == ARCHIVE_OK || r == ARCHIVE_WARN; };
  switch (kind) {
    case atLha:
      if (!ok(archive_read_support_format_lha(a))) return false;
      archive_read_set_format_option(a, "lha", "hdrcharset", "CP932");
      return true;
    case atZip:
      if (!ok(archive_read_support_format_zip(a))) return false;
      archive_read_set_format_option(a, "zip", "hdrcharset", "CP932");
      return true;
    case atCab:
      return ok(archive_read_support_format_cab(a));
    case atTar:
    case atTgz:
    case atBZ2:
      archive_read_support_filter_all(a);
      if (!ok(archive_read_support_format_tar(a)) || !ok(archive_read_support_format_cpio(a))) return false;
      if (kind == atTar) return ok(archive_read_support_format_ar(a));
      return !withRaw || ok(archive_read_support_format_raw(a));
    case atRar:
      return ok(archive_read_support_format_rar(a)) && ok(archive_read_support_format_rar5(a));
    case at7z:
      return ok(archive_read_support_format_7zip(a));
    default:
      return false;
  }
}

// Makes libarchive give member names as UTF-8 on this thread, whatever the process locale.
class TUtf8Names {
public:
  TUtf8Names() {
    static locale_t utf8 = [] {
      locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
      if (!l) l = ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", locale_t(0));
      return l;
    }();
    if (utf8) FOld = ::uselocale(utf8);
  }
  ~TUtf8Names() {
    if (FOld) ::uselocale(FOld);
  }
  TUtf8Names(const TUtf8Names&) = delete;
  TUtf8Names& operator=(const TUtf8Names&) = delete;

private:
  locale_t FOld = locale_t(0);
};

struct TArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
using TReader = std::unique_ptr<archive, TArchiveCloser>;

struct TDiskCloser {
  void operator()(archive* a) const { archive_write_free(a); }
};
using TDiskWriter = std::unique_ptr<archive, TDiskCloser>;

TReader OpenReader(TArchiverType kind, const std::string& fileName, bool withRaw) {
  TReader a(archive_read_new());
  if (!a || !EnableFormats(a.get(), kind, withRaw)) return nullptr;
  if (archive_read_open_filename(a.get(), OsPath(fileName).c_str(), 1 << 16) != ARCHIVE_OK) return nullptr;
  return a;
}

// The member's name made relative, with "/" between folders and without "." parts; false
// when it must not be written: empty, absolute (also "\" and drive letters), or with "..".
bool SafeRelativePath(std::string name, std::string& out) {
  out.clear();
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.empty() || name[0] == '/' || (name.size() >= 2 && name[1] == ':')) return false;
  size_t i = 0;
  while (i <= name.size()) {
    size_t j = name.find('/', i);
    if (j == std::string::npos) j = name.size();
    std::string part = name.substr(i, j - i);
    if (part == "..") return false;
    if (!part.empty() && part != ".") out += (out.empty() ? "" : "/") + part;
    i = j + 1;
  }
  return !out.empty();
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x < 0x80 && y < 0x80 ? std::tolower(x) != std::tolower(y) : x != y) return false;
  }
  return true;
}

// The name that libarchive's raw reader gives no name to: the archive's name without its
// compression extension.
std::string RawMemberName(const std::string& archiveUtf8) {
  std::string base = archiveUtf8.substr(archiveUtf8.rfind('/') + 1);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base + ".out" : base.substr(0, dot);
}

class TExtraction {
public:
  TExtraction(const TExtractRequest& request, std::string& log, std::string* failure)
      : R(request), FLog(log), FFailure(failure) {}

  int Run() {
    TUtf8Names names;
    TReader in = OpenReader(R.Kind, R.ArchiveName, true);
    if (!in) return Note(arcCannotOpen, R.ArchiveName, SJ("書庫として開けません（形式が違うか、壊れています）"));
    std::error_code ec;
    std::filesystem::create_directories(OsPath(R.Folder), ec);
    char resolved[PATH_MAX];
    if (!::realpath(OsPath(R.Folder).c_str(), resolved)) return Note(arcWriteError, R.Folder, SJ("フォルダを開けません"));
    FRoot = resolved;
    TDiskWriter out(archive_write_disk_new());
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                  ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_UNLINK);
    std::vector<bool> found(R.Members.size(), false);
    for (;;) {
      archive_entry* entry = nullptr;
      int r = archive_read_next_header(in.get(), &entry);
      if (r == ARCHIVE_EOF) break;
      if (r < ARCHIVE_WARN) return ReadError(in.get(), R.ArchiveName);
      int step = Member(in.get(), out.get(), entry, found);
      if (step == arcReadError || step == arcAborted) return step;
      if (step != arcSuccess && FResult == arcSuccess) FResult = step;
    }
    if (archive_write_close(out.get()) != ARCHIVE_OK && FResult == arcSuccess)
      FResult = Note(arcWriteError, R.Folder, archive_error_string(out.get()));
    for (size_t i = 0; i < found.size(); ++i)
      if (!found[i]) {
        Note(arcMemberNotFound, R.Members[i], SJ("書庫にありません"));
        if (FResult == arcSuccess) FResult = arcMemberNotFound;
      }
    return FResult;
  }

private:
  int Note(int code, const std::string& name, const char* reasonUtf8) {
    return Note(code, name, FromOsPath(reasonUtf8 ? reasonUtf8 : "?"));
  }
  int Note(int code, const std::string& name, const std::string& reason) {
    FLog += name + ": " + reason + "\r\n";
    // the first failure is what the caller tells the user
    if (code != arcSuccess && FFailure && FFailure->empty()) *FFailure = name + ": " + reason;
    return code;
  }
  // A read error of libarchive, told as a cut-short archive where it is one: the reader says
  // so, or it failed with the whole file consumed.
  int ReadError(archive* in, const std::string& name) {
    const char* why = archive_error_string(in);
    std::string reason = why ? why : "?";
    struct stat st;
    bool atEnd = ::stat(OsPath(R.ArchiveName).c_str(), &st) == 0 && archive_filter_bytes(in, -1) >= st.st_size;
    bool checksum = reason.find("CRC") != std::string::npos || reason.find("crc") != std::string::npos;
    bool truncated = (atEnd && !checksum) || reason.find("runcated") != std::string::npos ||
                     reason.find("remature") != std::string::npos;
    return Note(arcReadError, name,
                (truncated ? SJ("書庫が途中で切れています") : SJ("書庫が壊れています")) + " (" + FromOsPath(reason) + ")");
  }
  std::string TooLargeReason() const {
    return SJ("展開後の大きさが上限（") + std::to_string(R.MaxMemberSize) + SJ("バイト）を超えるため展開しません");
  }

  // Extracts one member when it is wanted and safe.
  int Member(archive* in, archive* out, archive_entry* entry, std::vector<bool>& found) {
    const char* raw = archive_entry_pathname_utf8(entry);
    if (!raw) raw = archive_entry_pathname(entry);
    std::string utf8 = raw ? raw : "";
    if (archive_format(in) == ARCHIVE_FORMAT_RAW) utf8 = RawMemberName(OsPath(R.ArchiveName));
    TMemberInfo info;
    info.Name = FromOsPath(utf8);
    info.OriginalSize = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
    mode_t type = archive_entry_filetype(entry);
    info.IsFolder = type == AE_IFDIR;
    info.IsLink = type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr;
    bool abort = false;
    if (R.OnEnumMember) R.OnEnumMember(R.Sender, info, abort);
    if (abort) return Note(arcAborted, info.Name, SJ("中止しました"));

    std::string rel;
    bool safe = SafeRelativePath(utf8, rel);
    if (!R.Members.empty()) {
      bool wanted = false;
      for (size_t i = 0; i < R.Members.size(); ++i) {
        std::string m;
        if (!SafeRelativePath(OsPath(R.Members[i]), m)) continue;
        if (safe && SameNameIgnoringCase(m, rel)) {
          wanted = true;
          found[i] = true;
        } else if (!safe && SameNameIgnoringCase(m, utf8.substr(utf8.find_last_of("/\\") + 1))) {
          // a wanted name that leads out of the folder ("../KEN_ALL.CSV") is told as such
          wanted = true;
        }
      }
      if (!wanted) return arcSuccess;
    }
    if (!safe) return Note(arcUnsafeMember, info.Name, SJ("書庫の外を指す名前は展開しません"));
    if (info.IsLink || (type != AE_IFREG && type != AE_IFDIR))
      return Note(arcUnsafeMember, info.Name, SJ("リンクや特殊ファイルは展開しません"));
    if (info.OriginalSize > R.MaxMemberSize) return Note(arcTooLarge, info.Name, TooLargeReason());

    std::string target = FRoot + "/" + rel;
    archive_entry_set_pathname(entry, target.c_str());
    archive_entry_set_perm(entry, info.IsFolder ? 0755 : 0644);
    if (archive_write_header(out, entry) != ARCHIVE_OK)
      return Note(arcWriteError, info.Name, archive_error_string(out));
    if (info.IsFolder) return arcSuccess;

    TExtractingInfo progress{R.ArchiveName, info.Name, FromOsPath(target), info.OriginalSize, 0};
    auto report = [&](int state) {
      bool stop = false;
      if (R.OnProgress) R.OnProgress(R.Sender, state, progress, stop);
      return stop;
    };
    auto discard = [&](int code, const std::string& reason) {
      archive_write_finish_entry(out);
      ::unlink(target.c_str());
      return Note(code, info.Name, reason);
    };
    if (report(0)) return discard(arcAborted, SJ("中止しました"));
    for (;;) {
      const void* buf;
      size_t size;
      la_int64_t offset;
      int r = archive_read_data_block(in, &buf, &size, &offset);
      if (r == ARCHIVE_EOF) break;
      if (r < ARCHIVE_OK) {
        archive_write_finish_entry(out);
        ::unlink(target.c_str());
        return ReadError(in, info.Name);
      }
      if (offset + static_cast<la_int64_t>(size) > R.MaxMemberSize) return discard(arcTooLarge, TooLargeReason());
      if (archive_write_data_block(out, buf, size, offset) != ARCHIVE_OK) {
        const char* why = archive_error_string(out);
        return discard(arcWriteError, FromOsPath(why ? why : "?"));
      }
      progress.WriteSize = offset + static_cast<la_int64_t>(size);
      if (report(1)) return discard(arcAborted, SJ("中止しました"));
    }
    if (archive_write_finish_entry(out) != ARCHIVE_OK) {
      const char* why = archive_error_string(out);
      ::unlink(target.c_str());
      return Note(arcWriteError, info.Name, FromOsPath(why ? why : "?"));
    }
    FLog += info.Name + "\r\n";
    if (report(2)) return Note(arcAborted, info.Name, SJ("中止しました"));
    return arcSuccess;
  }

  const TExtractRequest& R;
  std::string& FLog;
  std::string* FFailure;
  std::string FRoot;
  int FResult = arcSuccess;
};

}  // namespace

bool TArchiverDll::Available() const {
  TReader a(archive_read_new());
  return a && EnableFormats(a.get(), FKind, false);
}

void TArchiverDll::Load() const {
  if (!Available()) throw ENoArchiverDLL(FDisplayName + SJ(" を扱うには ") + FLibraryFile + SJ(" が 必要です。"));
}

int TArchiver::Extract(const std::string& command, const TExtractRequest& request, std::string& output,
                       std::string* failure) const {
  output = command + "\r\n";
  return TExtraction(request, output, failure).Run();
}

bool TArchiver::CheckArchive(const std::string& fileName) const {
  if (!Dll().Available()) return false;
  TUtf8Names names;
  TReader a = OpenReader(Dll().Kind(), fileName, false);
  archive_entry* entry;
  return a && archive_read_next_header(a.get(), &entry) >= ARCHIVE_WARN;
}

// ---- Formats -------------------------------------------------------------------------------

#define KAEDE_DLL(cls, display, file, prefix, kind)       \
  const TArchiverDll& cls::Dll() const {                  \
    static const TArchiverDll dll(display, file, prefix, kind); \
    return dll;                                           \
  }
KAEDE_DLL(TLha32, SJ("LHA 形式書庫"), "UNLHA32.DLL", "Unlha", atLha)
KAEDE_DLL(TArj32, SJ("ARJ 形式書庫"), "UNARJ32J.DLL", "Unarj", atArj)
KAEDE_DLL(TZip32, SJ("ZIP 形式書庫"), "UNZIP32.DLL", "UnZip", atZip)
KAEDE_DLL(TCab32, SJ("CAB 形式書庫"), "CAB32.DLL", "Cab", atCab)
KAEDE_DLL(TTar32, SJ("tar/tgz/taz/bz2 形式書庫"), "TAR32.DLL", "Tar", atTar)
KAEDE_DLL(TTgz32, SJ("tar/tgz/taz/bz2 形式書庫"), "TAR32.DLL", "Tar", atTgz)
KAEDE_DLL(TBZ232, SJ("tar/tgz/taz/bz2 形式書庫"), "TAR32.DLL", "Tar", atBZ2)
KAEDE_DLL(TRar32, SJ("RAR 形式書庫"), "UNRAR32.DLL", "Unrar", atRar)
KAEDE_DLL(TBGA32, SJ("BGA 形式書庫"), "BGA32.DLL", "Bga", atBga)
KAEDE_DLL(TYZ1, SJ("YZ1 形式書庫"), "YZ1.DLL", "Yz1", atYz1)
KAEDE_DLL(TSevenZip32, SJ("7z 形式書庫"), "7-zip32.dll", "SevenZip", at7z)
#undef KAEDE_DLL

std::unique_ptr<TArchiver> CreateArchiver(TArchiverType type) {
  switch (type) {
    case atLha: return std::make_unique<TLha32>();
    case atZip: return std::make_unique<TZip32>();
    case atCab: return std::make_unique<TCab32>();
    case atArj: return std::make_unique<TArj32>();
    case atTar: return std::make_unique<TTar32>();
    case atTgz: return std::make_unique<TTgz32>();
    case atBZ2: return std::make_unique<TBZ232>();
    case atRar: return std::make_unique<TRar32>();
    case atBga: return std::make_unique<TBGA32>();
    case atYz1: return std::make_unique<TYZ1>();
    case at7z: return std::make_unique<TSevenZip32>();
    default: return nullptr;
  }
}

TArchiverType ArchiverTypeOfName(const std::string& fileName) {
  std::string base = fileName.substr(fileName.find_last_of('/') == std::string::npos ? 0 : fileName.find_last_of('/') + 1);
  size_t dot = base.rfind('.');
  if (dot == std::string::npos) return atNone;
  std::string ext = base.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  static const std::pair<const char*, TArchiverType> kTable[] = {
      {".lzh", atLha}, {".cab", atCab}, {".zip", atZip}, {".jar", atZip}, {".ear", atZip}, {".war", atZip},
      {".arj", atArj}, {".rar", atRar}, {".yz1", atYz1}, {".gca", atGCA}, {".gza", atBga}, {".bza", atBga},
      {".bz2", atBZ2}, {".a", atTar},   {".lib", atTar}, {".tar", atTar}, {".deb", atTar}, {".rpm", atTar},
      {".cpio", atTar}, {".z", atTgz},  {".gz", atTgz},  {".tgz", atTgz}, {".taz", atTgz}, {".7z", at7z},
  };
  for (const auto& [e, type] : kTable)
    if (ext == e) return type;
  if (ext == ".exe") {
    for (TArchiverType t : {atLha, atCab, atYz1, atBga, atZip, atArj, atRar, atTar})
      if (CreateArchiver(t)->CheckArchive(fileName)) return t;
  }
  return atNone;
}

TArchiverType SniffArchiverType(std::string_view head) {
  if (head.size() >= 2 && head[0] == 'P' && head[1] == 'K') return atZip;
  if (head.size() >= 7 && head[2] == '-' && head[3] == 'l' && (head[4] == 'h' || head[4] == 'z') && head[6] == '-')
    return atLha;
  return atNone;
}

TArchiverType SniffArchiverFile(const std::string& fileName) {
  std::FILE* f = std::fopen(OsPath(fileName).c_str(), "rb");
  if (!f) return atNone;
  char head[8];
  size_t n = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return SniffArchiverType(std::string_view(head, n));
}

// ---- TArchiveFile --------------------------------------------------------------------------

void TArchiveFile::SetFileName(const std::string& fileName) {
  FFileName = fileName;
  FType = ArchiverTypeOfName(fileName);
  FArchiver = CreateArchiver(FType);
}

void TArchiveFile::SetArchiverType(TArchiverType type) {
  if (type == atAutoDetect) {
    SetFileName(FFileName);
    return;
  }
  if (type == atNone) {
    FType = atNone;
    FArchiver.reset();
    return;
  }
  std::unique_ptr<TArchiver> archiver = CreateArchiver(type);
  if (!archiver) throw EArchiver(SJ("書庫の形式を特定できませんでした。"));
  FType = type;
  FArchiver = std::move(archiver);
}

TArchiver& TArchiveFile::RequireArchiver() const {
  if (!FArchiver) throw EArchiver(SJ("書庫の形式を判別できません。"));
  return *FArchiver;
}

int TArchiveFile::Extract([[maybe_unused]] void* ownerWindow, const TArchiverOptions& options, const TStrings& members,
                          const std::string& folder) {
  TArchiver& archiver = RequireArchiver();
  // With a progress handler the library reports to a window of ours, which makes n 1.
  FLastCommand = archiver.BuildExtractCommand(options, FFileName, members, folder, OnProgress != nullptr);
  archiver.Dll().Load();
  TExtractRequest request{FFileName, folder, members, FType, MaxMemberSize, this, OnProgress, OnEnumMember};
  std::string output;
  FFailure.clear();
  int result = archiver.Extract(FLastCommand, request, output, &FFailure);
  // The output is cut to the buffer (one byte stays for its end), never inside a character.
  size_t keep = OutputSize > 0 ? static_cast<size_t>(OutputSize - 1) : 0;
  if (keep < output.size() && IsTrailBytePos(output, keep + 1)) --keep;
  FOutput = output.substr(0, keep);
  return result;
}

int TArchiveFile::Pack() { return (RequireArchiver().BuildPackCommand(), 0); }
int TArchiveFile::Delete() { return (RequireArchiver().BuildDeleteCommand(), 0); }
int TArchiveFile::Update() { return (RequireArchiver().BuildUpdateCommand(), 0); }
int TArchiveFile::MakeSfx() { return (RequireArchiver().BuildSfxCommand(), 0); }
int TArchiveFile::ExtractMem() { return (RequireArchiver().BuildMemoryExtractCommand(), 0); }

}  // namespace kaede
