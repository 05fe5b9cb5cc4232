# Writes the PNG files ASSET_DIR/<name>.png for each name in NAMES (separated by commas) into OUTPUT as
# C++ byte arrays ins_png_<name> with their sizes ins_png_<name>_size, so that the program carries its
# interface pictures inside itself.
#   cmake -DASSET_DIR=assets -DNAMES=a,b -DOUTPUT=file.cpp -P embed_assets.cmake
string(REPLACE "," ";" names "${NAMES}")
string(REPEAT "0x..," 16 line)
set(text "// Generated from the PNG files under assets/; do not edit.\n#include <cstddef>\n\n")
foreach(name IN LISTS names)
	file(READ "${ASSET_DIR}/${name}.png" hex HEX)
	string(LENGTH "${hex}" digits)
	math(EXPR bytes "${digits} / 2")
	string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
	string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
	string(APPEND text "extern const unsigned char ins_png_${name}[] = {\n${hex}};\n")
	string(APPEND text "extern const std::size_t ins_png_${name}_size = ${bytes};\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
