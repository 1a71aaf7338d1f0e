// The system's clocks as a host sets them. The module only reads them
// (Platform.h); off Windows this layer is the system, and its clocks exist
// once in the process, in the galeboard_clocks library, so that what a host
// sets is what every module it loads reads. On Windows they are the system's
// own and are not set from here.
#pragma once

#include <cstdint>

#ifndef _WIN32
// From now on ReadTimeStampCounter gives counter, then moves it on by
// counterStep (at least 1: a counter never stands still) at every reading;
// _time64 gives calendarTime (s since 1970) and GetTickCount tickCount (ms
// since system start), both standing where they were set.
void SetSystemClocks(uint64_t counter, uint64_t counterStep, int64_t calendarTime, uint32_t tickCount);
// Back to the machine's clocks, as at load.
void RunSystemClocksFree();
#endif
