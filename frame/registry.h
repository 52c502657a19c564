// registry.h: the launcher's callbacks as SDLL_InitCall hands them over, and the host handle.
//
// The plug-ins rely on the launcher having set every slot they use before calling any export
// other than SDLL_Init and SDLL_InitCall; nothing here checks that a slot is set.
#pragma once

#include "frame/launcher.h"

namespace frame {

void set_host_handle(HostHandle host);
HostHandle host_handle();
void set_slot(unsigned slot, void* function);   // slots 0..25; any other number is ignored
void* slot(unsigned slot);

// The launcher function in `slot`, typed.
template <typename Fn>
Fn host(HostSlot s) { return reinterpret_cast<Fn>(slot(s)); }

}  // namespace frame
