# embed.cmake: turns a settings description into a C++ source that registers its exact bytes as
# resource 101 of type CONFIGURATION, the posix stand-in for a Windows resource section.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\n#include \"platform/platform.h\"\n"
  "namespace {\nconst char description[] = {${bytes} 0};\n"
  "struct Register { Register() { platform::register_resource(101, \"CONFIGURATION\", description, ${size}); } };\n"
  "const Register registered;\n}\n")
