#include "net/PCSBSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/nginx_fixture.h"
#include "support/script_server.h"

namespace {

const unsigned long loopback_ip = htonl(INADDR_LOOPBACK);

// Polls until `done` holds; gives up after a few seconds (the test then fails on what it checks).
void poll_until(const std::function<bool()>& done)
{
	for (int tries = 0; tries < 2000 && !done(); ++tries) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// A client socket connected to `port` on loopback.
void connect_to(PCSBSocket& s, int port)
{
	s.Connect(loopback_ip, static_cast<unsigned short>(port));
	poll_until([&] { return s.GetStatus() != pcsbstatus_Connecting; });
	ASSERT_EQ(s.GetStatus(), pcsbstatus_Connected);
}

// Reads until `want` bytes came in or the socket stops giving any.
std::string read_some(PCSBSocket& s, size_t want)
{
	std::string got;
	char buf[4096];
	poll_until([&] {
		long n = s.ReadData(buf, sizeof buf);
		if (n > 0) got.append(buf, static_cast<size_t>(n));
		return got.size() >= want || n < 0;
	});
	return got;
}

} // namespace

TEST(PCSBSocket, LookupAddressTakesDottedQuadsAndNamesAndGivesZeroForUnknownNames)
{
	EXPECT_TRUE(PCSBSocket::StartupNetworking());
	EXPECT_EQ(PCSBSocket::LookupAddress("127.0.0.1"), loopback_ip);
	EXPECT_EQ(PCSBSocket::LookupAddress("10.1.2.3"), inet_addr("10.1.2.3"));
	EXPECT_EQ(PCSBSocket::LookupAddress("localhost"), loopback_ip);
	EXPECT_EQ(PCSBSocket::LookupAddress("no-such-host.invalid"), 0u);
	EXPECT_EQ(PCSBSocket::LookupAddress(""), 0u);
}

TEST(PCSBSocket, RefusedConnectionEndsDisconnectedWithoutACode)
{
	PCSBSocket s(0, false);
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Ready);
	s.Connect(loopback_ip, static_cast<unsigned short>(free_loopback_port()));
	poll_until([&] { return s.GetStatus() != pcsbstatus_Connecting; });
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Disconnected);
	EXPECT_EQ(s.GetOSError(), 0);
}

TEST(PCSBSocket, ReadGivesZeroWhenNothingIsThereAndOnThePeersCloseStaysConnected)
{
	script_server server({wait_gate(), send_bytes("hello"), end_connection()});
	PCSBSocket s(0, false);
	connect_to(s, server.port);
	char buf[16];
	EXPECT_EQ(s.ReadData(buf, sizeof buf), 0); // would block
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Connected);
	EXPECT_FALSE(s.ReceivedRelease());

	server.open_gate();
	EXPECT_EQ(read_some(s, 5), "hello");
	poll_until([&] { return s.ReadData(buf, sizeof buf) != 0 || s.ReceivedRelease(); });
	EXPECT_TRUE(s.ReceivedRelease());
	EXPECT_EQ(s.ReadData(buf, sizeof buf), 0);
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Connected);
}

TEST(PCSBSocket, WriteGivesZeroWhenThePeerDoesNotRead)
{
	script_server server({}); // accepts and never reads
	PCSBSocket s(0, false);
	connect_to(s, server.port);
	std::string block(1 << 16, 'x');
	long last = 1;
	for (int i = 0; i < 10000 && last > 0; ++i) last = s.http_WriteData(block.data(), static_cast<long>(block.size()));
	EXPECT_EQ(last, 0);
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Connected);
	EXPECT_EQ(s.GetOSError(), 0);
}

TEST(PCSBSocket, ResetByThePeerEndsDisconnectedOnReadAndOnWrite)
{
	for (bool reading : {true, false}) {
		SCOPED_TRACE(reading ? "reading" : "writing");
		script_server server({read_request(), reset_connection()});
		PCSBSocket s(0, false);
		connect_to(s, server.port);
		ASSERT_EQ(s.http_WriteData("GET / HTTP/1.1\r\n\r\n", 18), 18);
		poll_until([&] { return server.steps_done() == 2; });
		char buf[16];
		long result = 0;
		poll_until([&] {
			result = reading ? s.ReadData(buf, sizeof buf) : s.http_WriteData("more", 4);
			return result < 0;
		});
		EXPECT_EQ(result, -1);
		EXPECT_EQ(s.GetStatus(), pcsbstatus_Disconnected);
		EXPECT_EQ(s.GetOSError(), 0);
	}
}

TEST(PCSBSocket, DisconnectHalfClosesAndThePeersCloseThenEndsTheReads)
{
	script_server server({read_request(), send_bytes("bye"), end_connection()});
	PCSBSocket s(0, false);
	connect_to(s, server.port);
	ASSERT_EQ(s.http_WriteData("GET / HTTP/1.1\r\n\r\n", 18), 18);
	s.Disconnect();
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Disconnected);
	EXPECT_EQ(read_some(s, 3), "bye"); // the answer still comes in after our side is closed
	char buf[16];
	long result = 0;
	poll_until([&] { return (result = s.ReadData(buf, sizeof buf)) != 0; });
	EXPECT_EQ(result, -1);
	EXPECT_TRUE(s.ReceivedRelease());
	EXPECT_EQ(s.http_WriteData("x", 1), -1); // sending after our own close
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Disconnected);
}

// With no descriptor left, creation fails: the socket stays in Error, Disconnect keeps that, and a
// later Connect ends in Error again with the code of the failed connect.
TEST(PCSBSocket, FailedCreationStaysInErrorWithItsCode)
{
	rlimit old{};
	ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
	int lowest_free = dup(0);
	ASSERT_GE(lowest_free, 0);
	close(lowest_free);
	rlimit tight = old;
	tight.rlim_cur = static_cast<rlim_t>(lowest_free);
	ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
	PCSBSocket s(0, false);
	setrlimit(RLIMIT_NOFILE, &old);

	EXPECT_EQ(s.GetStatus(), pcsbstatus_Error);
	EXPECT_EQ(s.GetOSError(), EMFILE);
	s.Disconnect();
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Error);
	EXPECT_EQ(s.GetOSError(), EMFILE);
	s.Connect(loopback_ip, 80);
	EXPECT_EQ(s.GetStatus(), pcsbstatus_Error);
	EXPECT_EQ(s.GetOSError(), EBADF);
	char buf[4];
	EXPECT_EQ(s.ReadData(buf, sizeof buf), -1);
}

TEST(PCSBSocket, BindingATakenPortIsAnError)
{
	int port = free_loopback_port();
	PCSBSocket first(static_cast<unsigned short>(port), true);
	ASSERT_EQ(first.GetStatus(), pcsbstatus_Ready);
	PCSBSocket second(static_cast<unsigned short>(port), true);
	EXPECT_EQ(second.GetStatus(), pcsbstatus_Error);
	EXPECT_EQ(second.GetOSError(), EADDRINUSE);
}

TEST(PCSBSocket, ListeningSocketTurnsConnectingWhenAClientArrives)
{
	int port = free_loopback_port();
	PCSBSocket listener(static_cast<unsigned short>(port), true);
	ASSERT_EQ(listener.GetStatus(), pcsbstatus_Ready);
	PCSBSocket client(0, false);
	connect_to(client, port);
	poll_until([&] { return listener.GetStatus() != pcsbstatus_Ready; });
	EXPECT_EQ(listener.GetStatus(), pcsbstatus_Connecting);
}
