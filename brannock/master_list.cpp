// master_list.cpp: reading the master server's list of game servers.
#include "brannock/master_list.h"

#include "brannock/byte_cursor.h"
#include "brannock/text_builder.h"

namespace brannock {
namespace {

constexpr uint8_t kEndOfList = 2;

// Formatted in a local buffer: a list carries hundreds of addresses.
const char* dotted(const uint8_t (&parts)[4], char (&text)[16]) {   // "255.255.255.255"
    std::size_t n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text[n++] = '.';
        const unsigned v = parts[i];
        if (v >= 100) text[n++] = static_cast<char>('0' + v / 100);
        if (v >= 10) text[n++] = static_cast<char>('0' + v / 10 % 10);
        text[n++] = static_cast<char>('0' + v % 10);
    }
    text[n] = '\0';
    return text;
}

constexpr uint8_t kThisNetwork = 0;        // 0.0.0.0/8
constexpr uint8_t kFirstMulticast = 224;   // 224.0.0.0/4, then 240.0.0.0/4 up to the broadcast address

// Only the first number decides: every range left out is whole /8 blocks or more.
bool usable_server(const uint8_t (&address)[4], uint16_t port) {
    return port != 0 && address[0] != kThisNetwork && address[0] < kFirstMulticast;
}

}  // namespace

MasterStatus read_master_list(std::span<const unsigned char> decoded, MasterEntryFn fn, void* context) {
    ByteCursor cursor(decoded);
    const uint32_t status = cursor.u32();
    if (!cursor.ok()) return MasterStatus::ignored;
    if (status == kMasterOutdated) return MasterStatus::outdated;
    if (status != kMasterListFollows) return MasterStatus::ignored;

    for (;;) {
        const uint8_t marker = cursor.u8();
        if (!cursor.ok() || marker == kEndOfList) break;
        uint8_t parts[4];
        for (uint8_t& part : parts) part = cursor.u8();
        const uint16_t port = cursor.u16();
        if (!cursor.ok()) break;   // a record cut short is dropped
        if (!usable_server(parts, port)) continue;
        char address[16];
        DecimalText port_text;
        fn(context, dotted(parts, address), decimal(port, port_text));
    }
    return MasterStatus::list;
}

}  // namespace brannock
