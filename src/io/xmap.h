#pragma once
// A whole file mapped read-only into memory, with a cursor for the line-oriented text formats and
// the check of the common file header that ouf_open writes.
#include <cstdint>
#include <string>

class xmap_class {
public:
	explicit xmap_class(const std::string& path);
	~xmap_class();
	xmap_class(const xmap_class&) = delete;
	xmap_class& operator=(const xmap_class&) = delete;

	// Maps `path` in place of the current file; null when it is missing, unreadable or empty.
	const char* retry(const std::string& path);
	// The header's version when the marker, a version of `versions` (ended by 0) and the `tag` (when
	// not null) match, else 0. Leaves the cursor on the first line of the body.
	int check_file(int type, const int* versions, const char* tag, std::string* header_text);

	int rev_inf_bin = 0;         // the binary file was written big-endian
	const char* mBegin = nullptr; // null when nothing is mapped
	const char* mCrt = nullptr;
	const char* mEnd = nullptr;

	static bool is_white(char c) { return c == ' ' || c == '\t'; }
	static bool is_eol(char c) { return c == 0 || c == '\n' || c == '\r'; }

	void skip_white()
	{
		while (mCrt < mEnd && is_white(*mCrt)) ++mCrt;
	}
	void skip_to_eol()
	{
		while (mCrt < mEnd && !is_eol(*mCrt)) ++mCrt;
	}
	void skip_eol()
	{
		while (mCrt < mEnd && (is_eol(*mCrt) || is_white(*mCrt))) ++mCrt;
	}
	void skip_line()
	{
		skip_to_eol();
		skip_eol();
	}
	int match_word(const char* word)
	{
		skip_white();
		return match_here(word, false);
	}
	std::string read_token()
	{
		skip_white();
		const char* start = mCrt;
		while (mCrt < mEnd && !is_white(*mCrt) && !is_eol(*mCrt)) ++mCrt;
		return std::string(start, mCrt);
	}
	std::string read_rest()
	{
		skip_white();
		const char* start = mCrt;
		skip_to_eol();
		return std::string(start, mCrt);
	}
	// Digits are not checked: every byte of the word adds (byte - '0'), wrapping at 32 bits.
	int read_int()
	{
		skip_white();
		uint32_t sign = 1, value = 0;
		if (mCrt < mEnd && *mCrt == '-') {
			sign = uint32_t(-1);
			++mCrt;
		}
		if (mCrt < mEnd && *mCrt == '+') {
			sign = 1;
			++mCrt;
		}
		for (; mCrt < mEnd && !is_white(*mCrt) && !is_eol(*mCrt); ++mCrt)
			value = value * 10 + uint32_t((unsigned char)*mCrt - '0');
		return (int32_t)(sign * value);
	}
	int read_byte() { return mCrt < mEnd ? (unsigned char)*mCrt++ : 0; }
	int read_int_bin()
	{
		if (mEnd - mCrt < 4) return 0;
		const unsigned char* b = (const unsigned char*)mCrt;
		mCrt += 4;
		uint32_t v = rev_inf_bin ? (uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3])
		                         : (b[0] | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
		return (int32_t)v;
	}

private:
	// Compares `word` at the cursor; it must be followed by a white character (or, when
	// `eol_ends`, an end-of-line). On a mismatch the cursor stays where the word would begin.
	int match_here(const char* word, bool eol_ends);
	void release();
};
