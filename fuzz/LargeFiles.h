// What lets the file fuzzers reach large files and long lines: a short input
// that stands for megabytes, which mutation alone would take ages to grow,
// and a scratch file in memory, so that writing it costs no disk.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace fuzz {

// The input with its repeat commands carried out. The byte 0xFE starts a
// command given by the byte after it: 0 stands for a plain 0xFE; 1 marks
// where the text to repeat begins; n of 2 or more repeats the text since the
// mark (else the last byte) until it stands 2^(n-1) times, at most 2^24, and
// sets the mark after it. The result never exceeds limit bytes.
inline std::string Expanded(std::string_view in, size_t limit) {
  std::string out;
  size_t mark = 0;
  for (size_t i = 0; i < in.size() && out.size() < limit; ++i) {
    if (static_cast<unsigned char>(in[i]) != 0xFE || i + 1 == in.size()) {
      out += in[i];
      continue;
    }
    const unsigned command = static_cast<unsigned char>(in[++i]);
    if (command == 0) {
      out += in[i - 1];
    } else if (command == 1) {
      mark = out.size();
    } else if (!out.empty()) {
      if (mark >= out.size()) mark = out.size() - 1;
      const std::string unit = out.substr(mark);
      const size_t copies = size_t{1} << std::min(command - 1, 24u);
      for (size_t k = 1; k < copies && out.size() + unit.size() <= limit; ++k) out += unit;
      mark = out.size();
    }
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

// A path for the fuzzer's scratch file: in the memory file system where
// there is one, else in /tmp; one per process.
inline std::string ScratchPath(const std::string& stem) {
  const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return folder + "/" + stem + "-" + std::to_string(getpid());
}

}  // namespace fuzz
