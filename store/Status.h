#pragma once

#include <string>
#include <utility>

namespace zorvan {

// The outcome of an operation on a file: success, or the file concerned and the reason it
// failed (the system's words, such as "No such file or directory", or the format's, such as
// "the file ends in the middle of a record"). The core never shows it; the caller puts it into
// its own message, naming the file in the way its reader expects.
class [[nodiscard]] CStatus {
 public:
  static CStatus Success() { return CStatus(); }
  // Success with something the user should know (a save that split a file's hard links).
  static CStatus SuccessWithNote(std::string file, std::string note) {
    CStatus status;
    status.m_strFile = std::move(file);
    status.m_strNote = std::move(note);
    return status;
  }
  static CStatus Failure(std::string file, std::string reason) {
    CStatus status;
    status.m_bOk = false;
    status.m_strFile = std::move(file);
    status.m_strReason = std::move(reason);
    return status;
  }

  bool Ok() const { return m_bOk; }
  explicit operator bool() const { return m_bOk; }
  const std::string& File() const { return m_strFile; }
  const std::string& Reason() const { return m_strReason; }
  // Empty unless a success came with a note.
  const std::string& Note() const { return m_strNote; }

 private:
  CStatus() = default;

  bool m_bOk = true;
  std::string m_strFile;
  std::string m_strReason;
  std::string m_strNote;
};

}  // namespace zorvan
