// settings_pages.cpp: the settings pages as `describe` shows them.
#include "host/settings_pages.h"

#include <ostream>

namespace host {
namespace {

std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string value_of(const Launcher& launcher, const Page& page, const Group& group, const Item& item) {
    return launcher.get_value(page.name, group.name, item.key).value_or("");
}

// One line per item: key, type, caption, then what a value may be; a list's rows below it.
void print_item(const Launcher& launcher, const Page& page, const Group& group, const Item& item, std::ostream& out) {
    out << "    " << item.key << "  " << item_type_name(item.type) << "  " << quoted(item.caption);
    if (item.type != ItemType::Caption) {
        if (item.default_value) out << "  default " << quoted(*item.default_value);
        out << "  value " << quoted(value_of(launcher, page, group, item));
    }
    if (item.min) out << "  min " << *item.min;
    if (item.max) out << "  max " << *item.max;
    if (item.step) out << "  step " << *item.step;
    if (item.maxlength) out << "  maxlength " << *item.maxlength;
    out << "\n";
    for (const auto& row : item.list) out << "      " << row.key << " = " << quoted(row.label) << "\n";
}

nlohmann::json item_json(const Launcher& launcher, const Page& page, const Group& group, const Item& item) {
    nlohmann::json one = {{"key", item.key}, {"type", item_type_name(item.type)}, {"caption", item.caption}};
    if (item.type != ItemType::Caption) {
        one["default"] = item.default_value ? nlohmann::json(*item.default_value) : nlohmann::json();
        one["value"] = value_of(launcher, page, group, item);
    }
    if (item.min) one["min"] = *item.min;
    if (item.max) one["max"] = *item.max;
    if (item.step) one["step"] = *item.step;
    if (item.maxlength) one["maxlength"] = *item.maxlength;
    if (!item.list.empty()) {
        one["list"] = nlohmann::json::array();
        for (const auto& row : item.list) one["list"].push_back({{"key", row.key}, {"label", row.label}});
    }
    return one;
}

}  // namespace

void print_pages(const Launcher& launcher, std::ostream& out) {
    out << launcher.name() << " (capabilities " << launcher.capabilities() << ")\n";
    for (const auto& page : launcher.description().pages) {
        out << "page " << page.name << "\n";
        for (const auto& group : page.groups) {
            out << "  group " << group.name << "\n";
            for (const auto& item : group.items) print_item(launcher, page, group, item, out);
        }
    }
}

nlohmann::json pages_json(const Launcher& launcher) {
    nlohmann::json pages = nlohmann::json::array();
    for (const auto& page : launcher.description().pages) {
        nlohmann::json groups = nlohmann::json::array();
        for (const auto& group : page.groups) {
            nlohmann::json items = nlohmann::json::array();
            for (const auto& item : group.items) items.push_back(item_json(launcher, page, group, item));
            groups.push_back({{"name", group.name}, {"items", std::move(items)}});
        }
        pages.push_back({{"name", page.name}, {"groups", std::move(groups)}});
    }
    return {{"name", launcher.name()}, {"capabilities", launcher.capabilities()}, {"pages", std::move(pages)}};
}

}  // namespace host
