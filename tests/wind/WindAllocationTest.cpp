// The per-step wind call runs on every simulation step: it must not touch
// the heap. This program replaces the global allocation functions to count.
// (Over-aligned allocations keep the runtime's own functions: nothing in the
// module asks for one, and Windows' runtime has no aligned_alloc.)
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "module/WindState.h"
#include "tests/wind/WindTestSupport.h"

namespace {
size_t allocations = 0;

void* Allocate(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

using WindAllocationTest = wind_test::WindTest;

TEST_F(WindAllocationTest, CountingAllocatorSeesAnAllocation) {
  // Guards the test below against a replacement that is not in effect.
  size_t before = allocations;
  auto* p = new std::vector<int>(100);
  delete p;
  EXPECT_GT(allocations, before);
}

TEST_F(WindAllocationTest, ComputeWindAccelerationAllocatesNothingPerCall) {
  WindState.windAltLimit = 20000.0;
  WindState.GenerateLayers();  // setup: the layers are the one growing list
  WindState.WNDlvl = 10;
  WindState.TURlvl = 10;
  WindState.SHRlvl = 10;
  WindState.SHRt = 0;  // events, phases, new local cycles: every path

  size_t before = allocations;
  for (int i = 0; i < 20000; ++i) {
    WindState.ComputeWindAcceleration(0.001 * (i % 700), 0.02, (i * 7) % 21000, 0.0005 * i);
  }
  size_t made = allocations - before;
  EXPECT_EQ(made, 0u) << "allocations in 20000 calls";
}

}  // namespace
