// registry.cpp: the callback slots and the host handle, kept for the life of the module.
#include "frame/registry.h"

namespace frame {
namespace {
HostHandle g_host = nullptr;
void* g_slots[kSlotCount] = {};
}  // namespace

void set_host_handle(HostHandle host) { g_host = host; }
HostHandle host_handle() { return g_host; }

void set_slot(unsigned slot, void* function) {
    if (slot < kSlotCount) g_slots[slot] = function;
}

void* slot(unsigned s) { return s < kSlotCount ? g_slots[s] : nullptr; }

}  // namespace frame
