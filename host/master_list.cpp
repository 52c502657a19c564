// master_list.cpp: telling a whole master list from one cut short or no list at all.
#include "host/master_list.h"

#include <vector>

#include "brannock/codec/huffman.h"

namespace host {
namespace {

// The decoded layout: u32 status, then 7-byte records (marker, four address bytes, u16 port)
// until the end marker.
constexpr int kDecodeArea = 65536;
constexpr std::size_t kStatusBytes = 4;
constexpr std::size_t kRecordBytes = 7;
constexpr unsigned char kEndMarker = 2;

}  // namespace

MasterList read_master_list(std::span<const unsigned char> datagram) {
    std::vector<unsigned char> decoded(kDecodeArea);
    int length = 0;
    const auto status = codec::HuffmanDecode(datagram.data(), decoded.data(), static_cast<int>(datagram.size()),
                                             &length, kDecodeArea);
    if (status == codec::DecodeStatus::malformed) return MasterList::not_a_list;
    const std::size_t n = static_cast<std::size_t>(length);
    if (n < kStatusBytes) return MasterList::cut_short;
    if (decoded[0] || decoded[1] || decoded[2] || decoded[3]) return MasterList::not_a_list;
    for (std::size_t at = kStatusBytes; at < n; at += kRecordBytes) {
        if (decoded[at] == kEndMarker) return MasterList::whole;
        if (at + kRecordBytes > n) break;
    }
    return MasterList::cut_short;
}

const char* master_list_name(MasterList list) {
    switch (list) {
    case MasterList::whole: return "whole";
    case MasterList::cut_short: return "cut short";
    case MasterList::not_a_list: return "not a server list";
    }
    return "?";
}

}  // namespace host
