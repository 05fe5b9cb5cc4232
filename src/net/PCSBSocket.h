#pragma once
// A TCP socket that never blocks: the caller polls it once per frame for its state and for data, and
// may wait a moment for the first of several sockets to have something.
#include <utility>
#include <vector>

enum PCSB_Status : unsigned char {
	pcsbstatus_Ready = 1,        // created, not connected
	pcsbstatus_Connecting = 2,   // connection under way
	pcsbstatus_Connected = 3,    // connection established
	pcsbstatus_Disconnected = 4, // over: closed by either side, reset, refused or half-closed by Disconnect
	pcsbstatus_Error = 5         // a system call failed; GetOSError() holds its code
};

class PCSBSocket {
public:
	PCSBSocket(unsigned short inPort, bool inServer);
	virtual ~PCSBSocket();
	PCSBSocket(const PCSBSocket&) = delete;
	PCSBSocket& operator=(const PCSBSocket&) = delete;

	static bool StartupNetworking();
	// IPv4 address in network byte order, 0 when the name cannot be resolved.
	static unsigned long LookupAddress(const char* inAddress);

	void Connect(unsigned long inIP, unsigned short inPort);
	PCSB_Status GetStatus();
	int GetOSError() const { return mSocketError; }
	bool ReceivedRelease() const { return mReceivedRelease; }
	// Bytes moved, 0 when the call would block, -1 when the connection is over or failed.
	long ReadData(void* outBuf, long inLength);
	long http_WriteData(const void* inBuf, long inLength);
	// Half-closes: our sending side ends, the peer's answer can still be read.
	void Disconnect();
	// Waits up to `ms` milliseconds until one of the sockets has something for its caller: a connection
	// settled, data or the peer's end arrived, or room to send where the flag asks for it. Returns at
	// once when one of them is not connecting or connected, as its caller then has work.
	static void WaitForAny(const std::vector<std::pair<PCSBSocket*, bool>>& sockets, int ms);

private:
	void fail(int code);
	long sort_failure(int code, bool sending);

	int mWinSocket = -1; // the descriptor; -1 when it could not be created
	PCSB_Status mSocketStatus = pcsbstatus_Ready;
	int mSocketError = 0;
	bool mReceivedRelease = false; // the peer has closed its sending side
	bool mSentRelease = false;     // our sending side is closed (Disconnect)
	bool mIsAServer = false;
};
