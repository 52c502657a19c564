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
        char address[16];
        DecimalText port_text;
        fn(context, dotted(parts, address), decimal(port, port_text));
    }
    return MasterStatus::list;
}

}  // namespace brannock
