#include "net/http.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "net/PCSBSocket.h"
#include "runtime/xtim.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

http_class http;
std::vector<std::string> gProxyExclude;

static char readChunk[http_chunk]; // one receive buffer for all slots: they are advanced one at a time
static int inited_any = 0, soc_inited = 0; // slots cleared, networking started

static const int default_port = 80;
static const float stall_seconds = 30;

bool UseProxy(const char* inIP)
{
	if (http.ProxyPort_int == 0 || http.ProxyHost.empty()) return false;
	std::string_view host(inIP);
	for (const std::string& end : gProxyExclude)
		if (host.ends_with(end)) return false;
	return true;
}

static bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

bool split_server(const std::string& server, std::string& host, unsigned short& port)
{
	size_t colon = server.rfind(':');
	host = server;
	port = default_port;
	if (colon == std::string::npos) return true;
	std::string digits = server.substr(colon + 1);
	if (digits.empty() || digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), is_digit)) return false;
	int value = std::atoi(digits.c_str());
	if (value < 1 || value > 65535) return false;
	host = server.substr(0, colon);
	port = static_cast<unsigned short>(value);
	return true;
}

// A Content-Length value: blanks, an optional '+', then decimal digits up to the first non-digit.
// False for a negative, missing or oversized length.
static bool read_length(const std::string& text, int& length)
{
	size_t i = text.find_first_not_of(" \t");
	if (i != std::string::npos && text[i] == '+') ++i;
	if (i == std::string::npos || i >= text.size() || !is_digit(text[i])) return false;
	long long value = 0;
	for (; i < text.size() && is_digit(text[i]); ++i) {
		value = value * 10 + (text[i] - '0');
		if (value > INT_MAX) return false;
	}
	length = static_cast<int>(value);
	return true;
}

// A byte of a request path as sent. Besides the blank, the bytes that a server would take as the end
// of the path or as the start of an escape are escaped, so that a file whose name holds them can be
// fetched at all.
static std::string escaped(char c)
{
	switch (c) {
	case ' ': return "%20";
	case '#': return "%23";
	case '%': return "%25";
	case '?': return "%3F";
	default: return std::string(1, c);
	}
}

down_class::down_class(const char* inServerIP, unsigned short inPort, const char* inURL, bool inIsPost,
                       const std::map<std::string, std::string>& inExtraFields, const char* inContentBuffer,
                       int inContentBufferLength, const char* rel_path)
{
	if (rel_path) mDestFileName = app_path + rel_path;
	last_read_time = xtim.real_time;
	bool proxied = UseProxy(inServerIP);
	unsigned long ip = PCSBSocket::LookupAddress(proxied ? http.ProxyHost.c_str() : inServerIP);
	if (ip == 0) {
		xer << "Translated server " << inServerIP << " to IP addy: 0.0.0.0 and port = " << inPort << "\n";
		mFileErr = 20011;
		return;
	}
	mResponseNum = -1;
	mSocket = new PCSBSocket(0, false);
	mSocket->Connect(ip, proxied ? static_cast<unsigned short>(http.ProxyPort_int) : inPort);

	std::string request = inIsPost ? "POST " : "GET ";
	if (proxied) {
		auto host = inExtraFields.find("Host");
		request += "http://" + (host == inExtraFields.end() ? std::string() : host->second);
	}
	for (const char* c = inURL; *c; ++c) request += escaped(*c);
	request += " HTTP/1.1\r\n";
	for (const auto& [name, value] : inExtraFields) request += name + ": " + value + "\r\n";
	if (inContentBuffer) request += "Content-Length: " + std::to_string(inContentBufferLength) + "\r\n";
	request += "\r\n";
	mOutBuf.assign(request.begin(), request.end());
	if (inContentBuffer) mOutBuf.insert(mOutBuf.end(), inContentBuffer, inContentBuffer + inContentBufferLength);
}

down_class::~down_class()
{
	close_file();
	delete mSocket;
}

