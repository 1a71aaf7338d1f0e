// Saves on Windows. The system's profile functions write the whole file anew,
// in place, for each key, and do not check their writes: on a full disk they
// report success and leave the file cut where the disk filled, every section
// after that point gone, and a process killed while they write leaves it cut
// too. So a save copies the file beside it, makes its writes in the copy, and
// renames the copy over the file only when the copy holds what was written
// and every other section as the file does; otherwise the copy is deleted and
// the file stays as it was. The platform layer's functions, used elsewhere,
// write each key whole or not at all under a lock between processes, which a
// copy made here would pass by: there the writes go to the file.
#include "settings/WindowsSave.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "settings/SettingsFile.h"

namespace {

using Written = std::vector<std::pair<std::string, std::string>>;

// The largest list buffer that a DWORD still counts.
constexpr DWORD kMaxListSize = DWORD{1} << 31;

// Room for a list of a file's section names, or of one section's lines: no
// more than the file's bytes and two NULs, but for a file that changes.
DWORD ListRoom(const char* file) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(file, GetFileExInfoStandard, &data)) return 1024;
  if (data.nFileSizeHigh != 0 || data.nFileSizeLow >= kMaxListSize - 16) return kMaxListSize;
  return data.nFileSizeLow + 16;
}

// A whole list that a profile function gives: entries each ended by a NUL,
// the list by a second one. Room for it at once, and twice the room while it
// comes back cut (with the count room - 2). Not ok when memory runs out.
struct List {
  std::unique_ptr<char[]> text;
  DWORD count = 0;  // characters before the list's last NUL
  bool ok = false;
  std::string_view view() const { return {text.get(), count}; }
};

template <typename Read>
List WholeList(const char* file, Read read) {
  List list;
  for (DWORD room = ListRoom(file);; room *= 2) {
    list.text.reset(new (std::nothrow) char[room]);
    if (!list.text) return List{};
    list.count = read(list.text.get(), room);
    if (list.count < room - 2) {
      list.ok = true;
      return list;
    }
    if (room >= kMaxListSize) return List{};
  }
}

List SectionNames(const char* file) {
  return WholeList(file,
                   [file](char* buffer, DWORD room) { return GetPrivateProfileSectionNamesA(buffer, room, file); });
}

List SectionLines(const char* file, const std::string& name) {
  return WholeList(file, [file, &name](char* buffer, DWORD room) {
    return GetPrivateProfileSectionA(name.c_str(), buffer, room, file);
  });
}

template <typename Each>
void ForEachEntry(std::string_view list, Each each) {
  for (size_t at = 0; at < list.size();) {
    size_t end = list.find('\0', at);
    if (end == std::string_view::npos) end = list.size();
    each(list.substr(at, end - at));
    at = end + 1;
  }
}

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A line of a section as the profile functions read it: the key before its
// first '=', the value after it, each without the blanks around it.
std::string_view KeyOf(std::string_view line) { return Trimmed(line.substr(0, line.find('='))); }

bool IsWrittenKey(std::string_view key, const Written& written) {
  return std::any_of(written.begin(), written.end(), [key](const auto& w) { return SameProfileName(key, w.first); });
}

// The value that the first line of the key gives, none without such a line
// or an '=' in it.
std::optional<std::string_view> ValueOf(std::string_view lines, std::string_view key) {
  std::optional<std::string_view> value;
  bool found = false;
  ForEachEntry(lines, [&](std::string_view line) {
    if (found || !SameProfileName(KeyOf(line), key)) return;
    found = true;
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) value = Trimmed(line.substr(equals + 1));
  });
  return value;
}

// A section's lines without those of the written keys.
std::string OtherLines(std::string_view lines, const Written& written) {
  std::string others;
  ForEachEntry(lines, [&](std::string_view line) {
    if (IsWrittenKey(KeyOf(line), written)) return;
    others.append(line);
    others.push_back('\0');
  });
  return others;
}

