#include "io/md5.h"

#include "io/IO_UTILS.h"
#include "io/xmap.h"

static const char* const unit = "md5";

void MD5UpdateWide(EVP_MD_CTX* ctx, const void* buf, size_t len) { EVP_DigestUpdate(ctx, buf, len); }

int calc_file_md5(const std::string& inFileName, std::string& outSig)
{
	xmap_class file(inFileName);
	if (!file.mBegin) return set_err_loc(20006, unit, __LINE__);

	unsigned char digest[EVP_MAX_MD_SIZE];
	unsigned int digest_len = 0;
	EVP_MD_CTX* ctx = EVP_MD_CTX_new();
	if (!ctx) return set_err_loc(12, unit, __LINE__);
	EVP_DigestInit_ex(ctx, EVP_md5(), nullptr);
	MD5UpdateWide(ctx, file.mBegin, size_t(file.mEnd - file.mBegin));
	EVP_DigestFinal_ex(ctx, digest, &digest_len);
	EVP_MD_CTX_free(ctx);

	static const char hex[] = "0123456789abcdef";
	outSig.clear();
	for (unsigned int i = 0; i < digest_len; ++i) {
		outSig += hex[digest[i] >> 4];
		outSig += hex[digest[i] & 15];
	}
	return 0;
}
