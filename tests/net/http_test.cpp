#include "net/http.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "net/PCSBSocket.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/hl_init.h"
#include "support/nginx_fixture.h"
#include "support/sandbox.h"
#include "support/script_server.h"

namespace {

const int slot = 2; // the first slot of the install engine's streams

class HttpTest : public ::testing::Test {
protected:
	sandbox_class sb;

	void SetUp() override
	{
		xer.open(sb.path("Log.txt"));
		xtim.real_time = 0;
		http.ProxyHost.clear();
		http.ProxyPort_str.clear();
		http.ProxyPort_int = 0;
		gProxyExclude.clear();
	}

	void TearDown() override
	{
		clear_slots();
		xer.close();
	}

	// Frees what a failed check left in the slots, so that it does not spill into the next case.
	static void clear_slots()
	{
		for (down_class*& d : http.down) {
			delete d;
			d = nullptr;
		}
	}

	std::string log()
	{
		xer.flush();
		return sb.read("Log.txt");
	}

	// Calls net_check with the clock standing still until it gives a result or `stop` holds.
	int pump(int o, const std::string& server, const std::string& file, const std::string& rel,
	         const std::function<bool()>& stop = [] { return false; })
	{
		for (int tries = 0; tries < 20000; ++tries) {
			int r = http.net_check(o, server, file, rel);
			if (r != 0 || stop()) return r;
			std::this_thread::sleep_for(std::chrono::microseconds(200));
		}
		return 0;
	}
};

std::string dump(const std::string& rel, const std::string& server, const std::string& file, int done, int complete,
                 int err, int stat, int os_err, const std::string& response)
{
	return "HTTP Error for " + rel + "\n   server     =" + server + "\n   file       =" + file +
	       "\n   IsDone     =" + std::to_string(done) + "\n   IsComplete =" + std::to_string(complete) +
	       "\n   IsErr      =" + std::to_string(err) + "\n   GetStat    =" + std::to_string(stat) +
	       "\n   GetOSErr   =" + std::to_string(os_err) + "\n   response   =" + response + "\n\n";
}

} // namespace

TEST(HttpServer, SplitsHostAndPort)
{
	struct {
		const char* server;
		bool ok;
		const char* host;
		int port;
	} cases[] = {
		{"mirror.example.com", true, "mirror.example.com", 80},
		{"mirror.example.com:8080", true, "mirror.example.com", 8080},
		{"10.0.0.1:1", true, "10.0.0.1", 1},
		{"10.0.0.1:65535", true, "10.0.0.1", 65535},
		{"host:0", false, "host:0", 80},
		{"host:65536", false, "host:65536", 80},
		{"host:", false, "host:", 80},
		{"host:80a", false, "host:80a", 80},
		{"host:-1", false, "host:-1", 80},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.server);
		std::string host;
		unsigned short port = 0;
		EXPECT_EQ(split_server(c.server, host, port), c.ok);
		EXPECT_EQ(host, c.host);
		EXPECT_EQ(port, c.port);
	}
}

TEST_F(HttpTest, ProxyIsUsedOnlyWithHostAndPortAndNotForExcludedHosts)
{
	EXPECT_FALSE(UseProxy("mirror.example.com"));
	http.ProxyHost = "proxy.example.com";
	EXPECT_FALSE(UseProxy("mirror.example.com")); // port 0: no proxy
	http.ProxyPort_int = 3128;
	EXPECT_TRUE(UseProxy("mirror.example.com"));
	http.ProxyHost.clear();
	EXPECT_FALSE(UseProxy("mirror.example.com"));
	http.ProxyHost = "proxy.example.com";
	gProxyExclude = {".example.com"};
	EXPECT_FALSE(UseProxy("mirror.example.com"));
	EXPECT_TRUE(UseProxy("mirror.example.org"));
	gProxyExclude = {"long.mirror.example.org"}; // longer than the host: never matches
	EXPECT_TRUE(UseProxy("mirror.example.org"));
}

