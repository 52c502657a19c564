// iwads.cpp: lookups in the IWAD table, by number and by file name.
#include "frame/iwads.h"

namespace frame {

std::span<const IwadRow> iwad_table() { return kIwadTable; }

const IwadRow* find_iwad(int number) {
    for (const IwadRow& row : kIwadTable) {
        if (row.number == number) return &row;
    }
    return nullptr;
}

bool IwadFileName(int number, std::string* target) {
    const IwadRow* row = find_iwad(number);
    if (!row) return false;
    target->assign(row->file);
    return true;
}

int iwad_number(std::string_view file) {
    for (const IwadRow& row : kIwadTable) {
        if (file == row.file) return row.number;
    }
    return kUnknownIwad;
}

}  // namespace frame
