// Private-profile files off Windows. The file is kept as a list of lines, each
// with its own line ending, so that a write changes only what it must: every
// other line goes back byte for byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Platform.h"

namespace {

// Windows reads a value for GetPrivateProfileIntA into a buffer of 30
// characters: only the first 29 count.
constexpr size_t kIntTextLength = 29;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool HasLineBreak(const char* s) { return s && std::strpbrk(s, "\r\n") != nullptr; }

struct Line {
  std::string text;  // without its line ending
  std::string eol;   // "\r\n", "\n", "\r", or empty for a last line without one
};

enum class Kind { Blank, Comment, Header, Key };

struct Parsed {
  Kind kind = Kind::Blank;
  std::string_view name;   // section name of a header, key name of a key line
  std::string_view value;  // trimmed text after the first '=' of a key line
  bool hasValue = false;   // the key line has an '='
};

Parsed Parse(std::string_view text) {
  Parsed p;
  std::string_view t = Trim(text);
  if (t.empty()) return p;
  if (t.front() == ';') {
    p.kind = Kind::Comment;
    return p;
  }
  if (t.front() == '[') {
    size_t close = t.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      p.kind = Kind::Header;
      p.name = Trim(t.substr(1, close - 1));
      return p;
    }
  }
  // Any other line is a key, with or without a value.
  p.kind = Kind::Key;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) {
    p.name = t;
  } else {
    p.name = Trim(t.substr(0, eq));
    p.value = Trim(t.substr(eq + 1));
    p.hasValue = true;
  }
  return p;
}

// Lines [begin, end) of one section; header is the index of its header line,
// npos for the part before the first header, which reads as the section "".
struct Section {
  std::string_view name;
  size_t header;
  size_t begin;
  size_t end;
};

constexpr size_t kNone = static_cast<size_t>(-1);

class Profile {
 public:
  explicit Profile(const std::string& content) {
    // A byte-order mark that an editor put at the start belongs to no line:
    // it stays at the start whatever is written before the first line.
    size_t i = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bom_ = content.substr(0, i);
    while (i < content.size()) {
      size_t j = content.find_first_of("\r\n", i);
      if (j == std::string::npos) {
        lines_.push_back(Line{content.substr(i), ""});
        break;
      }
      size_t eolLength = content[j] == '\r' && j + 1 < content.size() && content[j + 1] == '\n' ? 2 : 1;
      lines_.push_back(Line{content.substr(i, j - i), content.substr(j, eolLength)});
      i = j + eolLength;
    }
  }

  std::string Serialize() const {
    std::string out = bom_;
    for (const Line& l : lines_) out += l.text + l.eol;
    return out;
  }

  Parsed ParseLine(size_t i) const { return Parse(lines_[i].text); }

  std::vector<Section> Sections() const {
    std::vector<Section> out;
    out.push_back(Section{"", kNone, 0, lines_.size()});
    for (size_t i = 0; i < lines_.size(); ++i) {
      Parsed p = ParseLine(i);
      if (p.kind != Kind::Header) continue;
      out.back().end = i;
      out.push_back(Section{p.name, i, i + 1, lines_.size()});
    }
    return out;
  }

  // The first section whose name matches, letter case aside; or null.
  static const Section* Find(const std::vector<Section>& sections, std::string_view name) {
    name = Trim(name);
    for (const Section& s : sections)
      if (EqualNoCase(s.name, name)) return &s;
    return nullptr;
  }

  // The first key line of the section whose key matches; kNone if none.
  size_t FindKey(const Section& s, std::string_view key) const {
    key = Trim(key);
    for (size_t i = s.begin; i < s.end; ++i) {
      Parsed p = ParseLine(i);
      if (p.kind == Kind::Key && EqualNoCase(p.name, key)) return i;
    }
    return kNone;
  }

  // The line ending new lines get: the file's own, or Windows' for a new file.
  std::string Eol() const {
    for (const Line& l : lines_)
      if (!l.eol.empty()) return l.eol;
    return "\r\n";
  }

