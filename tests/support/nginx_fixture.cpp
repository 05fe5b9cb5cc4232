#include "support/nginx_fixture.h"
#include "support/sandbox.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

static const char nginx_program[] = "/usr/sbin/nginx";

static sockaddr_in loopback(int port)
{
	sockaddr_in a{};
	a.sin_family = AF_INET;
	a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	a.sin_port = htons(static_cast<uint16_t>(port));
	return a;
}

int free_loopback_port()
{
	int s = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in a = loopback(0);
	socklen_t len = sizeof a;
	if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
	    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0)
		throw std::runtime_error("no free loopback port");
	close(s);
	return ntohs(a.sin_port);
}

bool wait_for_port(int port)
{
	for (int tries = 0; tries < 500; ++tries) {
		int s = socket(AF_INET, SOCK_STREAM, 0);
		sockaddr_in a = loopback(port);
		bool up = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
		close(s);
		if (up) return true;
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return false;
}

std::string test_bytes(size_t size, unsigned seed)
{
	std::mt19937 gen(seed);
	std::string s(size, '\0');
	for (char& c : s) c = static_cast<char>(gen());
	return s;
}


nginx_fixture::nginx_fixture(bool with_proxy)
{
	std::string templ = (fs::temp_directory_path() / "velmora-nginx-XXXXXX").string();
	if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
	dir = templ + "/";
	web_root = dir + "www/";
	fs::create_directories(web_root);
	port = free_loopback_port();
	if (with_proxy) proxy_port = free_loopback_port();

	std::ofstream conf(dir + "nginx.conf");
	conf << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
	     << "error_log " << dir << "error.log;\npid " << dir << "nginx.pid;\n"
	     << "events { worker_connections 1024; }\n"
	     << "http {\n"
	     << "  access_log " << dir << "access.log;\n"
	     << "  default_type application/octet-stream;\n  sendfile on;\n  keepalive_timeout 5;\n";
	for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
		conf << "  " << temp << "_temp_path " << dir << temp << ";\n";
	conf << "  server { listen 127.0.0.1:" << port << "; root " << web_root << "; error_page 404 /404.html; }\n";
	if (proxy_port)
		conf << "  server { listen 127.0.0.1:" << proxy_port << "; access_log " << dir << "proxy.log;\n"
		     << "    location / { proxy_pass http://$http_host$uri; } }\n";
	conf << "}\n";
	conf.close();

	pid = fork();
	if (pid == 0) {
		execl(nginx_program, "nginx", "-p", dir.c_str(), "-c", (dir + "nginx.conf").c_str(), nullptr);
		_exit(127);
	}
	if (pid < 0 || !wait_for_port(port) || (proxy_port && !wait_for_port(proxy_port))) {
		std::string log = read_file(dir + "error.log");
		stop();
		throw std::runtime_error("nginx did not start: " + log);
	}
}

nginx_fixture::~nginx_fixture()
{
	stop();
}

void nginx_fixture::stop()
{
	if (pid > 0) {
		kill(pid, SIGTERM);
		waitpid(pid, nullptr, 0);
		pid = -1;
	}
	std::error_code ec;
	fs::remove_all(dir, ec);
}

void nginx_fixture::put(const std::string& rel, const std::string& content) const
{
	fs::path p(web_root + rel);
	fs::create_directories(p.parent_path());
	std::ofstream(p, std::ios::binary) << content;
}

// nginx logs a request once it has sent the answer, so a client that has its answer can still be
// ahead of the log: the log is read once it has stopped growing for a moment.
std::string nginx_fixture::access_log() const
{
	std::string log = read_file(dir + "access.log");
	for (int tries = 0; tries < 40; ++tries) {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		std::string again = read_file(dir + "access.log");
		if (again == log) break;
		log = again;
	}
	return log;
}

std::string nginx_fixture::proxy_log() const
{
	return read_file(dir + "proxy.log");
}
