# Everything the cipher tool is made of, for builds of it outside the main
# project (the host-tools build of a cross-compiled tree).
set(QUILLON_CIPHER_SOURCES
  ${QUILLON_SOURCE_DIR}/tools/ScriptCipher/ScriptCipher.cpp
  ${QUILLON_SOURCE_DIR}/tools/ScriptCipher/ExploitListText.cpp
  ${QUILLON_SOURCE_DIR}/utils/Buffer/UBuffer.cpp
  ${QUILLON_SOURCE_DIR}/utils/Buffer/UIOBuffer.cpp
  ${QUILLON_SOURCE_DIR}/utils/Crypto/CCrypto.cpp
  ${QUILLON_SOURCE_DIR}/utils/Crypto/CCryptoChain.cpp
  ${QUILLON_SOURCE_DIR}/utils/Crypto/CXORCrypto.cpp
  ${QUILLON_SOURCE_DIR}/utils/Crypto/CDeflateCrypto.cpp
  ${QUILLON_SOURCE_DIR}/utils/Crypto/ScriptKey.cpp
  ${QUILLON_SOURCE_DIR}/utils/Diagnostics/DiagnosticLine.cpp
  ${QUILLON_SOURCE_DIR}/utils/Diagnostics/ReportAssertPosix.cpp)
