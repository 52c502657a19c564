// response_file_history_test.cpp: random histories of launchers sharing one engine folder, and
// the user's own doomargs.tmp through all of them.
//
// Each launcher holds one engine session; the folder lives in memory behind the platform layer's
// fallible calls, engine starts and waits are played by the test. A step is one of: the user
// writes an own doomargs.tmp (only while no launcher has a game under way), a launch, an engine
// ending, a finish poll, a launcher going away without its finish (a fresh one takes its place),
// or the next find-first, rename, move, delete or file write failing. After every step the user's
// last file is in doomargs.tmp, doomargs.tmp.bak or a numbered doomargs.tmp.N, and every message
// saying where a file is kept names a file that exists. At the end every engine ends, every
// launcher and then a freshly started one finish, and the user's last file must be doomargs.tmp or
// a numbered file a message named. RESPONSE_HISTORY_SEED replays one failing history.
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame/engine_session.h"
#include "frame/registry.h"
#include "platform/platform.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kHistories = 500;
constexpr int kStepsPerHistory = 40;
constexpr int kLaunchers = 3;
const std::string kFolder = "E:\\engine\\";
const std::string kResponse = kFolder + "doomargs.tmp";

enum class Fault { none, find_first, rename, move_replace, delete_file, write };

// The engine folder, and the one call that fails next.
struct Folder {
    std::map<std::string, std::string> files;
    Fault failing = Fault::none;
    bool fails(Fault kind) {
        if (failing != kind) return false;
        failing = Fault::none;
        return true;
    }
};
Folder* g_folder = nullptr;
std::vector<std::string>* g_messages = nullptr;

bool folder_exists(const std::string& path) {
    return !g_folder->fails(Fault::find_first) && g_folder->files.count(path) > 0;
}
bool folder_delete(const std::string& path) {
    return !g_folder->fails(Fault::delete_file) && g_folder->files.erase(path) > 0;
}
bool folder_move(const std::string& from, const std::string& to, bool replace) {
    auto& files = g_folder->files;
    if (!files.count(from) || (!replace && files.count(to))) return false;
    const std::string bytes = files[from];
    files.erase(from);
    files[to] = bytes;
    return true;
}
bool folder_rename(const std::string& from, const std::string& to) {
    return !g_folder->fails(Fault::rename) && folder_move(from, to, false);
}
bool folder_move_replace(const std::string& from, const std::string& to) {
    return !g_folder->fails(Fault::move_replace) && folder_move(from, to, true);
}
bool folder_create(const std::string& path, const std::string& text) {
    return !g_folder->fails(Fault::write) && g_folder->files.emplace(path, text).second;
}
// The short form of a file in the folder is its name, as on a volume without short names.
bool folder_short_path(const std::string& path, std::string* out) {
    if (!g_folder->files.count(path)) return false;
    *out = path;
    return true;
}
platform::ProcessHandle no_start(const std::string&, const std::string&, const std::string&, platform::ShowMode) {
    return nullptr;
}
platform::WaitResult no_wait(platform::ProcessHandle, unsigned) { return platform::WaitResult::ended; }

int SDLL_CALL capture_message(const char* text, const char*, unsigned) {
    g_messages->push_back(text);
    return 1;
}

const platform::FallibleCalls kFolderCalls{folder_short_path, folder_exists, folder_delete, folder_rename,
                                           folder_move_replace, folder_create, no_start, no_wait};

// One launcher: its session and what the test plays of its game.
struct Launcher {
    std::unique_ptr<frame::EngineSession> session = std::make_unique<frame::EngineSession>("Orvento", "doom32.exe");
    bool game_under_way = false;   // launched, neither finished nor left behind
    bool engine_runs = false;
};

// The folder and the messages shown, routed through the platform layer and the launcher's message
// box while it lives.
struct RoutedFolder {
    Folder folder;
    std::vector<std::string> messages;

    RoutedFolder() {
        g_folder = &folder;
        g_messages = &messages;
        platform::set_fallible_calls(&kFolderCalls);
        frame::set_slot(kSlotMessageBox, reinterpret_cast<void*>(&capture_message));
    }
    ~RoutedFolder() {
        frame::set_slot(kSlotMessageBox, nullptr);
        platform::set_fallible_calls(nullptr);
        g_folder = nullptr;
        g_messages = nullptr;
    }
    RoutedFolder(const RoutedFolder&) = delete;
    RoutedFolder& operator=(const RoutedFolder&) = delete;
};

// One history in its own folder.
class History : private RoutedFolder {
public:
    void play(unsigned seed);

private:
    std::set<std::string> named;   // every file a message said something is kept as
    std::vector<Launcher> launchers = std::vector<Launcher>(kLaunchers);
    std::string users_last;        // the bytes of the user's last own doomargs.tmp, if any
    int writes = 0;

    bool any_game_under_way() const {
        for (const Launcher& l : launchers)
            if (l.game_under_way) return true;
        return false;
    }

    void launch(Launcher& l, int number) {
        l.game_under_way = false;
        l.session->forget_earlier_launch();
        if (!l.session->back_up_response_file(kFolder)) return;
        if (!l.session->write_response_file(kFolder, "-response of game " + std::to_string(number) + "\n")) return;
        l.game_under_way = l.engine_runs = true;
    }
    void finish_poll(Launcher& l) {
        if (l.engine_runs) return;   // the export answers 0
        l.session->finish_with_response_file(kFolder);
        l.game_under_way = false;
    }

