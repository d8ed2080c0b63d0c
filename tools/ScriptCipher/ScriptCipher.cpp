// Build tool: enciphers page scripts into ".mrg" files and builds the
// exploit list "elist.dat", with the add-on's own cipher chain and key, so
// that the add-on deciphers them byte for byte.
//
//   quillon-cipher encipher <plain file> <enciphered file>
//   quillon-cipher decipher <enciphered file> <plain file>
//   quillon-cipher exploit-list <domains.txt> <elist.dat>
//
// The domain list is text, one domain per line; blank lines and lines
// starting with "#" are skipped, names are trimmed and lower-cased. The
// deciphered exploit list has one domain per line, each ended by CR LF.
#include "tools/ScriptCipher/ExploitListText.h"
#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/ScriptKey.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool ReadWholeFile(const char* path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool WriteWholeFile(const char* path, const UIOBuffer& buffer) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(buffer.Data()), static_cast<std::streamsize>(buffer.Size()));
    return static_cast<bool>(file);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillon-cipher: %s\n", message.c_str());
    return 1;
}

int Transform(const char* command, const char* input, const char* output) {
    std::string contents;
    if (!ReadWholeFile(input, contents))
        return Fail(std::string("cannot read ") + input);
    if (std::strcmp(command, "exploit-list") == 0)
        contents = ExploitListText(contents);

    UIOBuffer buffer(contents.data(), contents.size());
    CCryptoChain chain = MakeScriptCryptoChain();
    const bool decipher = std::strcmp(command, "decipher") == 0;
    if (!(decipher ? chain.Decrypt(buffer) : chain.Encrypt(buffer)))
        return Fail(std::string(decipher ? "cannot decipher " : "cannot encipher ") + input);
    if (!WriteWholeFile(output, buffer))
        return Fail(std::string("cannot write ") + output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "encipher") != 0 && std::strcmp(argv[1], "decipher") != 0 &&
                      std::strcmp(argv[1], "exploit-list") != 0)) {
        std::fprintf(stderr,
                     "usage: quillon-cipher encipher|decipher <input> <output>\n"
                     "       quillon-cipher exploit-list <domains.txt> <elist.dat>\n");
        return 2;
    }
    return Transform(argv[1], argv[2], argv[3]);
}
