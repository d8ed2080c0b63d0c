# Build tools that run on the build machine. Natively they are ordinary
# targets (tools/ScriptCipher, tools/PublicSuffix); a cross build makes them
# with the build machine's compiler (tools/host), so producing the
# enciphered files and the suffix table never needs Wine. Each tool's
# QUILLON_<NAME>_TOOL names the program and QUILLON_<NAME>_DEPENDS the
# target that builds it.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
include(ExternalProject)
set(quillon_host_dir ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(quillon_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/host
  BINARY_DIR ${quillon_host_dir}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${quillon_host_dir}/quillon-cipher ${quillon_host_dir}/quillon-suffixes)
set(QUILLON_CIPHER_TOOL ${quillon_host_dir}/quillon-cipher)
set(QUILLON_CIPHER_DEPENDS quillon_host_tools)
set(QUILLON_SUFFIX_TOOL ${quillon_host_dir}/quillon-suffixes)
set(QUILLON_SUFFIX_DEPENDS quillon_host_tools)
