#pragma once
// A TCP socket that never blocks: the caller polls it once per frame for its state and for data.

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
