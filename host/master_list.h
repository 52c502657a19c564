// master_list.h: what a master server's datagram holds, as the stand-in launcher reads it itself.
//
// The plug-in hands the launcher every whole record of a master's list and says nothing of a
// list cut short or of a datagram that is no list at all (Host_AddServer is simply not called),
// so the stand-in decodes the datagram on its own to tell the person which it was.
#pragma once

#include <span>

namespace host {

enum class MasterList {
    whole,        // status 0 and the end marker after the last record
    cut_short,    // the datagram ends before the end marker: servers may be missing
    not_a_list,   // it does not decode, or its status is not "a server list follows"
};

MasterList read_master_list(std::span<const unsigned char> datagram);
// "whole", "cut short", "not a server list".
const char* master_list_name(MasterList list);

}  // namespace host
