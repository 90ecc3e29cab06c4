// The guard-page allocator's meter: the bytes of the live blocks of the program's own allocations
// (and of the plug-ins it loaded), and the most they came to since the meter was restarted. Off
// (everything 0) when the allocator passes to the runtime (VYX_GUARD_ALLOCATOR=0).
#pragma once

#include <cstddef>

bool GuardMeterOn();
void GuardMeterRestart();
std::size_t GuardMeterLive();
std::size_t GuardMeterPeak();
// The largest block asked for since the restart, whether it was granted or not.
std::size_t GuardMeterLargestRequest();
