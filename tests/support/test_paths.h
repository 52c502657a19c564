// test_paths.h: where the tests find the built artefacts and make their scratch folders.
#pragma once

#include <string>

namespace test_support {

// The folder of the running test program, ending in a path separator; the plug-ins, the fake
// engine and the tools are built into the same folder.
std::string bin_dir();
// "brannock.so" / "brannock.dll" and so on, as a full path in bin_dir().
std::string plugin_path(const std::string& name);
std::string fake_engine_path();
// A new empty folder for one test, ending in a path separator.
std::string scratch_dir(const std::string& label);
// True when both name the same folder, whatever trailing separator or (on Windows) letter case.
bool same_folder(const std::string& a, const std::string& b);
// A file of the source tree, by its path relative to the tree's root.
std::string source_file(const std::string& relative);
// The name the engine gets for an existing extra file, asked of the system itself (not of the
// plug-ins' platform layer): its short form on Windows, the path as it stands elsewhere and where
// the system has no short form for it.
std::string short_form(const std::string& path);
// The whole content of a file; empty when it is missing.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
// The path a plug-in's message says a file "is kept as" (up to the message's closing full stop);
// empty when the message says no such thing.
std::string kept_as_path(const std::string& message);

}  // namespace test_support
