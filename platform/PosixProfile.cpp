// Private-profile files off Windows. A read goes through the file line by
// line; a write splices what it changes into the file's text, so that every
// other byte, line endings and a byte-order mark included, goes back as it
// was.
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

#include "platform/Platform.h"

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

// The first CR or LF from i on, or npos; find_first_of would call memchr on
// the two characters for every byte of the file.
size_t FindLineBreak(std::string_view s, size_t i) {
  for (; i < s.size(); ++i)
    if (s[i] == '\n' || s[i] == '\r') return i;
  return std::string_view::npos;
}

// The length of the line ending that starts at j, a line break: CR LF, or a
// lone CR or LF.
size_t EolLength(std::string_view s, size_t j) { return s[j] == '\r' && j + 1 < s.size() && s[j + 1] == '\n' ? 2 : 1; }

size_t ByteOrderMarkLength(std::string_view content) { return content.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0; }

// Calls fn(text, eol) for each line after a byte-order mark, in order, until
// fn returns false. The views point into content.
template <typename Fn>
void ForEachLine(std::string_view content, Fn fn) {
  size_t i = ByteOrderMarkLength(content);
  while (i < content.size()) {
    size_t j = FindLineBreak(content, i);
    if (j == std::string_view::npos) {
      fn(content.substr(i), std::string_view());
      return;
    }
    size_t eolLength = EolLength(content, j);
    if (!fn(content.substr(i, j - i), content.substr(j, eolLength))) return;
    i = j + eolLength;
  }
}

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

constexpr size_t kNone = static_cast<size_t>(-1);

// Where a write into one section of a file goes, found in one pass over its
// text: a write then splices the text rather than rebuilding it line by
// line, so that a large file costs a copy and no more.
struct WritePlace {
  bool found = false;  // the first section of the name, letter case aside
  size_t begin = 0;    // its header line, or the first line for the part before any header
  size_t end = 0;      // the next header line, or the end of the text
  // The first key line of the section whose key matches, and its end with
  // and without the line ending.
  size_t key = kNone;
  size_t keyTextEnd = 0;
  size_t keyLineEnd = 0;
  Parsed keyLine;
  // Where a new key goes: after the section's last line that is not blank,
  // and whether that line, last in the file, has no line ending to end it.
  size_t insert = 0;
  bool insertNeedsEol = false;
  std::string_view eol = "\r\n";  // the file's own line ending, or Windows' for a new file
};

WritePlace FindWritePlace(std::string_view content, std::string_view section, const char* keyName) {
  WritePlace w;
  const std::string_view key = keyName ? Trim(keyName) : std::string_view();
  section = Trim(section);
  const size_t bom = ByteOrderMarkLength(content);
  w.end = content.size();
  bool inside = section.empty();  // the part before the first header is the section ""
  if (inside) {
    w.found = true;
    w.begin = w.insert = bom;
  }
  bool eolSeen = false;
  ForEachLine(content, [&](std::string_view text, std::string_view eol) {
    const size_t start = static_cast<size_t>(text.data() - content.data());
    const size_t lineEnd = start + text.size() + eol.size();
    if (!eolSeen && !eol.empty()) {
      w.eol = eol;
      eolSeen = true;
    }
    Parsed p = Parse(text);
    if (p.kind == Kind::Header) {
      if (inside) {
        w.end = start;
        return false;
      }
      if (!w.found && EqualNoCase(p.name, section)) {
        w.found = inside = true;
        w.begin = start;
        w.insert = lineEnd;
        w.insertNeedsEol = eol.empty();
      }
      return true;
    }
    if (!inside) return true;
    if (p.kind != Kind::Blank) {
      w.insert = lineEnd;
      w.insertNeedsEol = eol.empty();
    }
    if (keyName && w.key == kNone && p.kind == Kind::Key && EqualNoCase(p.name, key)) {
      w.key = start;
      w.keyTextEnd = start + text.size();
      w.keyLineEnd = lineEnd;
      w.keyLine = p;
    }
    return true;
  });
  return w;
}

