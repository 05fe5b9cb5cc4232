#pragma once
// Stand-in: a file mapped read-only, with the cursor fields the texture readers use.
#include <string>

class xmap_class {
public:
	explicit xmap_class(const std::string& path);
	~xmap_class();
	xmap_class(const xmap_class&) = delete;
	xmap_class& operator=(const xmap_class&) = delete;
	const char* retry(const std::string& path);

	const char* mBegin = nullptr;
	const char* mCrt = nullptr;
	const char* mEnd = nullptr;
};
