#pragma once
// A scripted TCP server on loopback for the answers a proper web server never gives. It accepts one
// connection, plays its steps in order and then holds the connection open until the object goes.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct script_step {
	enum kind_enum { send, read_request, gate, close, reset } kind;
	std::string bytes;
};
inline script_step send_bytes(std::string bytes) { return {script_step::send, std::move(bytes)}; }
inline script_step read_request() { return {script_step::read_request, ""}; } // up to the empty line
inline script_step wait_gate() { return {script_step::gate, ""}; }             // until open_gate()
inline script_step end_connection() { return {script_step::close, ""}; }       // orderly close
inline script_step reset_connection() { return {script_step::reset, ""}; }     // abortive close (reset)

class script_server {
public:
	explicit script_server(std::vector<script_step> script);
	~script_server();
	script_server(const script_server&) = delete;
	script_server& operator=(const script_server&) = delete;

	int port = 0;
	std::string server() const { return "127.0.0.1:" + std::to_string(port); }
	void open_gate();
	std::string request() const; // the bytes the read_request steps took in
	int steps_done() const;

private:
	void run();
	bool play(const script_step& step, int conn);
	bool wait_open(); // false when the server is stopping

	std::vector<script_step> script_;
	int listen_fd_ = -1;
	int conn_fd_ = -1;
	mutable std::mutex lock_;
	std::condition_variable wake_;
	int gates_open_ = 0;
	int steps_done_ = 0;
	bool stopping_ = false;
	std::string request_;
	std::thread thread_;
};
