#pragma once
// A real nginx on a free loopback port, configured in a temporary folder and serving a web root that
// the test fills; stopped (and the folder removed) when the object goes.
#include <string>
#include <sys/types.h>

class nginx_fixture {
public:
	// With `with_proxy`, a second port acts as a plain forward proxy (absolute request URIs).
	explicit nginx_fixture(bool with_proxy = false);
	~nginx_fixture();
	nginx_fixture(const nginx_fixture&) = delete;
	nginx_fixture& operator=(const nginx_fixture&) = delete;

	std::string dir;      // the temporary folder, ends with '/'
	std::string web_root; // dir + "www/"
	int port = 0;
	int proxy_port = 0;   // 0 without a proxy

	std::string server() const { return "127.0.0.1:" + std::to_string(port); }
	// A file under the web root; "404.html" there is the page that goes with a 404 answer.
	void put(const std::string& rel, const std::string& content) const;
	std::string access_log() const;
	std::string proxy_log() const;

private:
	void stop(); // ends nginx and removes the folder
	pid_t pid = -1;
};

// A loopback port that was free a moment ago.
int free_loopback_port();
// Waits (a few seconds at most) until something accepts connections on the loopback port.
bool wait_for_port(int port);
// A test file of `size` bytes that differ from one another and from file to file with `seed`.
std::string test_bytes(size_t size, unsigned seed);