// The names the copy must list: the file's, and the section's own at their
// end when the file has none that the profile functions take for it. None
// when the first they take for it differs in letter case: the writes went
// into another vessel's section.
std::optional<std::string> ExpectedNames(std::string_view fileNames, const std::string& section) {
  std::optional<std::string_view> first;
  ForEachEntry(fileNames, [&](std::string_view name) {
    if (!first && SameProfileName(name, section)) first = name;
  });
  if (first && *first != section) return std::nullopt;
  std::string names(fileNames);
  if (!first) names.append(section).push_back('\0');
  return names;
}

// Windows' profile functions keep the file they used last in memory, Wine's
// until two seconds after it changed on the disk, and would give back from
// there what was written instead of what reached the disk: this drops the
// copy from it.
void DropFromProfileCache(const std::string& file) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

// The file's bytes on the disk, so that a crash after the rename cannot
// leave an empty file in the settings file's place.
bool FlushToDisk(const char* file) {
  HANDLE h = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(h) != 0;
  CloseHandle(h);
  return flushed;
}

}  // namespace

// The copy's name: the file's with '~' for its last character
// ("Galeboard.cf~"). As long as the file's, so that any path the module can
// have, Windows' limit of 259 characters included, names a copy too.
std::string SaveCopyName(const std::string& path) {
  std::string name = path;
  name.back() = name.back() == '~' ? '_' : '~';
  return name;
}

// A cut that leaves every name in place falls inside the last section: its
// lines, or the section's own where it is the last, show it. A cut anywhere
// else loses the names after it. (A last section whose name an earlier one
// has is never read, by a load or by these reads: what a load reads stays
// the same whatever is lost of it.)
bool CopyHoldsTheSave(const char* file, const char* copy, const std::string& section, const Written& written) {
  const List fileNames = SectionNames(file), copyNames = SectionNames(copy);
  if (!fileNames.ok || !copyNames.ok) return false;
  const std::optional<std::string> expected = ExpectedNames(fileNames.view(), section);
  if (!expected || copyNames.view() != *expected) return false;

  const List fileOwn = SectionLines(file, section), copyOwn = SectionLines(copy, section);
  if (!fileOwn.ok || !copyOwn.ok) return false;
  for (const auto& [key, text] : written)
    if (ValueOf(copyOwn.view(), key) != std::string_view(text)) return false;
  if (OtherLines(fileOwn.view(), written) != OtherLines(copyOwn.view(), written)) return false;

  std::string last;
  ForEachEntry(*expected, [&last](std::string_view name) { last = name; });
  if (SameProfileName(last, section)) return true;
  const List fileLast = SectionLines(file, last), copyLast = SectionLines(copy, last);
  return fileLast.ok && copyLast.ok && fileLast.view() == copyLast.view();
}

SettingsFile::~SettingsFile() {
  if (copy.empty()) return;
  DeleteFileA(copy.c_str());
  DropFromProfileCache(copy);
}

bool SettingsFile::BeginSave() {
  if (path.empty() || !section) return false;
  const std::string name = SaveCopyName(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    // No file yet, and the writes make the copy. No folder, or no access:
    // nothing is saved.
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    // A copy left by a save that was killed would take the writes.
    if (!DeleteFileA(name.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    fileExisted = false;
  } else {
    // Windows refuses to write a read-only file, and a folder is no settings
    // file: nothing is saved, nothing made.
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Over a copy left by a save that was killed. A copy that cannot be made,
    // as on a full disk, is no save at all: the file is never written in
    // place.
    if (!CopyFileA(path.c_str(), name.c_str(), FALSE)) {
      DeleteFileA(name.c_str());
      return false;
    }
    fileExisted = true;
  }
  copy = name;
  written.clear();
  writeFailed = false;
  return true;
}

void SettingsFile::EndSave() {
  if (copy.empty()) return;
  DropFromProfileCache(copy);
  // Without a file before, the rename fails should one have come meanwhile.
  const DWORD replace = fileExisted ? MOVEFILE_REPLACE_EXISTING : 0;
  const bool saved = !writeFailed && CopyHoldsTheSave(path.c_str(), copy.c_str(), *section, written) &&
                     FlushToDisk(copy.c_str()) &&
                     MoveFileExA(copy.c_str(), path.c_str(), replace | MOVEFILE_WRITE_THROUGH);
  if (!saved) DeleteFileA(copy.c_str());
  DropFromProfileCache(copy);
  copy.clear();
}
