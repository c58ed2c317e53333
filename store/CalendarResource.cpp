#include "store/CalendarResource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "res/CodePage.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"
#include "store/ZorvanDoc.h"

#ifndef ZORVAN_INSTALL_BINDIR
#define ZORVAN_INSTALL_BINDIR "/usr/local/bin"
#endif
#ifndef ZORVAN_INSTALL_DATADIR
#define ZORVAN_INSTALL_DATADIR "/usr/local/share/zorvan"
#endif
#ifndef ZORVAN_SOURCE_DATADIR
#define ZORVAN_SOURCE_DATADIR ""
#endif

namespace zorvan {
namespace {

// The value after a key: from the "=" up to the next ";" or the end of the line.
std::string ValueAfter(std::string_view line, size_t keyPos, std::string_view key) {
  const std::string_view rest = line.substr(keyPos + key.size());
  return std::string(rest.substr(0, rest.find(';')));
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ea, eb;
  const std::filesystem::path ca = std::filesystem::canonical(a, ea);
  const std::filesystem::path cb = std::filesystem::canonical(b, eb);
  return !ea && !eb && ca == cb;
}

std::string InstalledFolder() { return std::string(ZORVAN_INSTALL_DATADIR) + "/calendars"; }

}  // namespace

void ParseCalendarResource(std::string_view text, SCalendarResource& r) {
  struct SKey {
    std::string_view key;
    bool SCalendarResource::*given;
    std::string SCalendarResource::*label;
  };
  // In the order the rules are tried: the first key found on a line wins.
  static constexpr SKey kKeys[] = {
      {"CONTACTS=", &SCalendarResource::bContacts, &SCalendarResource::strContacts},
      {"CALENDAR=", &SCalendarResource::bCalendar, &SCalendarResource::strCalendar},
      {"BIRTHDAY=", &SCalendarResource::bBirthdays, &SCalendarResource::strBirthdays},
      {"NAMEDAY=", &SCalendarResource::bNamedays, &SCalendarResource::strNamedays},
      {"ANNIVERSARY=", &SCalendarResource::bAnniversaries, &SCalendarResource::strAnniversaries},
      {"CALNAMES=", &SCalendarResource::bCalNames, &SCalendarResource::strCalNames},
  };
  bool inBlock = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ++r.nLines;
    if (raw.substr(0, 2) == "//") continue;  // a comment starts in the very first column
    const std::string_view line = Trim(raw);
    if (line.empty()) continue;
    bool handled = false;
    for (const SKey& k : kKeys) {
      const size_t pos = line.find(k.key);
      if (pos == std::string_view::npos) continue;
      r.*k.given = true;
      r.*k.label = ValueAfter(line, pos, k.key);
      handled = true;
      break;
    }
    if (handled) continue;
    if (line.find("BEGIN_CALNAMES") != std::string_view::npos) {
      inBlock = true;
      continue;
    }
    if (line.find("END_CALNAMES") != std::string_view::npos) {
      inBlock = false;
      continue;
    }
    const size_t first = line.find(';');
    if (!inBlock || line.size() < 3 || first == std::string_view::npos || first == 0) continue;
    const size_t second = line.find(';', first + 1);
    if (second == std::string_view::npos) continue;
    const size_t third = line.find(';', second + 1);
    if (third == std::string_view::npos) continue;
    if (r.names.size() >= kMaxCalendarNames) {
      r.bTooManyNames = true;
      continue;
    }
    CCalName entry;
    entry.m_nDay = ParseInteger(line.substr(0, first));
    entry.m_nMonth = ParseInteger(line.substr(first + 1, second - first - 1));
    entry.m_strName = std::string(Trim(line.substr(second + 1, third - second - 1)));
    r.names.push_back(std::move(entry));
  }
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  const std::string exe(buf, static_cast<size_t>(n));
  return exe.substr(0, exe.rfind('/'));
}

std::vector<std::string> CalendarFolders(const std::string& programFolder) {
  std::vector<std::string> folders;
  const bool installed = SameFolder(programFolder, ZORVAN_INSTALL_BINDIR);
  if (installed) folders.push_back(InstalledFolder());
  if (!programFolder.empty())
    folders.push_back(
        (std::filesystem::path(programFolder) / "../share/zorvan/calendars").lexically_normal());
  if (*ZORVAN_SOURCE_DATADIR) folders.push_back(std::string(ZORVAN_SOURCE_DATADIR) + "/calendars");
  if (!installed) folders.push_back(InstalledFolder());
  return folders;
}

std::string ResolveCalendarPath(const std::string& path) {
  if (path.find('/') != std::string::npos || FileExists(path)) return path;
  for (const std::string& folder : CalendarFolders(ProgramFolder())) {
    const std::string candidate = folder + "/" + path;
    if (FileExists(candidate)) return candidate;
  }
  return path;
}

std::string InstalledCalendarFolder(const std::string& programFolder) {
  for (const std::string& folder : CalendarFolders(programFolder))
    if (FolderExists(folder)) return folder;
  return InstalledFolder();
}

CStatus CZorvanDoc::LoadCalendarResource(const std::string& path) {
  m_pCalNames.reset();
  const std::string file = ResolveCalendarPath(path);
  std::string bytes, error;
  if (!ReadWholeFile(file, bytes, error, kMaxCalendarResourceBytes))
    return CStatus::Failure(file, error);
  SCalendarResource r;
  ParseCalendarResource(AnsiToUtf8(bytes), r);
  if (r.bTooManyNames)
    return CStatus::Failure(
        file, "it holds more than " + std::to_string(kMaxCalendarNames) + " calendar names");
  if (r.bContacts) m_strContactsLabel = r.strContacts;
  if (r.bCalendar) m_strCalendarLabel = r.strCalendar;
  if (r.bBirthdays) m_strBirthdaysLabel = r.strBirthdays;
  if (r.bNamedays) m_strNamedaysLabel = r.strNamedays;
  if (r.bAnniversaries) m_strAnniversariesLabel = r.strAnniversaries;
  if (r.bCalNames) m_strCalNamesLabel = r.strCalNames;
  m_pCalNames = std::make_unique<std::vector<CCalName>>(std::move(r.names));
  return CStatus::Success();
}

}  // namespace zorvan