// The request is sent byte for byte: spaces escaped, backslashes turned, fields in name order, the
// absolute form through a proxy, the Host field with the port when the entry has one.
TEST_F(HttpTest, RequestBytesDirectAndThroughAProxy)
{
	const std::string tail = "Connection: close\r\n%HOST%User-agent: Installer-IBM/a-25\r\n\r\n";
	struct {
		const char* name;
		bool proxy;
		std::string server; // "*" stands for the scripted server itself
		std::string exclude;
		std::string first_line, host;
	} cases[] = {
		{"direct", false, "*", "", "GET /a%20b/c%20d.zip HTTP/1.1\r\n", "*"},
		{"proxy", true, "mirror.invalid", "", "GET http://mirror.invalid/a%20b/c%20d.zip HTTP/1.1\r\n", "mirror.invalid"},
		{"proxy with port", true, "mirror.invalid:8080", "",
		 "GET http://mirror.invalid:8080/a%20b/c%20d.zip HTTP/1.1\r\n", "mirror.invalid:8080"},
		{"excluded from the proxy", true, "*", ".0.1", "GET /a%20b/c%20d.zip HTTP/1.1\r\n", "*"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		script_server srv({read_request(), send_bytes("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")});
		std::string server = c.server == "*" ? srv.server() : c.server;
		std::string host = c.host == "*" ? srv.server() : c.host;
		if (c.proxy) {
			http.ProxyHost = "127.0.0.1";
			http.ProxyPort_int = c.exclude.empty() ? srv.port : free_loopback_port(); // excluded: never asked
		}
		gProxyExclude.clear();
		if (!c.exclude.empty()) gProxyExclude.push_back(c.exclude);
		EXPECT_EQ(pump(slot, server, "\\a b\\c d.zip", sb.path("got.zip")), 1);
		std::string expected = tail;
		expected.replace(expected.find("%HOST%"), 6, "Host: " + host + "\r\n");
		EXPECT_EQ(srv.request(), c.first_line + expected);
		EXPECT_EQ(sb.read("got.zip"), "ok");
	}
}

TEST_F(HttpTest, PostRequestCarriesItsLengthAndBody)
{
	script_server srv({});
	down_class d("127.0.0.1", static_cast<unsigned short>(srv.port), "/form", true, {{"Host", "h"}, {"A-Field", "1"}},
	             "x=1 2", 5, nullptr);
	EXPECT_EQ(std::string(d.mOutBuf.begin(), d.mOutBuf.end()),
	          "POST /form HTTP/1.1\r\nA-Field: 1\r\nHost: h\r\nContent-Length: 5\r\n\r\nx=1 2");
	EXPECT_TRUE(d.mDestFileName.empty());
	EXPECT_EQ(d.mResponseNum, -1);
}

// Bytes that a server would take as the end of the path or the start of an escape are escaped
// besides the blank, so that files with such names can be fetched; the rest goes as it is.
TEST_F(HttpTest, PathBytesThatWouldEndOrEscapeThePathAreEscaped)
{
	script_server srv({});
	down_class d("127.0.0.1", static_cast<unsigned short>(srv.port), "/V 9/100% sure #1?+\xc3\xa9.zip", false, {}, nullptr, 0,
	             nullptr);
	EXPECT_EQ(std::string(d.mOutBuf.begin(), d.mOutBuf.end()), "GET /V%209/100%25%20sure%20%231%3F+\xc3\xa9.zip HTTP/1.1\r\n\r\n");
}

// Connections that never carry an answer: each fails at once with the dump, and an unknown name
// also with the line that says what the name turned into.
TEST_F(HttpTest, FailuresBeforeAnyAnswerAreDumped)
{
	const std::string refused = "127.0.0.1:" + std::to_string(free_loopback_port());
	struct {
		const char* name;
		std::string server, proxy, translated, dump_tail;
	} cases[] = {
		{"refused", refused, "", "", "IsDone     =1\n   IsComplete =0\n   IsErr      =0\n   GetStat    =3\n   GetOSErr   =0\n   response   = (#-1)\n\n"},
		{"unknown host", "no-such-host.invalid", "",
		 "Translated server no-such-host.invalid to IP addy: 0.0.0.0 and port = 80\n",
		 "IsDone     =0\n   IsComplete =0\n   IsErr      =1\n   GetStat    =0\n   GetOSErr   =20011\n   response   = (#0)\n\n"},
		{"port out of range", "127.0.0.1:99999", "",
		 "Translated server 127.0.0.1:99999 to IP addy: 0.0.0.0 and port = 80\n",
		 "IsDone     =0\n   IsComplete =0\n   IsErr      =1\n   GetStat    =0\n   GetOSErr   =20011\n   response   = (#0)\n\n"},
		{"unknown proxy", "mirror.invalid:8080", "no-such-proxy.invalid",
		 "Translated server mirror.invalid to IP addy: 0.0.0.0 and port = 8080\n",
		 "IsDone     =0\n   IsComplete =0\n   IsErr      =1\n   GetStat    =0\n   GetOSErr   =20011\n   response   = (#0)\n\n"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		http.ProxyHost = c.proxy;
		http.ProxyPort_int = c.proxy.empty() ? 0 : 3128;
		size_t before = log().size();
		std::string rel = sb.path("x.zip");
		EXPECT_EQ(pump(slot, c.server, "/x.zip", rel), 2);
		EXPECT_EQ(http.down[slot], nullptr);
		EXPECT_EQ(log().substr(before), c.translated + "HTTP Error for " + rel + "\n   server     =" + c.server +
		                                     "\n   file       =/x.zip\n   " + c.dump_tail);
		EXPECT_FALSE(sb.exists("x.zip"));
	}
}

// Answers from the scripted server, each after the request has been read. "stall" cases end only by
// the 30-second rule, without a dump; the others end at once.
TEST_F(HttpTest, AnswersThatBendTheRules)
{
	const std::string ok_head = "HTTP/1.1 200 OK\r\n";
	auto padded = [&](size_t header_size) { // a complete header of exactly header_size bytes with a 2-byte body
		std::string fixed = ok_head + "Content-Length: 2\r\nX-Pad: \r\n\r\n";
		return ok_head + "Content-Length: 2\r\nX-Pad: " + std::string(header_size - fixed.size(), 'p') + "\r\n\r\nok";
	};
	// A case with a gate in its script waits until the client has taken in what came before it.
	auto interim_in = [](const down_class& d) { return d.mResponseNum == 100; };
	auto body_begun = [](const down_class& d) { return d.mReceivedPayload > 0; };
	struct {
		const char* name;
		std::vector<script_step> steps;
		int result;
		bool stall;
		int os_err;                        // in the dump, for failures that are dumped
		std::optional<std::string> file;   // the destination's content, or no file
		std::function<bool(const down_class&)> gate_when = nullptr;
	} cases[] = {
		{"interim 100 and the answer in one receive", {send_bytes("HTTP/1.1 100 Continue\r\n\r\n" + ok_head + "Content-Length: 5\r\n\r\nhello")}, 1, false, 0, "hello"},
		{"interim 100, then the answer", {send_bytes("HTTP/1.1 100 Continue\r\nX-A: 1\r\n\r\n"), wait_gate(), send_bytes(ok_head + "Content-Length: 5\r\n\r\nhello")}, 1, false, 0, "hello", interim_in},
		{"one-letter reason phrase", {send_bytes("HTTP/1.1 200 K\r\nContent-Length: 5\r\n\r\nhello")}, 1, false, 0, "hello"},
		{"empty body", {send_bytes(ok_head + "Content-Length: 0\r\n\r\n")}, 1, false, 0, ""},
		{"first of two lengths wins", {send_bytes(ok_head + "Content-Length: 2\r\nContent-Length: 9\r\n\r\nok")}, 1, false, 0, "ok"},
		{"header of exactly 64 KiB", {send_bytes(padded(65536))}, 1, false, 0, "ok"},
		{"header one byte over 64 KiB", {send_bytes(padded(65537))}, 2, false, EMSGSIZE, std::nullopt},
		{"endless header lines", {send_bytes(ok_head + [] { std::string s; for (int i = 0; i < 5000; ++i) s += "X-Filler: 0123456789\r\n"; return s; }())}, 2, false, EMSGSIZE, std::nullopt},
		{"header line without an end", {send_bytes(ok_head + "X-Long: " + std::string(70000, 'a'))}, 2, false, EMSGSIZE, std::nullopt},
		{"negative length", {send_bytes(ok_head + "Content-Length: -5\r\n\r\nhello")}, 2, false, EBADMSG, std::nullopt},
		{"overflowing length", {send_bytes(ok_head + "Content-Length: 4294967301\r\n\r\nhello")}, 2, false, EBADMSG, std::nullopt},
		{"length that is no number", {send_bytes(ok_head + "Content-Length: five\r\n\r\nhello")}, 2, false, EBADMSG, std::nullopt},
		{"more body than announced", {send_bytes(ok_head + "Content-Length: 3\r\n\r\nabcdef")}, 2, false, 0, "abcdef"},
		{"reset after the header", {send_bytes(ok_head + "Content-Length: 9\r\n\r\nabc"), wait_gate(), reset_connection()}, 2, false, 0, "abc", body_begun},
		{"status line without a reason", {send_bytes("HTTP/1.1 200\r\nContent-Length: 5\r\n\r\nhello"), end_connection()}, 2, true, 0, std::nullopt},
		{"status line of 13 characters", {send_bytes("HTTP/1.1 200 \r\nContent-Length: 5\r\n\r\nhello"), end_connection()}, 2, true, 0, std::nullopt},
		{"length in lower case", {send_bytes(ok_head + "content-length: 5\r\n\r\nhello"), end_connection()}, 2, true, 0, "hello"},
		{"length without a blank after the colon", {send_bytes(ok_head + "Content-Length:5\r\n\r\nhello"), end_connection()}, 2, true, 0, "hello"},
		{"no length", {send_bytes(ok_head + "\r\nhello"), end_connection()}, 2, true, 0, "hello"},
		{"server closes early", {send_bytes(ok_head + "Content-Length: 100\r\n\r\nabc"), end_connection()}, 2, true, 0, "abc"},
		{"server closes before answering", {end_connection()}, 2, true, 0, std::nullopt},
	};
	int n = 0;
	for (auto& c : cases) {
		SCOPED_TRACE(c.name);
		std::vector<script_step> steps{read_request()};
		steps.insert(steps.end(), c.steps.begin(), c.steps.end());
		script_server srv(steps);
		std::string rel = sb.path("case" + std::to_string(++n) + ".zip");
		xtim.real_time = 0;
		size_t before = log().size();

		int r;
		if (c.gate_when) {
			r = pump(slot, srv.server(), "/f.zip", rel, [&] { return c.gate_when(*http.down[slot]); });
			ASSERT_EQ(r, 0);
			srv.open_gate();
		}
		if (c.stall) {
			r = pump(slot, srv.server(), "/f.zip", rel, [&] { return http.down[slot]->mSocket->ReceivedRelease(); });
			ASSERT_EQ(r, 0);
			xtim.real_time = 30;
			EXPECT_EQ(http.net_check(slot, srv.server(), "/f.zip", rel), 0);
			xtim.real_time = 30.5f;
		}
		r = pump(slot, srv.server(), "/f.zip", rel);
		EXPECT_EQ(r, c.result);
		EXPECT_EQ(http.down[slot], nullptr);
		clear_slots();
		std::string logged = log().substr(before);
		if (c.result == 2 && !c.stall) {
			EXPECT_NE(logged.find("   GetOSErr   =" + std::to_string(c.os_err) + "\n"), std::string::npos) << logged;
		} else {
			EXPECT_EQ(logged, "");
		}
		std::string name = rel.substr(sb.root.size());
		EXPECT_EQ(sb.exists(name), c.file.has_value());
		EXPECT_EQ(sb.read(name), c.file.value_or(""));
	}
}

// The header arrives in pieces: the status line, half a field name, the rest of the length and half
// the body, the other half.
TEST_F(HttpTest, HeaderAndBodySplitAcrossReceives)
{
	script_server srv({read_request(), send_bytes("HTTP/1.1 200 Fine Thanks\r\nContent-Len"), wait_gate(),
	                   send_bytes("gth: 10\r\n\r\n01234"), wait_gate(), send_bytes("56789")});
	std::string rel = sb.path("split.zip");
	auto d = [] { return http.down[slot]; };
	ASSERT_EQ(pump(slot, srv.server(), "/split.zip", rel, [&] { return d()->mResponseNum == 200; }), 0);
	EXPECT_EQ(d()->GetResponseName(), "Fine Thanks");
	EXPECT_EQ(std::string(d()->mInBuf.begin(), d()->mInBuf.end()), "Content-Len");
	EXPECT_EQ(d()->GetStat(), 6);
	srv.open_gate();
	ASSERT_EQ(pump(slot, srv.server(), "/split.zip", rel, [&] { return d()->mReceivedPayload == 5; }), 0);
	EXPECT_EQ(d()->mIncomingLength, 10);
	EXPECT_EQ(d()->GetStat(), 5);
	srv.open_gate();
	EXPECT_EQ(pump(slot, srv.server(), "/split.zip", rel), 1);
	EXPECT_EQ(sb.read("split.zip"), "0123456789");
}

// The 30-second rule counts from the creation of the slot until the header is in, then from the last
// body bytes; the clock is moved by hand.
TEST_F(HttpTest, StalledTransferEndsAfterThirtySecondsWithoutData)
{
	script_server srv({read_request(), wait_gate(), send_bytes("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nabc")});
	std::string rel = sb.path("stall.zip");
	xtim.real_time = 100;
	ASSERT_EQ(pump(slot, srv.server(), "/stall.zip", rel, [&] { return srv.steps_done() == 1; }), 0);
	xtim.real_time = 129.9f;
	EXPECT_EQ(http.net_check(slot, srv.server(), "/stall.zip", rel), 0);
	srv.open_gate();
	ASSERT_EQ(pump(slot, srv.server(), "/stall.zip", rel, [] { return http.down[slot]->mReceivedPayload == 3; }), 0);
	xtim.real_time = 159.5f; // more than 30 s after creation, less after the body bytes
	EXPECT_EQ(http.net_check(slot, srv.server(), "/stall.zip", rel), 0);
	xtim.real_time = 160.5f;
	EXPECT_EQ(http.net_check(slot, srv.server(), "/stall.zip", rel), 2);
	EXPECT_EQ(http.down[slot], nullptr);
	EXPECT_EQ(sb.read("stall.zip"), "abc");
	EXPECT_EQ(log(), "");
}

TEST_F(HttpTest, UnwritableDestinationFailsWithItsErrorNumber)
{
	script_server srv({read_request(), send_bytes("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")});
	EXPECT_EQ(pump(slot, srv.server(), "/x.zip", sb.path("no/such/folder/x.zip")), 2);
	EXPECT_NE(log().find("   IsErr      =1\n   GetStat    =5\n   GetOSErr   =" + std::to_string(ENOENT) + "\n   response   =OK (#200)\n"),
	          std::string::npos)
	    << log();
}

class NginxTest : public HttpTest {
protected:
	static void SetUpTestSuite() { web = new nginx_fixture(true); }
	static void TearDownTestSuite()
	{
		delete web;
		web = nullptr;
	}
	static nginx_fixture* web;
};
nginx_fixture* NginxTest::web = nullptr;

TEST_F(NginxTest, FileIsStreamedToItsDestination)
{
	std::string body = test_bytes(300000, 1);
	web->put("Velmora 9/Aircraft/a plane.zip", body);
	std::string rel = sb.path("a plane.zip");
	EXPECT_EQ(pump(slot, web->server(), "/Velmora 9/Aircraft/a plane.zip", rel), 1);
	EXPECT_EQ(http.down[slot], nullptr);
	EXPECT_TRUE(sb.read("a plane.zip") == body);
	EXPECT_NE(web->access_log().find("\"GET /Velmora%209/Aircraft/a%20plane.zip HTTP/1.1\" 200 300000 \"-\" \"Installer-IBM/a-25\""),
	          std::string::npos)
	    << web->access_log();
	EXPECT_EQ(log(), "");
}

TEST_F(NginxTest, FourSlotsRunSideBySide)
{
	std::vector<std::string> bodies;
	for (int k = 0; k < 4; ++k) {
		bodies.push_back(test_bytes(200000 + 1000 * k, 10 + k));
		web->put("f" + std::to_string(k) + ".zip", bodies.back());
	}
	int results[4] = {};
	for (int tries = 0; tries < 20000; ++tries) {
		bool all = true;
		for (int k = 0; k < 4; ++k) {
			if (results[k] == 0) {
				std::string name = "f" + std::to_string(k) + ".zip";
				results[k] = http.net_check(k + 2, web->server(), "/" + name, sb.path(name));
			}
			all &= results[k] != 0;
		}
		if (all) break;
		std::this_thread::sleep_for(std::chrono::microseconds(200));
	}
	for (int k = 0; k < 4; ++k) {
		SCOPED_TRACE(k);
		EXPECT_EQ(results[k], 1);
		EXPECT_TRUE(sb.read("f" + std::to_string(k) + ".zip") == bodies[k]);
	}
}

TEST_F(NginxTest, NotFoundKeepsTheErrorPageAndDumps)
{
	std::string rel = sb.path("missing.zip");
	std::string page = "<html><body>" + std::string(274, '-') + "</body></html>"; // 300 bytes
	web->put("404.html", page);
	EXPECT_EQ(pump(slot, web->server(), "/missing.zip", rel), 2);
	EXPECT_EQ(sb.read("missing.zip"), page);
	EXPECT_EQ(log(), dump(rel, web->server(), "/missing.zip", 1, 1, 0, 3, 0, "Not Found (#404)"));
}

TEST_F(NginxTest, ThroughAForwardProxy)
{
	std::string body = test_bytes(100000, 7);
	web->put("proxied.zip", body);
	http.ProxyHost = "127.0.0.1";
	http.ProxyPort_int = web->proxy_port;
	EXPECT_EQ(pump(slot, web->server(), "/proxied.zip", sb.path("proxied.zip")), 1);
	EXPECT_TRUE(sb.read("proxied.zip") == body);
	EXPECT_NE(web->proxy_log().find("\"GET http://" + web->server() + "/proxied.zip HTTP/1.1\" 200 100000"),
	          std::string::npos)
	    << web->proxy_log();
}

// Programming errors end the program through a fatal alert (logged, as with --fps_test).
TEST_F(HttpTest, ConventionBreachesAreFatal)
{
	cmdline.options["--fps_test"] = "";
	struct {
		const char* name;
		int o;
		std::string server, file, first_line;
	} cases[] = {
		{"slot 6", 6, "mirror", "/x.zip", "Too many download objects requested!"},
		{"slot -1", -1, "mirror", "/x.zip", "Too many download objects requested!"},
		{"slash after the server", slot, "mirror/", "/x.zip", "net_check error! You have a dirchar at the end of the server name!"},
		{"backslash after the server", slot, "mirror\\", "/x.zip", "net_check error! You have a dirchar at the end of the server name!"},
		{"no slash before the file", slot, "mirror", "x.zip", "net_check error! You do not have a dirchar at the beginning of the directory name!"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		size_t before = log().size();
		EXPECT_EXIT(
		    {
			    if (chdir(sb.root.c_str()) != 0) _exit(3);
			    http.net_check(c.o, c.server, c.file, sb.path("x.zip"));
		    },
		    ::testing::ExitedWithCode(1), "");
		EXPECT_NE(log().find(c.first_line + "\n", before), std::string::npos) << log();
	}
	EXPECT_NE(log().find("(http line 232)\n"), std::string::npos);
	EXPECT_NE(log().find("Our convention is that a server name is simply a server name... with no slash!\nmirror/\n(http line 247)\n"),
	          std::string::npos);
	EXPECT_NE(log().find("You should!\nOur convention is that a directory name does start with a slash because it must include "
	                     "the hard drive,which is a dir char on unix!\nx.zip\n(http line 248)\n"),
	          std::string::npos);
	cmdline.options.erase("--fps_test");
}
