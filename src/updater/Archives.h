#pragma once
// Archive files behind one component. TArchiveFile chooses an archiver class by the file's
// format; the archiver builds the command line of the format's archive library from the
// options and hands the work to that library. Here the libraries' work is done in-process by
// libarchive: LHA (with CP932 member names), ZIP, CAB, TAR (plain, gzip, bzip2), RAR and 7z.
// Formats libarchive cannot read (ARJ, BGA, YZ1) report their library as missing.
//
// Extraction is safe for archives from the network: nothing is written outside the output
// folder (absolute names, ".." and links are refused), only regular files and folders are
// made, and a member larger than the size limit is refused.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Errors.h"
#include "Strs.h"

namespace kaede {

enum TArchiverType {
  atLha, atZip, atCab, atArj, atTar, atTgz, atBZ2, atRar, atBga, atYz1, atGCA, atBel, at7z, atNone, atAutoDetect
};

class EArchiver : public Exception {
public:
  using Exception::Exception;
};
// The archive library of the format is not available.
class ENoArchiverDLL : public EArchiver {
public:
  using EArchiver::EArchiver;
};
// The library lacks an entry point.
class EEntryNotFound : public EArchiver {
public:
  using EArchiver::EArchiver;
};
// A module needed for self-extracting archives is missing.
class ESfxNoRequiredFile : public EArchiver {
public:
  using EArchiver::EArchiver;
};
// A switch that the command requires was left unset: a mistake of the caller.
class EAssertionFailed : public Exception {
public:
  using Exception::Exception;
};

// Results of the library calls: 0 is success.
enum : int {
  arcSuccess = 0,
  arcCannotOpen = 1,      // the archive cannot be opened or is not of the format
  arcReadError = 2,       // a truncated or damaged archive, or an unsupported method
  arcUnsafeMember = 3,    // a member with an absolute name, "..", or a link or device
  arcTooLarge = 4,        // a member above the size limit
  arcWriteError = 5,      // the output cannot be written
  arcMemberNotFound = 6,  // a requested member is not in the archive
  arcAborted = 7,         // a progress or enumeration handler asked to stop
};

enum TPackFilter { pfArchiver, pfComponent };
enum TResFileUsage : unsigned { ruOnPack = 1, ruOnUnpack = 2, ruOnRemoveItem = 4, ruOnUpdate = 8 };

// The switches of the next operation. Integer switches are -1 when not given.
struct TArchiverOptions {
  int a = -1, c = -1, e = -1, f = -1, h = -1, i = -1, l = -1, m = -1, n = -1, o = -1, p = -1, r = -1, s = -1, t = -1,
      u = -1;
  std::string w;  // a folder
  int x = -1, y = -1, z = -1, jc = -1, jd = -1, je = -1, jf = -1, jh = -1, ji = -1, jm = -1, jn = -1;
  std::string jo, job;
  int jp = -1, jr = -1, jsb = -1, jsc = -1, jsd = -1, jse = -1, jsf = -1, jsl = -1, jso = -1, jss = -1, jst = -1,
      jsv = -1, jsz = -1, jw = -1;
  TStrings jx;
  int jyc = -1, jyd = -1, jyk = -1, jyn = -1, jyo = -1;
  std::string jz;
  int ga = -1, gd = -1, ge = -1, gf = -1, gj = -1, gm = -1, gn = -1, go = -1, gp = -1;
  std::string gr;
  int gs = -1, gu = -1, gw = -1, gya = -1, gyc = -1;
  std::string gyd, gye;
  int gyo = -1, gyq = -1, gys = -1;
  std::string gyt, gyw;
  int gyx = -1;

