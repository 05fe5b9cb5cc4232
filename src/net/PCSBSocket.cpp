#include "net/PCSBSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

PCSBSocket::PCSBSocket(unsigned short inPort, bool inServer)
{
	mWinSocket = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
	if (mWinSocket < 0) {
		fail(errno);
		return;
	}
	int one = 1;
	setsockopt(mWinSocket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // small requests go out at once
	sockaddr_in local{};
	local.sin_family = AF_INET;
	local.sin_addr.s_addr = htonl(INADDR_ANY);
	local.sin_port = htons(inPort);
	if (bind(mWinSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
		fail(errno);
		return;
	}
	if (!inServer) return;
	mIsAServer = true;
	if (listen(mWinSocket, SOMAXCONN) != 0) fail(errno);
}

PCSBSocket::~PCSBSocket()
{
	if (mWinSocket >= 0) close(mWinSocket);
}

// Nothing to start on this platform; a broken pipe is reported by send itself (MSG_NOSIGNAL).
bool PCSBSocket::StartupNetworking()
{
	return true;
}

unsigned long PCSBSocket::LookupAddress(const char* inAddress)
{
	in_addr_t quad = inet_addr(inAddress);
	if (quad != INADDR_NONE) return quad;
	addrinfo hints{};
	hints.ai_family = AF_INET;
	hints.ai_socktype = SOCK_STREAM;
	addrinfo* found = nullptr;
	if (getaddrinfo(inAddress, nullptr, &hints, &found) != 0 || !found) return 0;
	unsigned long ip = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
	freeaddrinfo(found);
	return ip;
}

void PCSBSocket::fail(int code)
{
	mSocketStatus = pcsbstatus_Error;
	mSocketError = code;
}

void PCSBSocket::Connect(unsigned long inIP, unsigned short inPort)
{
	mSocketStatus = pcsbstatus_Connecting;
	sockaddr_in peer{};
	peer.sin_family = AF_INET;
	peer.sin_addr.s_addr = static_cast<in_addr_t>(inIP);
	peer.sin_port = htons(inPort);
	if (connect(mWinSocket, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0) {
		mSocketStatus = pcsbstatus_Connected;
		return;
	}
	if (errno != EINPROGRESS && errno != EINTR) fail(errno); // both leave the connection under way
}

// One poll with a zero time-out: > 0 events (in `revents`), 0 nothing yet, < 0 failed (status Error).
static int poll_now(int fd, short events, short& revents, int& err)
{
	pollfd p{fd, events, 0};
	int n = poll(&p, 1, 0);
	if (n < 0 && errno == EINTR) n = 0;
	if (n < 0) err = errno;
	revents = p.revents;
	return n;
}

void PCSBSocket::WaitForAny(const std::vector<std::pair<PCSBSocket*, bool>>& sockets, int ms)
{
	std::vector<pollfd> fds;
	for (auto [socket, sending] : sockets) {
		PCSB_Status status = socket->mSocketStatus;
		if (status != pcsbstatus_Connecting && status != pcsbstatus_Connected) return;
		short events = status == pcsbstatus_Connecting || sending ? POLLOUT : 0;
		if (status == pcsbstatus_Connected) events |= POLLIN;
		fds.push_back({socket->mWinSocket, events, 0});
	}
	if (!fds.empty()) poll(fds.data(), fds.size(), ms); // an interrupted or failed wait only ends early
}

PCSB_Status PCSBSocket::GetStatus()
{
	short revents = 0;
	int err = 0;
	if (mSocketStatus == pcsbstatus_Ready && mIsAServer) {
		int n = poll_now(mWinSocket, POLLIN, revents, err);
		if (n < 0) fail(err);
		if (n > 0) mSocketStatus = pcsbstatus_Connecting; // a connection is pending
		return mSocketStatus;
	}
	if (mSocketStatus == pcsbstatus_Connecting) {
		int n = poll_now(mWinSocket, POLLOUT, revents, err);
		if (n < 0) fail(err);
		// A refused or failed connection polls as writable with an error: it is over, not an Error.
		if (n > 0)
			mSocketStatus = (revents & POLLOUT) && !(revents & (POLLERR | POLLHUP)) ? pcsbstatus_Connected
			                                                                      : pcsbstatus_Disconnected;
	}
	return mSocketStatus;
}

// A failed receive or send: 0 when it would block, else -1 with the connection over or in error.
long PCSBSocket::sort_failure(int code, bool sending)
{
	switch (code) {
	case EAGAIN:
#if EWOULDBLOCK != EAGAIN
	case EWOULDBLOCK:
#endif
	case EINTR:
		return 0;
	case ECONNABORTED:
	case ECONNRESET:
	case ENOTCONN:
	case ETIMEDOUT:
		mSocketStatus = pcsbstatus_Disconnected;
		return -1;
	case ESHUTDOWN:
	case EPIPE:
		if (sending) {
			mSocketStatus = pcsbstatus_Disconnected;
			return -1;
		}
		break;
	}
	fail(code);
	return -1;
}

long PCSBSocket::ReadData(void* outBuf, long inLength)
{
	ssize_t n = recv(mWinSocket, outBuf, static_cast<size_t>(inLength), 0);
	if (n > 0) return n;
	if (n < 0) return sort_failure(errno, false);
	mReceivedRelease = true;
	if (!mSentRelease) return 0;
	mSocketStatus = pcsbstatus_Disconnected;
	return -1;
}

long PCSBSocket::http_WriteData(const void* inBuf, long inLength)
{
	ssize_t n = send(mWinSocket, inBuf, static_cast<size_t>(inLength), MSG_NOSIGNAL);
	if (n >= 0) return n;
	return sort_failure(errno, true);
}

void PCSBSocket::Disconnect()
{
	shutdown(mWinSocket, SHUT_WR);
	mSentRelease = true;
	if (mSocketStatus != pcsbstatus_Error) mSocketStatus = pcsbstatus_Disconnected;
}
