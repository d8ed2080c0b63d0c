// Writes the enciphered form of a script file, as the add-on reads it:
//   WriteCipherSeed <script.js> <script.mrg>
// Used once to make the fuzzer's seed files from the scripts in data/.
#include "utils/Crypto/ScriptKey.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: WriteCipherSeed <script.js> <script.mrg>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return 1;
    UIOBuffer buffer(text.data(), text.size());
    if (!MakeScriptCryptoChain().Encrypt(buffer))
        return 1;
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(buffer.Data()), static_cast<std::streamsize>(buffer.Size()));
    return out.good() ? 0 : 1;
}
