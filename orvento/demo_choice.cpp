// demo_choice.cpp: the demo folder and name read through the launcher's callbacks.
#include "orvento/demo_choice.h"

#include "orvento/demo_filing.h"
#include "orvento/setting_keys.h"

namespace orvento {

DemoChoice read_demo_choice(frame::PathReader& paths) {
    DemoChoice demo;
    std::string folder = paths.engine_path(setting::demo_folder);
    demo.name_held = frame::multiplayer_file_name(setting::demo_file, &demo.name);
    if (uses_engine_folder(folder)) folder = paths.engine_path(setting::engine_folder);
    demo.target = demo_target(folder, demo.name);
    return demo;
}

}  // namespace orvento
