#pragma once
// Exceptions of the system. Messages are code page 932 text like every text of the core;
// convert with SjisToUtf8 (Cp932.h) before writing them to a terminal.
#include <exception>
#include <string>

namespace kaede {

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) { Compose(); }

  // The bare message, without file and line.
  const std::string& Message() const { return FMessage; }
  // The full text: file, line and field when known, then the message.
  const char* what() const noexcept override { return FFull.c_str(); }

  const std::string& FileName() const { return FFileName; }
  int LineNo() const { return FLineNo; }
  const std::string& FieldName() const { return FFieldName; }
  // A number that locates the failure inside a larger input (for example the element of a
  // comma text); 0 when unset.
  int ContextNo() const { return FContextNo; }

  // Locating setters: only the first caller that knows a location fills it in.
  void SetFileName(const std::string& name) { if (FFileName.empty()) { FFileName = name; Compose(); } }
  void SetLineNo(int line) { if (FLineNo == 0) { FLineNo = line; Compose(); } }
  void SetFieldName(const std::string& field) { if (FFieldName.empty()) { FFieldName = field; Compose(); } }
  void SetContextNo(int no) { FContextNo = no; }

private:
  void Compose();
  std::string FMessage;
  std::string FFileName;
  std::string FFieldName;
  int FLineNo = 0;
  int FContextNo = 0;
  std::string FFull;
};

// Reading or writing a file failed (the operating system's reason is in the message).
class EFileError : public Exception {
public:
  using Exception::Exception;
};

// Text that is not valid in the expected encoding.
class EEncodingError : public Exception {
public:
  EEncodingError(std::string message, size_t offset) : Exception(std::move(message)), FOffset(offset) {}
  // 0-based byte offset of the first bad byte in the input.
  size_t Offset() const { return FOffset; }

private:
  size_t FOffset;
};

}  // namespace kaede
