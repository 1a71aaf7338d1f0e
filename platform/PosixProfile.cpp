// Private-profile files off Windows. A read goes through the file line by
// line; a write splices what it changes into the file's text, so that every
// other byte, line endings and a byte-order mark included, goes back as it
// was. Only regular files are read or replaced, and writers of one file take
// turns, in this process and in others.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

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

// Opens a regular file for reading. Anything else in its place (a FIFO, a
// device, a socket, a folder) is a file that cannot be read: a FIFO would
// block the open and a device be read for ever. What stands there is looked
// at before the open, as opening a device may already act on it; the open
// does not wait, and what it opened is checked again, in case the file was
// swapped meanwhile.
ReadResult OpenRegularFile(const char* path, int* fd) {
  struct stat st;
  if (stat(path, &st) != 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
  if (!S_ISREG(st.st_mode)) return ReadResult::Failed;
  *fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (*fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
  if (fstat(*fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(*fd);
    return ReadResult::Failed;
  }
  return ReadResult::Ok;
}

ReadResult ReadWhole(const char* path, std::string* out) {
  out->clear();
  int fd = -1;
  ReadResult opened = OpenRegularFile(path, &fd);
  if (opened != ReadResult::Ok) return opened;
  struct stat st;
  if (fstat(fd, &st) == 0) out->reserve(static_cast<size_t>(st.st_size));
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
// the file than its longest line, however large the file is, and looks at
// each byte once, however long the lines are.
template <typename Fn>
ReadResult ForEachLineOfFile(const char* path, Fn fn) {
  int fd = -1;
  ReadResult opened = OpenRegularFile(path, &fd);
  if (opened != ReadResult::Ok) return opened;
  constexpr size_t kPiece = 1 << 16;
  std::string buf;
  size_t start = 0;    // where the line being read begins
  size_t scanned = 0;  // from start up to here, no line break
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
      start = scanned = ByteOrderMarkLength(buf);
      first = false;
    }
    const std::string_view held_text(buf);
    for (;;) {
      size_t j = FindLineBreak(held_text, scanned);
      if (j == std::string_view::npos) {
        scanned = held_text.size();
        break;
      }
      // A CR that ends what is held may yet be followed by its LF.
      if (held_text[j] == '\r' && j + 1 == held_text.size() && !atEnd) {
        scanned = j;
        break;
      }
      if (!fn(held_text.substr(start, j - start))) {
        close(fd);
        return ReadResult::Ok;
      }
      start = scanned = j + EolLength(held_text, j);
    }
    if (atEnd) {
      if (start < held_text.size()) fn(held_text.substr(start));
      close(fd);
      return ReadResult::Ok;
    }
    buf.erase(0, start);
    scanned -= start;
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

// The file a write replaces: through a symbolic link, the file it names, not
// the link.
std::string WriteTarget(const char* path) {
  std::string target = path;
  if (char* real = realpath(path, nullptr)) {
    target = real;
    std::free(real);
  }
  return target;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What stands where a write goes: nothing yet, a file the write may replace,
// or something it must leave as it is. A read-only file stays as it is, as
// Windows keeps one with its read-only attribute: the rename that replaces a
// file needs only the folder's permission, so the file's own is asked here;
// without any write bit it counts as read-only even for a user whom the
// system would let write it. Anything but a regular file stays too.
enum class InPlace { Nothing, Replaceable, Kept };

InPlace WhatIsInPlace(const std::string& target, struct stat* st) {
  if (stat(target.c_str(), st) != 0) return errno == ENOENT || errno == ENOTDIR ? InPlace::Nothing : InPlace::Kept;
  if (!S_ISREG(st->st_mode) || (st->st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return InPlace::Kept;
  return InPlace::Replaceable;
}

// Writers of one file, in this process and others, take turns for the whole
// of a write, from reading the file to renaming the new one over it, so that
// none replaces the file with a text made before another's change. The lock
// is an advisory one on a file beside it, "<file>.lock", which stays: the
// file itself is replaced by a rename, and a lock on it would be a lock on
// the old file. A writer that holds the lock for longer than a few seconds
// (a stopped process) makes the write fail rather than stop the simulation.
class WriterLock {
 public:
  explicit WriterLock(const std::string& target) {
    const std::string path = target + ".lock";
    // Not through a link, nor anything but a regular file; read-only where
    // another user made it, which is enough for a lock.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno == EACCES) fd_ = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return;
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
      if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
      }
      // A file system without locks: the write goes on unguarded, as it
      // would without this lock at all.
      if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOTSUP || errno == ENOSYS || errno == EINVAL) {
        held_ = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if (std::chrono::steady_clock::now() >= deadline) return;
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
  }
  ~WriterLock() {
    // Closing the file ends the lock.
    if (fd_ >= 0) close(fd_);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  bool held() const { return held_; }

 private:
  static constexpr std::chrono::seconds kWait{5};
  int fd_ = -1;
  bool held_ = false;
};

// The temporary file of a write by process pid, beside the file it replaces.
std::string TemporaryPath(const std::string& target, pid_t pid, int n) {
  return target + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

// The process of a temporary file's name "<name>.<pid>-<n>.tmp", or 0.
pid_t WriterOf(std::string_view file, std::string_view name) {
  constexpr std::string_view kSuffix = ".tmp";
  if (file.size() <= name.size() + 1 + kSuffix.size() || file.substr(0, name.size()) != name ||
      file[name.size()] != '.' || file.substr(file.size() - kSuffix.size()) != kSuffix)
    return 0;
  file = file.substr(name.size() + 1, file.size() - name.size() - 1 - kSuffix.size());
  size_t dash = file.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == file.size()) return 0;
  for (size_t i = 0; i < file.size(); ++i)
    if (i != dash && (file[i] < '0' || file[i] > '9')) return 0;
  pid_t pid = 0;
  auto [end, ec] = std::from_chars(file.data(), file.data() + dash, pid);
  return ec == std::errc() && end == file.data() + dash ? pid : 0;
}

// Removes the temporary files that writes of the file left when their
// process was killed, so that they do not pile up. Called with the lock held,
// so that no writer that takes the lock is between creating its file and
// renaming it; a file whose process still lives stays all the same, whoever
// wrote it.
void RemoveAbandonedTemporaryFiles(const std::string& target) {
  DIR* dir = opendir(FolderOf(target).c_str());
  if (!dir) return;
  const std::string name = NameOf(target);
  while (const dirent* e = readdir(dir)) {
    pid_t pid = WriterOf(e->d_name, name);
    if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH) unlinkat(dirfd(dir), e->d_name, 0);
  }
  closedir(dir);
}

// Replaces the file at target, what WriteTarget gives, with content: a
// temporary file beside it is written, flushed to the disk and renamed over
// the old one, so that the file is at every moment either the old one or the
// new one, whole.
bool ReplaceFile(const std::string& target, const std::string& content) {
  struct stat old;
  const InPlace inPlace = WhatIsInPlace(target, &old);
  if (inPlace == InPlace::Kept) return false;

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryPath(target, getpid(), attempt);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = WriteAll(fd, content);
  if (ok && inPlace == InPlace::Replaceable) ok = fchmod(fd, old.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  int dirFd = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
  if (nSize == 1) {
    lpszReturnBuffer[0] = '\0';
    return 0;
  }
  // The names go straight into the buffer; once one does not fit the list
  // is cut there, and the rest of the file is not read.
  size_t used = 0;
  bool cut = false;
  auto listHeader = [&](std::string_view text) {
    Parsed p = Parse(text);
    // A nameless section cannot be listed: its empty name would end the list.
    if (p.kind != Kind::Header || p.name.empty()) return true;
    // As Windows, a list that fills the buffer exactly, its last NUL
    // included, counts as not fitting.
    const size_t room = nSize - 2 - used;
    if (p.name.size() + 1 > room) {
      std::memcpy(lpszReturnBuffer + used, p.name.data(), std::min(p.name.size(), room));
      cut = true;
      return false;
    }
    std::memcpy(lpszReturnBuffer + used, p.name.data(), p.name.size());
    used += p.name.size();
    lpszReturnBuffer[used++] = '\0';
    return true;
  };
  if (lpFileName && ForEachLineOfFile(lpFileName, listHeader) != ReadResult::Ok) {
    used = 0;
    cut = false;
  }
  if (cut) {
    // Ended by two NULs so that a walk over the names stops inside.
    lpszReturnBuffer[nSize - 2] = '\0';
    lpszReturnBuffer[nSize - 1] = '\0';
    return nSize - 2;
  }
  lpszReturnBuffer[used] = '\0';
  return static_cast<DWORD>(used);
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

  // Nothing, not even the lock, is made beside a file that must stay as it
  // is, or in a folder that is not there.
  const std::string target = WriteTarget(lpFileName);
  struct stat st;
  if (WhatIsInPlace(target, &st) == InPlace::Kept) return FALSE;
  WriterLock lock(target);
  if (!lock.held()) return FALSE;
  RemoveAbandonedTemporaryFiles(target);

  std::string content;
  // A file that exists but cannot be read is never replaced by a new one.
  if (ReadWhole(target.c_str(), &content) == ReadResult::Failed) return FALSE;
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
  return ReplaceFile(target, result) ? TRUE : FALSE;
}
