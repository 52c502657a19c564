// engine_check.cpp: Orvento's IWAD names and the IWAD probe of the engine folder.
#include "orvento/engine_check.h"

#include "frame/files.h"
#include "frame/iwads.h"
#include "orvento/names.h"

namespace orvento {
namespace {
// The order in which the engine folder is searched; names and mask bits come from the IWAD
// table of the frame.
constexpr int kProbeOrder[] = {2, 1, 4, 5, 6, 8};
}  // namespace

std::string missing_engine_message() { return std::string(kEngineExe) + kMissingEngineTail; }

const char* iwad_file(int number) {
    const frame::IwadRow* row = frame::find_iwad(number);
    return row && row->orvento ? row->file : nullptr;
}

unsigned probe_iwads(std::string_view folder) {
    unsigned mask = 0;
    for (const int number : kProbeOrder) {
        for (const frame::IwadRow& row : frame::iwad_table()) {
            if (row.number == number && row.orvento && frame::FileExists(folder, row.file)) mask |= row.orvento_mask;
        }
    }
    return mask;
}

}  // namespace orvento
