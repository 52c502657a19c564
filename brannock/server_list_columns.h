// server_list_columns.h: the server list's columns, projected from a walked reply (reply_layout.h).
#pragma once

#include <memory>
#include <span>
#include <type_traits>

#include "brannock/reply_layout.h"
#include "frame/launcher.h"

namespace brannock {

// Receives one property; both texts are zero-terminated and valid only during the call. It has
// the launcher's own form, so the launcher's setter and the server reference go in as they are
// and each property costs one call.
using PropertyFn = void(SDLL_CALL*)(void* context, const char* key, const char* value);

// The launcher properties of a reply walked with kListReading, in call order: "WEBSITE",
// "EMAIL", "LIMIT", "PWAD0".., "MAP", "TYPE", "GAME", "ICON", "USERS", and the empty key with the
// server name. Absent fields are left out, except "TYPE", "ICON" and the name, which are always
// there. Texts are built in a local area: nothing is allocated.
void emit_server_properties(const ReplyFields& reply, PropertyFn fn, void* context);

template <class Target>
void SDLL_CALL forward_property(void* context, const char* key, const char* value) {
    (*static_cast<Target*>(context))(key, value);
}

// The same with any callable taking (const char* key, const char* value).
template <class Sink>
void server_properties(const ReplyFields& reply, Sink&& sink) {
    using Target = std::remove_reference_t<Sink>;
    emit_server_properties(reply, forward_property<Target>,
                           const_cast<void*>(static_cast<const void*>(std::addressof(sink))));
}

}  // namespace brannock