    void step(std::mt19937& random, int number) {
        Launcher& l = launchers[random() % launchers.size()];
        switch (random() % 7) {
            case 0:
                if (any_game_under_way()) break;
                users_last = "-user's own file " + std::to_string(++writes) + "\n";
                folder.files[kResponse] = users_last;
                break;
            case 1: launch(l, number); break;
            case 2: l.engine_runs = false; break;
            case 3: finish_poll(l); break;
            case 4: l = Launcher(); break;   // gone without a finish; a new launcher starts
            case 5: folder.failing = static_cast<Fault>(1 + random() % 5); break;
            default: finish_poll(l); break;
        }
    }

    // The files holding the user's last file.
    std::vector<std::string> holders() const {
        std::vector<std::string> found;
        for (const auto& [path, bytes] : folder.files)
            if (bytes == users_last) found.push_back(path);
        return found;
    }
    static bool numbered(const std::string& path) {
        return path.size() > kResponse.size() + 1 && path.compare(0, kResponse.size() + 1, kResponse + ".") == 0 &&
               path.find_first_not_of("0123456789", kResponse.size() + 1) == std::string::npos;
    }

    void check_messages(std::size_t shown_before) {
        for (std::size_t i = shown_before; i < messages.size(); ++i) {
            const std::string kept = test_support::kept_as_path(messages[i]);
            if (kept.empty()) continue;
            EXPECT_TRUE(folder.files.count(kept)) << "a message names a file that is not there: " << messages[i];
            named.insert(kept);
        }
    }
    void check_kept() const {
        if (users_last.empty()) return;
        bool kept = false;
        for (const std::string& path : holders()) kept |= path == kResponse || path == kResponse + ".bak" || numbered(path);
        EXPECT_TRUE(kept) << "the user's last doomargs.tmp is lost";
    }
    void check_settled() const {
        if (users_last.empty()) return;
        bool kept = false;
        for (const std::string& path : holders()) kept |= path == kResponse || (numbered(path) && named.count(path));
        EXPECT_TRUE(kept) << "once every game is over, the user's last file is neither in place nor named";
    }

    std::string dump() const {
        std::string text = "folder:\n";
        for (const auto& [path, bytes] : folder.files) text += "  " + path + ": " + bytes;
        text += "messages:\n";
        for (const std::string& m : messages) text += "  " + m + "\n";
        return text;
    }
};

void History::play(unsigned seed) {
    using testing::Test;
    std::mt19937 random(seed);
    if (random() % 2) folder.files[kResponse] = users_last = "-user's own file 0\n";
    for (int n = 1; n <= kStepsPerHistory && !Test::HasFailure(); ++n) {
        const std::size_t shown = messages.size();
        step(random, n);
        check_messages(shown);
        check_kept();
        if (Test::HasFailure()) ADD_FAILURE() << "after step " << n << "\n" << dump();
    }
    folder.failing = Fault::none;
    const std::size_t shown = messages.size();
    for (Launcher& l : launchers) {
        l.engine_runs = false;
        finish_poll(l);
    }
    Launcher restarted;
    finish_poll(restarted);
    check_messages(shown);
    check_settled();
    if (Test::HasFailure()) ADD_FAILURE() << "at the end\n" << dump();
}

TEST(ResponseFileHistory, UsersLastFileSurvivesEveryHistory) {
    const char* replay = std::getenv("RESPONSE_HISTORY_SEED");
    const unsigned first = replay ? static_cast<unsigned>(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
    const int count = replay ? 1 : kHistories;
    for (int i = 0; i < count && !HasFailure(); ++i) {
        const unsigned seed = first + static_cast<unsigned>(i);
        SCOPED_TRACE("RESPONSE_HISTORY_SEED=" + std::to_string(seed));
        History history;
        history.play(seed);
    }
}

// A response file that cannot be written starts nothing: the launch puts back what it moved aside
// itself, and the finish of that launch leaves the folder as the launch left it.
TEST(ResponseFileWrite, FailedWritePutsBackWhatTheLaunchMovedAside) {
    const std::string users = "-user's own file\n", older = "-options of an earlier game\n";
    const std::string not_written = "Orvento could not write its response file " + kResponse + ", so the game was not started.";
    const std::string kept_beside = "Orvento found " + kResponse + ".bak, left by a game that has not finished: it holds "
                                    "your earlier file and goes back in place when the game is over. The " + kResponse +
                                    " that lay beside it is kept as " + kResponse + ".1.";
    using Files = std::map<std::string, std::string>;
    const struct {
        const char* what;
        Files before, after;
        std::vector<std::string> told;
    } cases[] = {
        {"the user's file", {{kResponse, users}}, {{kResponse, users}}, {not_written}},
        {"no file", {}, {}, {not_written}},
        {"the user's file beside a backup", {{kResponse, users}, {kResponse + ".bak", older}},
         {{kResponse + ".1", users}, {kResponse + ".bak", older}}, {kept_beside, not_written}},
    };
    for (const auto& c : cases) {
        RoutedFolder routed;
        routed.folder.files = c.before;
        frame::EngineSession session("Orvento", "doom32.exe");
        EXPECT_TRUE(session.back_up_response_file(kFolder)) << c.what;
        routed.folder.failing = Fault::write;
        EXPECT_FALSE(session.write_response_file(kFolder, "-response\n")) << c.what;
        session.finish_with_response_file(kFolder);
        EXPECT_EQ(routed.folder.files, c.after) << c.what;
        EXPECT_EQ(routed.messages, c.told) << c.what;
    }
}

}  // namespace
