#pragma once
// HTTP/1.1 downloads in six slots, directly or through a proxy. Each slot is advanced once per frame
// by net_check, which never waits on the network; wait_for_network waits a bounded moment when asked.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class PCSBSocket;

constexpr int http_slots = 6;
constexpr int http_chunk = 65536;       // most bytes one step reads
constexpr int http_header_cap = 65536;  // most bytes a response header may take, interim answers included

// One download: the request, its connection, the parsed answer and the destination file.
class down_class {
public:
	down_class(const char* inServerIP, unsigned short inPort, const char* inURL, bool inIsPost,
	           const std::map<std::string, std::string>& inExtraFields, const char* inContentBuffer,
	           int inContentBufferLength, const char* rel_path);
	~down_class();
	down_class(const down_class&) = delete;
	down_class& operator=(const down_class&) = delete;

	void DoProcessing();
	// 0 no socket, 1 connecting, 2 socket error, 3 disconnected, 4 sending the request,
	// 5 header complete and body arriving, 6 waiting for the header.
	int GetStat();
	std::string GetResponseName() const { return mResponseName; }
	bool IsDone() { return GetStat() == 3; }
	bool IsComplete() const { return mIncomingLength == mReceivedPayload; }
	bool IsErr() { int s = GetStat(); return mFileErr != 0 || s == 0 || s == 2; }
	int GetOSErr() const;

	PCSBSocket* mSocket = nullptr;
	std::vector<char> mOutBuf;        // request bytes the socket has not taken yet
	std::vector<char> mInBuf;         // received bytes not consumed yet
	bool mGotWholeHeader = false;     // the header of a final answer (status 200 or more) is in
	int mResponseNum = 0;             // -1 once connecting, then the status of the last status line
	std::string mResponseName;
	std::map<std::string, std::string> mFields; // names exact, case matters; the first value wins
	FILE* mDestFile = nullptr;
	std::string mDestFileName;        // empty: the body stays in mInBuf
	int mFileErr = 0;
	int mIncomingLength = -1;         // Content-Length; -1 while not announced
	int mReceivedPayload = 0;         // body bytes written to the file
	float last_read_time = 0;         // xtim.real_time at creation, then whenever body bytes arrived
	int mHeaderBytes = 0;             // header bytes consumed so far, held to http_header_cap

private:
	bool parse_header();
	void end_of_header();
	// Counts and writes body bytes to the file; false when they were not taken (no file, none, too many).
	bool take_body(const char* data, size_t size);
	void close_file();
};

class http_class {
public:
	std::string ProxyHost;     // empty: no proxy
	std::string ProxyPort_str; // kept for the preference file only
	int ProxyPort_int = 0;     // 0: no proxy
	down_class* down[http_slots] = {};

	// Advances slot `o` (0 to 5), creating its download on the first call for a free slot.
	// `server` is "host" or "host:port" (port 80 by default), `file` the absolute request path.
	// 0 running (or nothing in the slot), 1 complete with a 2xx answer, 2 failed; after 1 or 2 the slot
	// is free again and the destination file closed.
	int net_check(int o, std::string server, std::string file, const std::string& rel_path);
	// Ends the download in slot `o`, if any, as a failure would (its destination file is closed, not
	// removed). Returns the destination's path, empty when the slot was free.
	std::string cancel(int o);
	// Waits up to `ms` milliseconds until a busy slot's connection has something for net_check; at once
	// when no slot is busy. A caller with nothing else to do leaves the processor to other work so.
	void wait_for_network(int ms);

private:
	void free_slot(int o);
};

extern http_class http;
extern std::vector<std::string> gProxyExclude; // host endings reached without the proxy

// Requests for this host go through the proxy.
bool UseProxy(const char* inIP);
// Splits "host" or "host:port" (port 1 to 65535, 80 when absent); false when the port is not one.
bool split_server(const std::string& server, std::string& host, unsigned short& port);
