# Everything the suffix table tool is made of, for builds of it outside the
# main project (the host-tools build of a cross-compiled tree).
set(QUILLON_SUFFIX_SOURCES
  ${QUILLON_SOURCE_DIR}/tools/PublicSuffix/MakeSuffixTable.cpp
  ${QUILLON_SOURCE_DIR}/tools/PublicSuffix/Punycode.cpp)
