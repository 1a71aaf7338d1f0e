// A disk that is full for any file longer than kFullDiskBytes: while a
// FullDisk lives, every write that would make a file longer fails.
//
// Off Windows the object sets the process's file-size limit itself. A Windows
// program cannot: Windows has no such limit, and a full volume needs one of
// its own. Under Wine the disk is the Linux process's, so the Windows build
// runs the suites named FullDisk* in a CTest entry of their own, under a limit
// set from outside (tests/CMakeLists.txt); there the object only checks that
// the limit is in force, so that no such test passes on a disk with room.
#pragma once

namespace testing_support {

// Small enough that every settings file a test's write makes is longer, large
// enough for the file it starts from.
constexpr long kFullDiskBytes = GALEBOARD_FULL_DISK_BYTES;

class FullDisk {
 public:
  FullDisk();
  ~FullDisk();
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  unsigned long long savedLimit_ = 0;
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace testing_support