  std::string UserOptions;   // appended to the switches as it is
  std::string UserFileList;  // appended after the member list
  TPackFilter PackFilter = pfComponent;
  std::string ResFileName;
  unsigned ResFileUsage = 0;
  bool IncludeExtraStreams = true;
  std::string StreamSeparator;
};

// A command line being built: pieces separated by one space, texts quoted in quoting mode.
class TCmdOpt {
public:
  explicit TCmdOpt(bool quote = true) : Quote(quote) {}
  void Add(const std::string& piece) { FText += " " + piece; }
  void AddQuoted(const std::string& text) { Add(Quote ? "\"" + text + "\"" : text); }
  const std::string& Text() const { return FText; }
  bool Quote;

private:
  std::string FText;
};

// Progress of an extraction: state 0 when a member starts, 1 while its data is written,
// 2 when it is done.
struct TExtractingInfo {
  std::string ArchiveName;
  std::string MemberName;
  std::string DestFileName;
  int64_t FileSize = 0;   // -1 when the archive does not tell
  int64_t WriteSize = 0;  // bytes written so far
};

struct TMemberInfo {
  std::string Name;  // CP932, "/" between folders
  int64_t OriginalSize = -1;
  bool IsFolder = false;
  bool IsLink = false;
};

class TArchiveFile;
using TArchiverProgressEvent =
    std::function<void(TArchiveFile* sender, int state, const TExtractingInfo& info, bool& abort)>;
using TEnumMemberEvent = std::function<void(TArchiveFile* sender, const TMemberInfo& info, bool& abort)>;

// The library of one format, shared by all archivers of that format: its names, and whether
// it can be used here.
class TArchiverDll {
public:
  TArchiverDll(std::string displayName, std::string libraryFile, std::string prefix, TArchiverType kind)
      : FDisplayName(std::move(displayName)), FLibraryFile(std::move(libraryFile)), FPrefix(std::move(prefix)),
        FKind(kind) {}
  const std::string& DisplayName() const { return FDisplayName; }
  const std::string& LibraryFile() const { return FLibraryFile; }
  const std::string& Prefix() const { return FPrefix; }
  TArchiverType Kind() const { return FKind; }
  bool Available() const;
  // Raises ENoArchiverDLL "<display name> を扱うには <library> が 必要です。" when not available.
  void Load() const;

private:
  std::string FDisplayName, FLibraryFile, FPrefix;
  TArchiverType FKind;
};

// What an extraction is asked to do.
struct TExtractRequest {
  std::string ArchiveName;  // CP932
  std::string Folder;       // CP932, the output folder
  TStrings Members;         // empty: all; otherwise the member names, compared without regard to case
  TArchiverType Kind = atNone;
  int64_t MaxMemberSize = 0;
  TArchiveFile* Sender = nullptr;
  TArchiverProgressEvent OnProgress;
  TEnumMemberEvent OnEnumMember;
};

// The command builder of one format.
class TArchiver {
public:
  virtual ~TArchiver() = default;
  virtual const TArchiverDll& Dll() const = 0;

  // The command line that extracts the members (all when empty) into the folder.
  // ownerWindow: an owner window is registered with the library (the n switch becomes 1).
  virtual std::string BuildExtractCommand(const TArchiverOptions& options, const std::string& archive,
                                          const TStrings& members, const std::string& folder,
                                          bool ownerWindow) const;
  // The formats here can only be read: these raise the "not supported" errors.
  virtual std::string BuildPackCommand() const;
  virtual std::string BuildDeleteCommand() const;
  virtual std::string BuildUpdateCommand() const;
  virtual std::string BuildSfxCommand() const;
  virtual std::string BuildMemoryExtractCommand() const;

