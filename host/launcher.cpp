// launcher.cpp: loading a plug-in the way the launcher does, and the launcher-kept server list.
//
// Order of the load: every slot 0..25 offered through SDLL_InitCall in ascending order, then
// SDLL_Init with the host handle, then SDLL_LoadConfiguration, whose slot-0 call hands over the
// description that is parsed last. Each export call is journalled.
#include "host/launcher_impl.h"

#include <cstring>

#include "brannock/names.h"
#include "host/os.h"

namespace host {

namespace {

constexpr const char* kRequiredExports[] = {"SDLL_InitCall", "SDLL_Init", "SDLL_LoadConfiguration"};
constexpr size_t kNameCapacity = 256;   // the name buffer handed to SDLL_Init

constexpr std::size_t kMagicBytes = 4;   // enough to tell a PE from an ELF file

}  // namespace

Launcher::Launcher() : impl_(std::make_unique<Impl>()) {}

Launcher::~Launcher() {
    if (active_launcher() == this) set_active_launcher(nullptr);
    os::unload_module(impl_->module);
}

std::unique_ptr<Launcher> Launcher::open(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return nullptr;
    };
    if (active_launcher()) return fail("another plug-in is already open in this process");
    // The system would take an empty name for the program itself.
    if (path.empty()) return fail("no plug-in given: the path is empty");

    // Made absolute so that the file named is the file loaded: the system would look a bare name
    // up on the library path (posix) or beside this program first (Windows).
    const std::string full = os::full_path(path);
    std::string reason;
    void* module = os::load_module(full, &reason);
    if (!module) {
        const std::string hint = os::foreign_module_hint(os::read_file(full, kMagicBytes).value_or(""));
        return fail("cannot load plug-in " + full + ": " + (hint.empty() ? reason : hint));
    }

    std::unique_ptr<Launcher> launcher(new Launcher());
    launcher->impl_->module = module;   // unloaded by the destructor from here on
    return attach(std::move(launcher), path, error);
}

std::unique_ptr<Launcher> Launcher::open_linked(ExportLookup lookup, const std::string& label, std::string* error) {
    if (active_launcher()) {
        if (error) *error = "another plug-in is already open in this process";
        return nullptr;
    }
    std::unique_ptr<Launcher> launcher(new Launcher());
    launcher->impl_->linked = lookup;
    return attach(std::move(launcher), label, error);
}

std::unique_ptr<Launcher> Launcher::attach(std::unique_ptr<Launcher> launcher, const std::string& path,
                                           std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return nullptr;
    };
    for (const char* name : kRequiredExports)
        if (!launcher->symbol(name)) return fail("plug-in " + path + " lacks the export " + name);
    set_active_launcher(launcher.get());

    auto init_call = launcher->get<SDLL_InitCall_t>("SDLL_InitCall");
    for (unsigned slot = 0; slot < kSlotCount; ++slot) {
        init_call(slot, callback_function(slot));
        launcher->record(journal_entry(slot, "SDLL_InitCall", {slot, callback_name(slot)}, nullptr));
    }

    char name[kNameCapacity] = {};
    uint16_t capabilities = 0;
    const int init_result = launcher->get<SDLL_Init_t>("SDLL_Init")(launcher->handle(), name, &capabilities);
    name[kNameCapacity - 1] = '\0';
    launcher->impl_->name = name;
    launcher->impl_->capabilities = capabilities;
    launcher->record(journal_entry(kSlotCount, "SDLL_Init", {"host", name, capabilities}, init_result));

    const int load_result = launcher->get<SDLL_LoadConfiguration_t>("SDLL_LoadConfiguration")();
    launcher->impl_->load_result = load_result;
    launcher->record(journal_entry(kSlotCount, "SDLL_LoadConfiguration", nlohmann::json::array(), load_result));
    if (load_result != 0)
        return fail("SDLL_LoadConfiguration of " + path + " answered " + std::to_string(load_result) +
                    (load_result == 1 ? " (no settings description in the module)"
                     : load_result == 2 ? " (the settings description cannot be loaded)" : ""));
    if (!launcher->impl_->description_received)
        return fail("plug-in " + path + " never handed its settings description to slot 0");

    std::string parse_error;
    if (!parse_description(launcher->impl_->description_bytes, &launcher->impl_->description, &parse_error))
        return fail("settings description of " + path + ": " + parse_error);
    return launcher;
}

const std::string& Launcher::name() const { return impl_->name; }
bool is_brannock(const Launcher& launcher) { return launcher.name() == brannock::kPluginName; }
uint16_t Launcher::capabilities() const { return impl_->capabilities; }
int Launcher::load_configuration_result() const { return impl_->load_result; }
const std::string& Launcher::description_bytes() const { return impl_->description_bytes; }
const Description& Launcher::description() const { return impl_->description; }
HostHandle Launcher::handle() const { return const_cast<Launcher*>(this); }
void* Launcher::symbol(const char* export_name) const {
    if (impl_->linked) return impl_->linked(export_name);
    return os::module_symbol(impl_->module, export_name);
}

Launcher::GameState Launcher::game_state() const {
    return {impl_->values, files, copied_files, players, iwad, map};
}

void Launcher::restore_game_state(GameState state) {
    impl_->values = std::move(state.values);
    files = std::move(state.files);
    copied_files = std::move(state.copied_files);
    players = std::move(state.players);
    iwad = state.iwad;
    map = std::move(state.map);
}

// One entry per address and port: a server the master lists twice stays one row.
Server* Launcher::add_server(const std::string& address, const std::string& port) {
    for (auto& server : servers)
        if (server->address == address && server->port == port) return server.get();
    servers.push_back(std::make_unique<Server>());
    servers.back()->address = address;
    servers.back()->port = port;
    return servers.back().get();
}

std::optional<std::string> Launcher::server_info(const Server& server, const std::string& key) const {
    for (const auto& [name, value] : server.info)
        if (name == key) return value;
    if (key == "IWAD") return server.iwad.empty() ? server_iwad : server.iwad;
    if (key == "ADDRESS") return server.address;
    if (key == "PORT") return server.port;
    if (key == "NUMPWADS") {
        // The extra files the server runs are the PWAD0, PWAD1, ... properties stored for it.
        int count = 0;
        while (true) {
            const std::string wanted = "PWAD" + std::to_string(count);
            bool found = false;
            for (const auto& entry : server.info) found = found || entry.first == wanted;
            if (!found) break;
            ++count;
        }
        return std::to_string(count);
    }
    return std::nullopt;
}

}  // namespace host