  void Insert(size_t at, std::string text) {
    std::string eol = Eol();
    if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), eol});
  }

  void Erase(size_t from, size_t to) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(from), lines_.begin() + static_cast<std::ptrdiff_t>(to));
  }

  std::vector<Line>& lines() { return lines_; }
  size_t size() const { return lines_.size(); }

 private:
  std::string bom_;
  std::vector<Line> lines_;
};

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWhole(const char* path, std::string* out) {
  out->clear();
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
  char buf[8192];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return ReadResult::Failed;
    }
    if (n == 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return ReadResult::Ok;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Replaces the file at path with content: a temporary file beside it is
// written, flushed to the disk and renamed over the old one, so that the
// file is at every moment either the old one or the new one, whole.
bool ReplaceFile(const char* path, const std::string& content) {
  std::string target = path;
  // Through a symbolic link, the file it names is replaced, not the link.
  if (char* real = realpath(path, nullptr)) {
    target = real;
    std::free(real);
  }
  struct stat old;
  bool hadOld = stat(target.c_str(), &old) == 0;

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = WriteAll(fd, content);
  if (ok && hadOld) ok = fchmod(fd, old.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

// The integer Windows makes of a text: leading blanks and control characters
// skipped, one sign, a base prefix 0x, 0o or 0b (lower case only), digits
// up to the first character that is none; arithmetic modulo 2^32.
UINT ParseInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  uint32_t base = 10;
  if (i + 1 < s.size() && s[i] == '0') {
    if (s[i + 1] == 'x') base = 16;
    if (s[i + 1] == 'o') base = 8;
    if (s[i + 1] == 'b') base = 2;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<uint32_t>(c - 'A' + 10);
    else
      break;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return negative ? 0u - total : total;
}

}  // namespace

DWORD GetPrivateProfileSectionNamesA(char* lpszReturnBuffer, DWORD nSize, const char* lpFileName) {
  if (!lpszReturnBuffer || nSize == 0) return 0;
  std::string content;
  std::string list;
  if (lpFileName && ReadWhole(lpFileName, &content) == ReadResult::Ok) {
    Profile profile(content);
    for (const Section& s : profile.Sections()) {
      // A nameless section cannot be listed: its empty name would end the list.
      if (s.header == kNone || s.name.empty()) continue;
      list.append(s.name);
      list += '\0';
    }
  }
  list += '\0';
  if (nSize == 1) {
    lpszReturnBuffer[0] = '\0';
    return 0;
  }
  // As Windows, a list that fills the buffer exactly counts as not fitting.
  if (list.size() <= nSize - 1) {
    std::memcpy(lpszReturnBuffer, list.data(), list.size());
    return static_cast<DWORD>(list.size() - 1);
  }
  // Cut, and ended by two NULs so that a walk over the names stops inside.
  std::memcpy(lpszReturnBuffer, list.data(), nSize - 2);
  lpszReturnBuffer[nSize - 2] = '\0';
  lpszReturnBuffer[nSize - 1] = '\0';
  return nSize - 2;
}

UINT GetPrivateProfileIntA(const char* lpAppName, const char* lpKeyName, int nDefault, const char* lpFileName) {
  const UINT fallback = static_cast<UINT>(nDefault);
  std::string content;
  if (!lpFileName || ReadWhole(lpFileName, &content) != ReadResult::Ok) return fallback;
  Profile profile(content);
  std::vector<Section> sections = profile.Sections();

  // Windows reads the text of the key, or with a null section the list of
  // section names, with a null key the list of keys, and takes the integer of
  // its first item.
  std::string_view text;
  if (!lpAppName) {
    for (const Section& s : sections)
      if (s.header != kNone && !s.name.empty()) {
        text = s.name;
        break;
      }
  } else if (const Section* s = Profile::Find(sections, lpAppName)) {
    if (!lpKeyName) {
      for (size_t i = s->begin; i < s->end && text.empty(); ++i) {
        Parsed p = profile.ParseLine(i);
        if (p.kind == Kind::Key) text = p.name;
      }
    } else {
      size_t line = profile.FindKey(*s, lpKeyName);
      if (line != kNone) text = profile.ParseLine(line).value;
    }
  }
  // A value in matching quotes reads without them.
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  text = text.substr(0, kIntTextLength);
  if (text.empty()) return fallback;
  return ParseInt(text);
}

BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName) {
  if (!lpAppName || !lpFileName || !*lpFileName) return FALSE;
  // A line break would make lines of its own: another section or key.
  if (HasLineBreak(lpAppName) || HasLineBreak(lpKeyName) || HasLineBreak(lpString)) return FALSE;
  // A key that would read back as a header, a comment or another key.
  if (lpKeyName) {
    std::string_view key = Trim(lpKeyName);
    if (key.find('=') != std::string_view::npos || (!key.empty() && (key.front() == '[' || key.front() == ';')))
      return FALSE;
  }

  std::string content;
  // A file that exists but cannot be read is never replaced by a new one.
  if (ReadWhole(lpFileName, &content) == ReadResult::Failed) return FALSE;
  Profile profile(content);
  std::vector<Section> sections = profile.Sections();
  const Section* section = Profile::Find(sections, lpAppName);

  if (!lpKeyName) {
    if (!section) return TRUE;
    profile.Erase(section->header == kNone ? section->begin : section->header, section->end);
  } else if (!section) {
    if (!lpString) return TRUE;
    size_t end = profile.size();
    profile.Insert(end, "[" + std::string(Trim(lpAppName)) + "]");
    profile.Insert(end + 1, std::string(Trim(lpKeyName)) + "=" + lpString);
  } else {
    size_t line = profile.FindKey(*section, lpKeyName);
    if (!lpString) {
      if (line == kNone) return TRUE;
      profile.Erase(line, line + 1);
    } else if (line != kNone) {
      Parsed p = profile.ParseLine(line);
      if (p.hasValue && p.value == lpString) return TRUE;
      // The key keeps the spelling it has in the file.
      profile.lines()[line].text = std::string(p.name) + "=" + lpString;
    } else {
      // After the section's last line that is not blank: blank lines that
      // part it from the next section stay after it.
      size_t at = section->header == kNone ? section->begin : section->header + 1;
      for (size_t i = section->begin; i < section->end; ++i)
        if (profile.ParseLine(i).kind != Kind::Blank) at = i + 1;
      profile.Insert(at, std::string(Trim(lpKeyName)) + "=" + lpString);
    }
  }
  return ReplaceFile(lpFileName, profile.Serialize()) ? TRUE : FALSE;
}
