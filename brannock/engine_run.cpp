// engine_run.cpp: starting the Brannock engine from its folder through the platform layer.
#include "brannock/engine_run.h"

namespace brannock {

platform::ProcessHandle start_engine(const std::string& folder, const std::string& parameters,
                                     platform::ShowMode show) {
    return platform::start_process(folder + kEngineExe, parameters, folder, show);
}

}  // namespace brannock