void down_class::close_file()
{
	if (mDestFile) fclose(mDestFile);
	mDestFile = nullptr;
}

int down_class::GetStat()
{
	if (!mSocket) return 0;
	switch (mSocket->GetStatus()) {
	case pcsbstatus_Error: return 2;
	case pcsbstatus_Disconnected: return 3;
	case pcsbstatus_Connected:
		if (!mOutBuf.empty()) return 4;
		return mGotWholeHeader ? 5 : 6;
	default: return 1;
	}
}

int down_class::GetOSErr() const
{
	if (mFileErr) return mFileErr;
	return mSocket ? mSocket->GetOSError() : 20009;
}

void down_class::DoProcessing()
{
	if (!mSocket) return;
	PCSB_Status status = mSocket->GetStatus();
	if (status == pcsbstatus_Disconnected || status == pcsbstatus_Error) return close_file();
	if (status != pcsbstatus_Connected) return;
	if (!mOutBuf.empty()) {
		long sent = mSocket->http_WriteData(mOutBuf.data(), static_cast<long>(mOutBuf.size()));
		if (sent > 0) mOutBuf.erase(mOutBuf.begin(), mOutBuf.begin() + sent);
	}
	long got = mSocket->ReadData(readChunk, sizeof readChunk);
	if (got <= 0) return;
	if (mGotWholeHeader && mDestFile) {
		take_body(readChunk, static_cast<size_t>(got));
		return;
	}
	mInBuf.insert(mInBuf.end(), readChunk, readChunk + got);
	if (!mGotWholeHeader && !parse_header()) return;
	if (mGotWholeHeader && take_body(mInBuf.data(), mInBuf.size())) mInBuf.clear();
}

// Consumes the complete header lines at the front of mInBuf. False when the download has failed
// (header over the cap, bad length, destination not writable).
bool down_class::parse_header()
{
	static const char crlf[] = "\r\n";
	auto pos = mInBuf.begin();
	while (!mGotWholeHeader) {
		auto end = std::search(pos, mInBuf.end(), crlf, crlf + 2);
		if (end == mInBuf.end()) break;
		mHeaderBytes += static_cast<int>(end - pos) + 2;
		if (mHeaderBytes > http_header_cap) break;
		std::string line(pos, end);
		pos = end + 2;
		// An empty line ends a block; only the block of a final answer ends the header. The scan goes on
		// after an interim answer so that a final answer in the same receive is not left waiting.
		if (line.empty()) {
			if (mResponseNum >= 200) end_of_header();
		} else if (line.starts_with("HTTP/") && line.size() > 13) {
			mResponseNum = std::atoi(line.substr(9, 3).c_str());
			mResponseName = line.substr(13);
		} else if (size_t sep = line.find(": "); sep != std::string::npos) {
			mFields.emplace(line.substr(0, sep), line.substr(sep + 2));
		}
	}
	mInBuf.erase(mInBuf.begin(), pos);
	if (!mGotWholeHeader && mHeaderBytes + static_cast<long long>(mInBuf.size()) > http_header_cap)
		mFileErr = EMSGSIZE;
	return mFileErr == 0;
}

void down_class::end_of_header()
{
	mGotWholeHeader = true;
	auto length = mFields.find("Content-Length");
	if (length != mFields.end() && !read_length(length->second, mIncomingLength)) {
		mFileErr = EBADMSG;
		return;
	}
	if (mDestFileName.empty()) return;
	mDestFile = fopen(mDestFileName.c_str(), "wb");
	if (!mDestFile) mFileErr = errno;
}

bool down_class::take_body(const char* data, size_t size)
{
	last_read_time = xtim.real_time;
	if (mIncomingLength != -1 && mReceivedPayload + static_cast<long long>(size) >= mIncomingLength)
		mSocket->Disconnect(); // the whole body is in: end our side; the file closes with the slot
	if (!mDestFile || size == 0) return false;
	if (static_cast<long long>(size) > INT_MAX - mReceivedPayload) {
		mFileErr = EFBIG; // an unannounced body past what the byte count can hold
		return false;
	}
	mReceivedPayload += static_cast<int>(size);
	errno = 0;
	size_t put = fwrite(data, 1, size, mDestFile);
	if (put < size) mFileErr = errno ? errno : 20010;
	return true;
}

