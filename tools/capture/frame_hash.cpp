#include "frame_hash.h"

#include <openssl/evp.h>

#include <memory>
#include <vector>

std::string frameSha256(const uint8_t* rgba, int width, int height) {
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr);
    std::vector<uint8_t> row(size_t(width) * 3);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* source = rgba + size_t(y) * size_t(width) * 4;
        for (size_t x = 0; x < size_t(width); ++x) {
            row[x * 3] = source[x * 4];
            row[x * 3 + 1] = source[x * 4 + 1];
            row[x * 3 + 2] = source[x * 4 + 2];
        }
        EVP_DigestUpdate(context.get(), row.data(), row.size());
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest, &length);
    static constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += Hex[digest[i] >> 4];
        text += Hex[digest[i] & 15];
    }
    return text;
}
