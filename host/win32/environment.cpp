// environment.cpp: environment variables, for Windows builds: the system's wide environment
// (GetEnvironmentVariableW), in UTF-8, so a path outside the ANSI code page arrives whole.
#include <windows.h>

#include "host/os.h"
#include "host/utf.h"

namespace host::os {

std::optional<std::string> environment_variable(const std::string& name) {
    const std::u16string wide_name = utf8_to_utf16(name);
    const auto* key = reinterpret_cast<const wchar_t*>(wide_name.c_str());
    std::u16string value(MAX_PATH, u'\0');
    for (;;) {
        // An empty value also answers 0, but leaves the last error as it was.
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetEnvironmentVariableW(key, reinterpret_cast<wchar_t*>(value.data()), static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        if (length < value.size()) {
            value.resize(length);
            return utf16_to_utf8(value);
        }
        value.resize(length);   // too small: `length` is the size it needs, its zero included
    }
}

}  // namespace host::os
