// demo_choice.h: the demo the user chose, as the launcher holds it, and the file the finish
// files the recording as.
#pragma once

#include <string>

#include "frame/paths.h"

namespace orvento {

struct DemoChoice {
    std::string name;        // the demo name; longer than kDemoNameThreshold turns recording on
    bool name_held = false;  // the code page holds every character of the name
    std::string target;      // demo folder (or the engine folder) + name (+ extension)
};

// Reads the demo folder and the demo name; a demo folder too short to be one means the engine
// folder, read again.
DemoChoice read_demo_choice(frame::PathReader& paths);

}  // namespace orvento