// content with [from, to) replaced by text.
std::string Spliced(std::string_view content, size_t from, size_t to, std::string_view text) {
  std::string out;
  out.reserve(content.size() - (to - from) + text.size());
  out.append(content.substr(0, from));
  out.append(text);
  out.append(content.substr(to));
  return out;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWhole(const char* path, std::string* out) {
  out->clear();
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) out->reserve(static_cast<size_t>(st.st_size));
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

// Reads the file a piece at a time and calls fn(text) for each line after a
// byte-order mark, in order, until fn returns false: a read holds no more of
// the file than its longest line, however large the file is.
template <typename Fn>
ReadResult ForEachLineOfFile(const char* path, Fn fn) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
  constexpr size_t kPiece = 1 << 16;
  std::string buf;
  size_t start = 0;
  bool first = true;
  for (;;) {
    size_t held = buf.size();
    buf.resize(held + kPiece);
    ssize_t n = read(fd, buf.data() + held, kPiece);
    buf.resize(held + (n > 0 ? static_cast<size_t>(n) : 0));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return ReadResult::Failed;
    }
    const bool atEnd = n == 0;
    if (first) {
      if (buf.size() < 3 && !atEnd) continue;
      start = ByteOrderMarkLength(buf);
      first = false;
    }
    const std::string_view held_text(buf);
    for (;;) {
      size_t j = FindLineBreak(held_text, start);
      // A CR that ends what is held may yet be followed by its LF.
      if (j == std::string_view::npos || (held_text[j] == '\r' && j + 1 == held_text.size() && !atEnd)) break;
      if (!fn(held_text.substr(start, j - start))) {
        close(fd);
        return ReadResult::Ok;
      }
      start = j + EolLength(held_text, j);
    }
    if (atEnd) {
      if (start < held_text.size()) fn(held_text.substr(start));
      close(fd);
      return ReadResult::Ok;
    }
    buf.erase(0, start);
    start = 0;
  }
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
  // A read-only file stays as it is, as Windows keeps one with its read-only
  // attribute. The rename below needs only the folder's permission, so the
  // file's own is asked here; without any write bit it counts as read-only
  // even for a user whom the system would let write it.
  if (hadOld && ((old.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) return false;

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
  std::string list;
  auto listHeader = [&list](std::string_view text) {
    Parsed p = Parse(text);
    // A nameless section cannot be listed: its empty name would end the list.
    if (p.kind == Kind::Header && !p.name.empty()) {
      list.append(p.name);
      list += '\0';
    }
    return true;
  };
  if (lpFileName && ForEachLineOfFile(lpFileName, listHeader) != ReadResult::Ok) list.clear();
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
  if (!lpFileName) return fallback;

  // Windows reads the text of the key, or with a null section the list of
  // section names, with a null key the list of keys, and takes the integer of
  // its first item. Only the first section of the name counts; the part
  // before the first header is the section "".
  std::string found;
  const std::string_view section = lpAppName ? Trim(lpAppName) : std::string_view();
  const std::string_view key = lpKeyName ? Trim(lpKeyName) : std::string_view();
  bool inside = lpAppName && section.empty();
  auto read = [&](std::string_view line) {
    Parsed p = Parse(line);
    if (!lpAppName) {
      if (p.kind != Kind::Header || p.name.empty()) return true;
      found = p.name;
      return false;
    }
    if (p.kind == Kind::Header) {
      if (inside) return false;
      inside = EqualNoCase(p.name, section);
      return true;
    }
    if (!inside || p.kind != Kind::Key) return true;
    if (!lpKeyName) {
      found = p.name;
      return found.empty();
    }
    if (!EqualNoCase(p.name, key)) return true;
    found = p.value;
    return false;
  };
  if (ForEachLineOfFile(lpFileName, read) != ReadResult::Ok) return fallback;
  std::string_view text = found;
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
  const WritePlace w = FindWritePlace(content, lpAppName, lpKeyName);
  const std::string eol(w.eol);

  std::string result;
  if (!lpKeyName) {
    if (!w.found) return TRUE;
    result = Spliced(content, w.begin, w.end, "");
  } else if (!w.found) {
    if (!lpString) return TRUE;
    // A last line without a line ending gets one before the new section.
    const bool open = content.size() > ByteOrderMarkLength(content) && content.back() != '\n' && content.back() != '\r';
    std::string added = (open ? eol : "") + "[" + std::string(Trim(lpAppName)) + "]" + eol +
                        std::string(Trim(lpKeyName)) + "=" + lpString + eol;
    result = Spliced(content, content.size(), content.size(), added);
  } else if (!lpString) {
    if (w.key == kNone) return TRUE;
    result = Spliced(content, w.key, w.keyLineEnd, "");
  } else if (w.key != kNone) {
    if (w.keyLine.hasValue && w.keyLine.value == lpString) return TRUE;
    // The key keeps the spelling it has in the file.
    result = Spliced(content, w.key, w.keyTextEnd, std::string(w.keyLine.name) + "=" + lpString);
  } else {
    std::string added = (w.insertNeedsEol ? eol : "") + std::string(Trim(lpKeyName)) + "=" + lpString + eol;
    result = Spliced(content, w.insert, w.insert, added);
  }
  return ReplaceFile(lpFileName, result) ? TRUE : FALSE;
}
