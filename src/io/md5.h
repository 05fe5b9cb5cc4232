#pragma once
// MD5 signatures of files, as the manifest gives them: 32 lower-case hexadecimal digits.
#include <openssl/evp.h>

#include <cstddef>
#include <string>

// 0 with `outSig` set, or 20006 with `outSig` unchanged when the file is missing, unreadable or empty
// (12 when the digest cannot be allocated).
int calc_file_md5(const std::string& inFileName, std::string& outSig);
// Feeds a buffer of any length to the digest.
void MD5UpdateWide(EVP_MD_CTX* ctx, const void* buf, size_t len);
