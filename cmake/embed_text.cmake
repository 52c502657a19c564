# embed_text.cmake: turns a text file into a C++ source that defines `const char NAME[]` (in
# namespace SPACE) with the file's exact bytes and a terminating zero.
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\nnamespace ${SPACE} {\n"
  "extern const char ${NAME}[];\nconst char ${NAME}[] = {${bytes} 0};\n}\n")
