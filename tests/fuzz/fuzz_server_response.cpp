// fuzz_server_response.cpp: any datagram through the server-list reading of a game server reply.
// Besides reading safely, the properties the launcher is told must keep their order, their forms
// and sizes the reply can actually account for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "brannock/reply_layout.h"
#include "brannock/server_list_columns.h"
#include "tests/fuzz/walked_reply.h"

namespace {

// The launcher is told the keys in this order; "PWAD<n>" repeats, counting up from 0.
int rank_of(const std::string& key) {
    static const char* const order[] = {"WEBSITE", "EMAIL", "LIMIT", "PWAD", "MAP", "TYPE", "GAME", "ICON", "USERS"};
    if (key.empty()) return 9;
    for (int i = 0; i < 9; ++i) {
        const std::string name = order[i];
        if (key == name || (name == "PWAD" && key.rfind(name, 0) == 0)) return i;
    }
    return -1;
}

bool is_byte_decimal(const char* value) {
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    return *value != '\0' && *end == '\0' && n >= 0 && n <= 255;
}

struct Seen {
    std::size_t data = 0;   // decoded bytes
    int last_rank = -1;
    std::size_t pwads = 0;
    bool type = false, icon = false, name = false;
};

void check(Seen& seen, const char* key_text, const char* value) {
    const std::string key = key_text;
    const int rank = rank_of(key);
    if (rank < 0 || rank < seen.last_rank) __builtin_trap();
    if (rank == seen.last_rank && key.rfind("PWAD", 0) != 0) __builtin_trap();   // said twice
    seen.last_rank = rank;
    const std::size_t length = std::strlen(value);
    if (key.rfind("PWAD", 0) == 0) {
        if (key != "PWAD" + std::to_string(seen.pwads++)) __builtin_trap();
        for (const char* c = value; *c; ++c)
            if (*c >= 'A' && *c <= 'Z') __builtin_trap();   // names are lower-cased
    }
    // A text uses its bytes and a terminator; the map adds " - " and ", " between the names,
    // which is at most one byte per name more than their terminators took.
    if (key == "MAP" && length > seen.data + seen.pwads) __builtin_trap();
    if ((key == "WEBSITE" || key == "EMAIL" || key.rfind("PWAD", 0) == 0 || key.empty()) && length >= seen.data)
        __builtin_trap();
    if (key.empty() && length > brannock::kServerNameMax) __builtin_trap();
    if ((key == "LIMIT" || key == "USERS") && !is_byte_decimal(value)) __builtin_trap();
    if (key == "ICON" && std::strcmp(value, "13") != 0 && std::strcmp(value, "14") != 0) __builtin_trap();
    seen.type |= key == "TYPE";
    seen.icon |= key == "ICON";
    seen.name |= key.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::WalkedReply walked = fuzz::walk_datagram(data, size, brannock::kListReading);
    if (walked.read != brannock::ReplyRead::complete) return 0;
    const auto& decoded = walked.decoded;
    const brannock::ReplyFields& reply = walked.fields;
    // Every field the walk marks lies inside the decoded bytes.
    for (const auto& bytes : reply.at) {
        if (!bytes.empty() && (bytes.data() < decoded.data() || bytes.data() + bytes.size() > decoded.data() + decoded.size())) {
            __builtin_trap();
        }
    }
    Seen seen;
    seen.data = decoded.size();
    brannock::server_properties(reply, [&](const char* key, const char* value) { check(seen, key, value); });
    // Type, icon and name are told always, whatever the reply held.
    if (!seen.type || !seen.icon || !seen.name) __builtin_trap();
    return 0;
}
