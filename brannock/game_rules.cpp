// game_rules.cpp: look-ups in the game-rules table.
#include "brannock/game_rules.h"

namespace brannock {

const GameRule* game_rule(int type) {
    if (type < 0 || type >= kGameTypeCount) return nullptr;
    return &kGameRules[static_cast<std::size_t>(type)];
}

std::string_view game_type_name(int type) {
    const GameRule* rule = game_rule(type);
    return rule ? rule->list_name : kUnknownGameType;
}

std::string_view game_type_text(int type) {
    const GameRule* rule = game_rule(type);
    return rule ? rule->option : std::string_view();
}

bool carries_team_byte(int type) {
    const GameRule* rule = game_rule(type);
    return rule && rule->team_byte;
}

std::string_view modifier_text(int modifier) {
    switch (modifier) {
        case 1: return "+instagib 1 ";
        case 2: return "+buckshot 1 ";
        default: return {};
    }
}

}  // namespace brannock
