// The query subcommand: the address book of mail clients. It walks the database file's records
// without building the tree or the calendar, and converts only the texts it compares or prints.
#include <ostream>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "find/Finder.h"
#include "res/CodePage.h"
#include "store/ZvdRecordReader.h"

namespace zorvan::cli {
namespace {

const char kQueryHelp[] =
    "Usage: zorvan-cli query DB.zvd TEXT\n"
    "\n"
    "Prints the e-mail addresses of the contacts whose first and last name, label, nickname\n"
    "or an e-mail address holds TEXT (case ignored), in the form mail clients read for their\n"
    "address completion: a line of status text, then one line per address with the address,\n"
    "the name and the label separated by tabs. Personal and business addresses each get a\n"
    "line, the preferred one first.\n"
    "\n"
    "  mutt, neomutt:  set query_command = \"zorvan-cli query ~/contacts.zvd %s\"\n"
    "  aerc:           address-book-cmd = zorvan-cli query ~/contacts.zvd \"%s\"\n"
    "\n"
    "Exit status 1 when nothing matches.\n";

// Lower-cases the texts of a record the way the Find command does and looks for the text.
class CAddressMatcher {
 public:
  explicit CAddressMatcher(std::string_view text) { AppendLowerCase(m_strText, text); }

  // True when the file text (in the file's code page) holds the text looked for.
  bool Holds(std::string_view ansi) {
    std::string_view utf8 = ansi;
    if (!IsAscii(ansi)) {
      m_strUtf8 = AnsiToUtf8(ansi);
      utf8 = m_strUtf8;
    }
    m_strLower.clear();
    AppendLowerCase(m_strLower, utf8);
    return m_strLower.find(m_strText) != std::string::npos;
  }

 private:
  std::string m_strText;   // lower-cased
  std::string m_strUtf8;   // kept between calls, so that most records allocate nothing
  std::string m_strLower;  // the same
};

// Tabs, line breaks and other control characters become blanks, so that a label with a tab in
// it cannot break the line format.
void AppendPrintable(std::string& out, std::string_view utf8) {
  for (char c : utf8) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
}

// A file text (in the file's code page) as one tab-separated column.
void AppendColumn(std::string& out, std::string_view ansi) {
  if (IsAscii(ansi))
    AppendPrintable(out, ansi);
  else
    AppendPrintable(out, AnsiToUtf8(ansi));
}

// "first last", or the label when both are empty.
std::string NameOf(const CZvdRecord& r) {
  const std::string_view first = r.Ansi(fieldFirstName), last = r.Ansi(fieldLastName);
  if (first.empty() && last.empty()) return std::string(r.Ansi(fieldLabel));
  if (first.empty() || last.empty()) return std::string(first.empty() ? last : first);
  std::string name(first);
  name += ' ';
  name += last;
  return name;
}

class CQuery {
 public:
  explicit CQuery(std::string_view text) : m_matcher(text) {}

  void Visit(const CZvdRecord& r) {
    std::string_view emails[2] = {r.Ansi(fieldPersonalEmail), r.Ansi(fieldBusinessEmail)};
    // Most records have no address: they are passed over before any text is converted.
    if (emails[0].empty() && emails[1].empty()) return;
    const std::string name = NameOf(r);
    if (!m_matcher.Holds(name) && !m_matcher.Holds(r.Ansi(fieldLabel)) &&
        !m_matcher.Holds(r.Ansi(fieldNickname)) && !m_matcher.Holds(emails[0]) &&
        !m_matcher.Holds(emails[1]))
      return;
    if (r.Number(fieldPrefEmail) == 1) std::swap(emails[0], emails[1]);
    for (std::string_view email : emails) {
      if (email.empty()) continue;
      AppendColumn(m_strLines, email);
      m_strLines += '\t';
      AppendColumn(m_strLines, name);
      m_strLines += '\t';
      AppendColumn(m_strLines, r.Ansi(fieldLabel));
      m_strLines += '\n';
      ++m_nAddresses;
    }
  }

  size_t Addresses() const { return m_nAddresses; }
  const std::string& Lines() const { return m_strLines; }

 private:
  CAddressMatcher m_matcher;
  std::string m_strLines;
  size_t m_nAddresses = 0;
};

}  // namespace

int RunQuery(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx,
                               {"query", kQueryHelp, 2, "give a database file and a text"}, {}, a))
    return *done;
  const std::string& path = a.Operands()[0];
  const std::string& text = a.Operands()[1];

  CZvdRecordReader::CFieldSet fields;
  for (EField f : {fieldFirstName, fieldLastName, fieldNickname, fieldLabel, fieldPersonalEmail,
                   fieldBusinessEmail})
    fields.set(f);
  CQuery query(text);
  std::string error;
  // The lines are kept until the whole file was read: a damaged file prints no addresses.
  if (!CZvdRecordReader(fields).ReadFile(
          path, [&query](const CZvdRecord& r) { query.Visit(r); }, error)) {
    ctx.host.MessageBox("Cannot open file " + path + ":\n" + error + ".", EMsgIcon::Error);
    return exitFileError;
  }
  // The first line is for the mail client's status line; it skips it when it lists addresses.
  std::string shown;
  AppendPrintable(shown, text);
  if (query.Addresses() == 0) {
    ctx.out << "No address matches \"" << shown << "\".\n";
    return exitNothingFound;
  }
  ctx.out << query.Addresses() << (query.Addresses() == 1 ? " address matches" : " addresses match")
          << " \"" << shown << "\".\n"
          << query.Lines();
  return exitSuccess;
}

}  // namespace zorvan::cli
