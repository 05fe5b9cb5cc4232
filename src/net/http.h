#pragma once
// HTTP/1.1 downloads in six slots, directly or through a proxy.
#include <string>

class http_class {
public:
	std::string ProxyHost;     // empty: no proxy
	std::string ProxyPort_str; // kept for the preference file only
	int ProxyPort_int = 0;     // 0: no proxy
};

extern http_class http;
