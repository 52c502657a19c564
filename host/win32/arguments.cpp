// arguments.cpp: the command-line words, for Windows builds: the wide command line split as
// Windows splits it (CommandLineToArgvW), each word in UTF-8, so a path outside the ANSI code
// page arrives whole.
#include <windows.h>

#include <shellapi.h>

#include "host/os.h"
#include "host/utf.h"

namespace host::os {

std::vector<std::string> arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    if (!words) {   // no wide command line to be had: the ANSI words, converted
        for (int i = 1; i < argc; ++i) out.push_back(ansi_to_utf8(argv[i]));
        return out;
    }
    for (int i = 1; i < count; ++i) out.push_back(utf16_to_utf8(reinterpret_cast<const char16_t*>(words[i])));
    LocalFree(words);
    return out;
}

}  // namespace host::os