  // Runs an extraction with the format's library; the command line is kept with the output,
  // and the first failure ("member: reason") goes to failure when given.
  virtual int Extract(const std::string& command, const TExtractRequest& request, std::string& output,
                      std::string* failure = nullptr) const;
  // True when the file is an archive of this format (the library's archive check).
  virtual bool CheckArchive(const std::string& fileName) const;

protected:
  // Appends the switches that are set, in the order of TArchiverOptions.
  static void AddSwitches(TCmdOpt& cmd, const TArchiverOptions& options, bool ownerWindow);
  static void AddTail(TCmdOpt& cmd, const TArchiverOptions& options, const std::string& archive,
                      const TStrings& members, const std::string& folder);
};

class TLha32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
  // x, "-+", the switches, the user options, the archive and the folder quoted, the members:
  // jse and jso must be set (an EAssertionFailed otherwise, before the library is called).
  std::string BuildExtractCommand(const TArchiverOptions& options, const std::string& archive,
                                  const TStrings& members, const std::string& folder, bool ownerWindow) const override;
};
class TArj32 : public TLha32 {
public:
  const TArchiverDll& Dll() const override;
};
class TZip32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
  std::string BuildPackCommand() const override;
};
class TCab32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};
class TTar32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};
class TTgz32 : public TTar32 {
public:
  const TArchiverDll& Dll() const override;
};
class TBZ232 : public TTar32 {
public:
  const TArchiverDll& Dll() const override;
};
class TRar32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};
class TBGA32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};
class TYZ1 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};
class TSevenZip32 : public TArchiver {
public:
  const TArchiverDll& Dll() const override;
};

// The archiver class of a type; nullptr for atNone, atAutoDetect and the types without a class
// (atGCA, atBel).
std::unique_ptr<TArchiver> CreateArchiver(TArchiverType type);

// The type by the file name's extension (compared without regard to case); ".exe" by content.
TArchiverType ArchiverTypeOfName(const std::string& fileName);
// The type by the first bytes of a file: ZIP ("PK"), LHA ("-lh?-" or "-lz?-" at offset 2);
// atNone otherwise. Used where the name cannot be trusted (a download).
TArchiverType SniffArchiverType(std::string_view head);
TArchiverType SniffArchiverFile(const std::string& fileName);

// One archive file.
class TArchiveFile {
public:
  TArchiveFile() = default;
  explicit TArchiveFile(const std::string& fileName) { SetFileName(fileName); }

  const std::string& FileName() const { return FFileName; }
  // Chooses the type by the name and creates its archiver.
  void SetFileName(const std::string& fileName);
  TArchiverType ArchiverType() const { return FType; }
  // atAutoDetect chooses by the file name; a type without an archiver class raises EArchiver.
  void SetArchiverType(TArchiverType type);
  TArchiver* Archiver() const { return FArchiver.get(); }

  TArchiverOptions Options;
  int OutputSize = 0;                        // bytes of library output kept in Output(); 0 keeps none
  int64_t MaxMemberSize = int64_t(1) << 30;  // the largest member that is extracted
  TArchiverProgressEvent OnProgress;
  TEnumMemberEvent OnEnumMember;

  // Extracts the members (all when empty) into the folder; returns the library's result,
  // 0 on success. ownerWindow: the caller's window (opaque; nullptr for none).
  int Extract(void* ownerWindow, const TArchiverOptions& options, const TStrings& members, const std::string& folder);
  int Extract(const TStrings& members, const std::string& folder) { return Extract(nullptr, Options, members, folder); }
  // Not available for the formats here: each raises its "not supported" error.
  int Pack();
  int Delete();
  int Update();
  int MakeSfx();
  int ExtractMem();

  // The command line of the last operation and the library's output (at most OutputSize bytes).
  const std::string& LastCommand() const { return FLastCommand; }
  const std::string& Output() const { return FOutput; }
  // The first failure of the last extraction, "member: reason" (the member missing, a name
  // leading out of the folder, a link, an archive cut short or damaged, an expansion above
  // the size limit); empty after a success.
  const std::string& FailureText() const { return FFailure; }

private:
  TArchiver& RequireArchiver() const;
  std::string FFileName;
  TArchiverType FType = atAutoDetect;
  std::unique_ptr<TArchiver> FArchiver;
  std::string FLastCommand, FOutput, FFailure;
};

}  // namespace kaede