void http_class::free_slot(int o)
{
	delete down[o];
	down[o] = nullptr;
}

std::string http_class::cancel(int o)
{
	if (o < 0 || o >= http_slots || !down[o]) return "";
	std::string dest = down[o]->mDestFileName;
	free_slot(o);
	return dest;
}

void http_class::wait_for_network(int ms)
{
	std::vector<std::pair<PCSBSocket*, bool>> sockets;
	for (down_class* d : down)
		if (d && d->mSocket) sockets.emplace_back(d->mSocket, !d->mOutBuf.empty());
	if (!sockets.empty()) PCSBSocket::WaitForAny(sockets, ms);
}

static bool ends_with_dirchar(const std::string& s)
{
	return !s.empty() && (s.back() == '/' || s.back() == '\\');
}

static bool starts_with_dirchar(const std::string& s)
{
	return !s.empty() && (s.front() == '/' || s.front() == '\\');
}

int http_class::net_check(int o, std::string server, std::string file, const std::string& rel_path)
{
	if (o < 0 || o >= http_slots) __MACIBM_alert(0, "Too many download objects requested!", "", "", "", t_exit, "http", 232);
	if (!inited_any) {
		std::fill(std::begin(down), std::end(down), nullptr);
		if (!soc_inited) {
			PCSBSocket::StartupNetworking();
			soc_inited = 1;
		}
		inited_any = 1;
	}
	if (!down[o]) {
		if (ends_with_dirchar(server))
			__MACIBM_alert(0, "net_check error! You have a dirchar at the end of the server name!", "You should not!",
			               "Our convention is that a server name is simply a server name... with no slash!", server,
			               t_exit, "http", 247);
		if (!starts_with_dirchar(file))
			__MACIBM_alert(0, "net_check error! You do not have a dirchar at the beginning of the directory name!",
			               "You should!",
			               "Our convention is that a directory name does start with a slash because it must include "
			               "the hard drive,which is a dir char on unix!",
			               file, t_exit, "http", 248);
		std::replace(server.begin(), server.end(), '\\', '/');
		std::replace(file.begin(), file.end(), '\\', '/');
		// A bad port leaves the whole entry as the host name, which then fails to resolve like any bad name.
		std::string host;
		unsigned short port;
		if (!split_server(server, host, port)) host = server;
		std::map<std::string, std::string> fields{
			{"Connection", "close"},
			{"Host", server},
			{"User-agent", "Installer-IBM/" + std::string(app_version_text).substr(strlen(app_version_text) - 4)}};
		down[o] = new down_class(host.c_str(), port, file.c_str(), false, fields, nullptr, 0, rel_path.c_str());
	}
	down_class* d = down[o];
	if (!d) return 0;
	d->DoProcessing();
	if (d->GetStat() != 3 && !d->IsComplete() && !d->IsErr()) {
		if (xtim.real_time <= d->last_read_time + stall_seconds) return 0;
		free_slot(o);
		return 2;
	}
	if (d->mResponseNum >= 200 && d->mResponseNum <= 299 && d->IsComplete() && !d->IsErr()) {
		free_slot(o);
		return 1;
	}
	xer << "HTTP Error for " << rel_path << "\n"
	    << "   server     =" << server << "\n"
	    << "   file       =" << file << "\n"
	    << "   IsDone     =" << d->IsDone() << "\n"
	    << "   IsComplete =" << d->IsComplete() << "\n"
	    << "   IsErr      =" << d->IsErr() << "\n"
	    << "   GetStat    =" << d->GetStat() << "\n"
	    << "   GetOSErr   =" << d->GetOSErr() << "\n"
	    << "   response   =" << d->GetResponseName() << " (#" << d->mResponseNum << ")\n\n";
	free_slot(o);
	return 2;
}
