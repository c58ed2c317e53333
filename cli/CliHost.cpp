#include "cli/CliHost.h"

#include <cstdlib>
#include <ostream>

#include "res/CodePage.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"

namespace zorvan::cli {
namespace {

// The settings file's lines are split at LF; blanks, tabs and a CR around a key or value go.
constexpr std::string_view kIniBlanks = " \t\r";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string UnescapeIniValue(std::string_view raw) {
  raw = Trim(raw, kIniBlanks);
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c != '\\' || i + 1 == raw.size()) {
      out += c;
      continue;
    }
    const char e = raw[++i];
    switch (e) {
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 'x': {
        char32_t code = 0;
        size_t n = 0;
        while (n < 4 && i + 1 < raw.size() && HexDigit(raw[i + 1]) >= 0) {
          code = code * 16 + static_cast<char32_t>(HexDigit(raw[++i]));
          ++n;
        }
        if (n > 0) AppendUtf8(out, code);
        break;
      }
      default:  // \\, \", \; and any other character stand for themselves
        out += e;
    }
  }
  return out;
}

CCliHost::CCliHost(std::ostream& err) : m_err(err) {}

std::string CCliHost::SettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/Tavorin/Zorvan.conf";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::string(home) + "/.config/Tavorin/Zorvan.conf";
}

void CCliHost::LoadSettings() {
  const std::string path = SettingsPath();
  std::string text, error;
  // No settings file is the usual case on a machine without the desktop program.
  if (!path.empty() && ReadWholeFile(path, text, error)) LoadSettingsText(text);
}

void CCliHost::LoadSettingsText(std::string_view ini) {
  if (ini.starts_with(kUtf8ByteOrderMark)) ini.remove_prefix(kUtf8ByteOrderMark.size());
  std::string section;
  while (!ini.empty()) {
    const size_t end = ini.find('\n');
    const std::string_view line = Trim(ini.substr(0, end), kIniBlanks);
    ini.remove_prefix(end == std::string_view::npos ? ini.size() : end + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      section =
          std::string(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key(Trim(line.substr(0, eq), kIniBlanks));
    m_settings[section + "/" + key] = UnescapeIniValue(line.substr(eq + 1));
  }
}

void CCliHost::MessageBox(const std::string& text, EMsgIcon icon) {
  if (icon == EMsgIcon::Error) ++m_nErrors;
  m_err << "zorvan-cli: " << text << "\n";
}

void CCliHost::ShowFileError(const std::string& message, const CStatus& cause) {
  // The desktop program's message names neither the file nor the reason; say both first.
  m_err << "zorvan-cli: Cannot read file " << cause.File() << ":\n" << cause.Reason() << ".\n";
  MessageBox(message, EMsgIcon::Error);
}

bool CCliHost::AskYesNo(const std::string& text) {
  m_err << "zorvan-cli: " << text << " No.\n";
  return false;
}

std::string CCliHost::GetProfileString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) {
  const auto it = m_settings.find(section + "/" + entry);
  return it == m_settings.end() ? defaultValue : it->second;
}

void CCliHost::WriteProfileString(const std::string& section, const std::string& entry,
                                  const std::string& value) {
  m_settings[section + "/" + entry] = value;
}

}  // namespace zorvan::cli
