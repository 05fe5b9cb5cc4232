#include "support/script_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

script_server::script_server(std::vector<script_step> script) : script_(std::move(script))
{
	listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
	sockaddr_in a{};
	a.sin_family = AF_INET;
	a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	socklen_t len = sizeof a;
	if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
	    listen(listen_fd_, 4) != 0 || getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
		throw std::runtime_error("script server: no loopback socket");
	port = ntohs(a.sin_port);
	thread_ = std::thread(&script_server::run, this);
}

script_server::~script_server()
{
	{
		std::lock_guard<std::mutex> hold(lock_);
		stopping_ = true;
		shutdown(listen_fd_, SHUT_RDWR); // wakes a waiting accept
		if (conn_fd_ >= 0) shutdown(conn_fd_, SHUT_RDWR);
	}
	wake_.notify_all();
	thread_.join();
	close(listen_fd_);
}

void script_server::open_gate()
{
	{
		std::lock_guard<std::mutex> hold(lock_);
		++gates_open_;
	}
	wake_.notify_all();
}

std::string script_server::request() const
{
	std::lock_guard<std::mutex> hold(lock_);
	return request_;
}

int script_server::steps_done() const
{
	std::lock_guard<std::mutex> hold(lock_);
	return steps_done_;
}

bool script_server::wait_open()
{
	std::unique_lock<std::mutex> hold(lock_);
	wake_.wait(hold, [this] { return stopping_ || gates_open_ > 0; });
	if (stopping_) return false;
	--gates_open_;
	return true;
}

void script_server::run()
{
	int conn = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
	if (conn < 0) return;
	{
		std::lock_guard<std::mutex> hold(lock_);
		conn_fd_ = conn;
		if (stopping_) shutdown(conn, SHUT_RDWR);
	}
	bool open = true;
	for (const script_step& step : script_) {
		open = play(step, conn);
		std::lock_guard<std::mutex> hold(lock_);
		++steps_done_;
		if (!open) break;
	}
	if (open) {
		std::unique_lock<std::mutex> hold(lock_);
		wake_.wait(hold, [this] { return stopping_; });
	}
	std::lock_guard<std::mutex> hold(lock_);
	conn_fd_ = -1;
	close(conn);
}

// Plays one step; false once the connection is closed or broken.
bool script_server::play(const script_step& step, int conn)
{
	switch (step.kind) {
	case script_step::send:
		for (size_t at = 0; at < step.bytes.size();) {
			ssize_t n = send(conn, step.bytes.data() + at, step.bytes.size() - at, MSG_NOSIGNAL);
			if (n <= 0) return false;
			at += static_cast<size_t>(n);
		}
		return true;
	case script_step::read_request: {
		std::string got;
		char buf[4096];
		while (got.find("\r\n\r\n") == std::string::npos) {
			ssize_t n = recv(conn, buf, sizeof buf, 0);
			if (n <= 0) return false;
			got.append(buf, static_cast<size_t>(n));
		}
		std::lock_guard<std::mutex> hold(lock_);
		request_ += got;
		return true;
	}
	case script_step::gate:
		return wait_open();
	case script_step::close:
		shutdown(conn, SHUT_WR);
		return true;
	case script_step::reset: {
		linger hard{1, 0}; // the close that follows sends a reset
		setsockopt(conn, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
		return false;
	}
	}
	return false;
}
