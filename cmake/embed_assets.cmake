# Writes a C++ file defining one zero-terminated char array per text file, named after it:
#   cmake -DOUTPUT=out.cpp -DINPUTS=a.html|b.css -DNAMES=page_html|page_css [-DNAMESPACE=...]
#         -P embed_assets.cmake
# The bytes are written as numbers, so no text of the files can break the C++. The arrays are in
# NAMESPACE, mosaiq::view unless it says otherwise.
if(NOT NAMESPACE)
  set(NAMESPACE mosaiq::view)
endif()
string(REPLACE "|" ";" INPUTS "${INPUTS}")
string(REPLACE "|" ";" NAMES "${NAMES}")
set(code "// Generated at build time from the page's files by embed_assets.cmake: do not edit.\nnamespace ${NAMESPACE} {\n")
list(LENGTH INPUTS count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET INPUTS ${i} input)
  list(GET NAMES ${i} name)
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND code "static const unsigned char ${name}_bytes[] = {\n${bytes}0};\n")
  string(APPEND code "extern const char* const ${name};\n")
  string(APPEND code "const char* const ${name} = reinterpret_cast<const char*>(${name}_bytes);\n")
endforeach()
string(APPEND code "}  // namespace ${NAMESPACE}\n")
file(WRITE ${OUTPUT}.new "${code}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.new ${OUTPUT})
file(REMOVE ${OUTPUT}.new)
