# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the bytes of the name lists as C++ arrays, so that the program carries the lists
# exactly as they are kept in src/game/names/ (game/Names.cpp reads them):
#   cmake -DOUTPUT=<file.cpp> -DINPUTS="<symbol>=<file>;..." -P Embed.cmake
set(text "// Made at build time from src/game/names/ by Embed.cmake: do not edit.\n")
string(APPEND text "#include <string_view>\n\nnamespace tavrilo::game::lists {\n\n")
foreach(pair IN LISTS INPUTS)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 symbol)
  list(GET parts 1 file)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND text "constexpr char k${symbol}Bytes[] = {${bytes}'\\0'};\n")
  string(APPEND text "extern const std::string_view k${symbol};\n")
  string(APPEND text "const std::string_view k${symbol}(k${symbol}Bytes, ${size});\n\n")
endforeach()
string(APPEND text "}  // namespace tavrilo::game::lists\n")
file(WRITE "${OUTPUT}.tmp" "${text}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
