# Writes INPUT's bytes as a C++ array NAME (and NAME_size) into OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_len)
math(EXPR size "${hex_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.\n"
"#include <cstddef>\n"
"// Aligned like a loaded module's resources: the loader hands out pointers to the\n"
"// UTF-16 texts inside.\n"
"extern \"C\" alignas(16) const unsigned char ${NAME}[] = {\n${bytes}\n};\n"
"extern \"C\" const std::size_t ${NAME}_size = ${size};\n")
