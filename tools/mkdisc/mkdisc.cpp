#include "mkdisc.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "mkdisc_pack.h"

namespace fs = std::filesystem;

const char* const mkdisc_usage =
	"Usage: velmora-mkdisc --name NAME --release N=DIR [--release N=DIR ...] [--os N=GLOB ...] OUT\n"
	"\n"
	"Authors an install disc in the folder OUT from the folders of successive releases.\n"
	"\n"
	"  --name NAME      the installation's name: the disc's VERSION line and the first folder\n"
	"                   of every path in the directory file\n"
	"  --release N=DIR  release number N (a whole number from 1) holds the files in folder DIR;\n"
	"                   give each release once, in any order\n"
	"  --os N=GLOB      files whose path inside the release matches GLOB belong to operating\n"
	"                   system N (0 to 6, 0 meaning every system); '*' also matches '/'; the\n"
	"                   first rule that matches decides, files matching none get 0\n"
	"  --help, -h       print this text\n"
	"\n"
	"OUT must not exist yet, or be an empty folder. It receives dvd_version.txt,\n"
	"NAME/directory.txt.zip and one archive per file of the last release,\n"
	"NAME/NAME/<path>.zip (.7z for paths under \"Global Scenery\").\n";

// The installer shows this name while it has not read a disc, so a disc cannot carry it.
static const char* const unread_name = "Not Yet Scanned";
// The network installer leaves out records whose file name contains one of these.
static const char* const net_skipped_words[] = {"900 red terrain", "Earth Orbit Textures"};

[[noreturn]] static void fail(const std::string& what) { throw std::runtime_error(what); }

// ---------------------------------------------------------------------------------------------------
// Command line

// "N=VALUE" with N a whole number in [lo, hi].
static std::pair<int, std::string> split_numbered(const std::string& option, const std::string& arg, int lo, int hi)
{
	size_t eq = arg.find('=');
	int n = 0;
	const char* end = arg.data() + (eq == std::string::npos ? 0 : eq);
	auto [stop, ec] = std::from_chars(arg.data(), end, n);
	if (eq == std::string::npos || eq == 0 || ec != std::errc() || stop != end || n < lo || n > hi)
		fail(option + " wants N=VALUE with N a whole number from " + std::to_string(lo) + " to " +
		     std::to_string(hi) + ", not '" + arg + "'");
	if (eq + 1 == arg.size()) fail(option + " " + arg + " gives nothing after '='");
	return {n, arg.substr(eq + 1)};
}

// A path for a message: control characters are shown as \xNN.
static std::string shown(const std::string& path)
{
	std::string out;
	for (unsigned char c : path) {
		if (c >= 32 && c != 127) {
			out += char(c);
			continue;
		}
		static const char digits[] = "0123456789abcdef";
		out += "\\x";
		out += digits[c >> 4];
		out += digits[c & 15];
	}
	return out;
}

// Why one name of a file or folder cannot travel through the directory file and the installer's paths;
// empty when it can.
static std::string component_problem(const std::string& name)
{
	for (unsigned char c : name)
		if (c < 32 || c == 127) return "has a control character in its name";
	// the installer takes these for the separators of another system's paths and stops
	if (name.find('\\') != std::string::npos) return "has '\\' in its name, which the installer refuses in a path";
	if (name.find(':') != std::string::npos) return "has ':' in its name, which the installer refuses in a path";
	return "";
}

static void check_name(const std::string& name)
{
	std::string problem = component_problem(name);
	if (name.empty()) problem = "is empty";
	else if (name == "." || name == "..") problem = "is not a folder name";
	else if (name.find('/') != std::string::npos) problem = "has '/' in it; it names one folder";
	else if (name[0] == ' ') problem = "begins with a blank, which the disc's marker file cannot carry";
	else if (name == unread_name) problem = "is what the installer shows before it has read a disc";
	if (!problem.empty()) fail("the name '" + shown(name) + "' " + problem);
}

static void parse_option(const std::string& option, const std::string& value, mkdisc_options_struct& options)
{
	if (option == "--name") {
		check_name(value);
		options.name = value;
	} else if (option == "--release") {
		auto [number, folder] = split_numbered(option, value, 1, 2147483647);
		options.releases.push_back({number, folder});
	} else if (option == "--os") {
		auto [os_type, glob] = split_numbered(option, value, 0, 6);
		options.os_rules.push_back({os_type, glob});
	} else {
		fail("unknown option '" + option + "'");
	}
}

static void parse_args(const std::vector<std::string>& args, mkdisc_options_struct& options)
{
	std::vector<std::string> outs;
	bool options_end = false;
	for (size_t i = 0; i < args.size(); i++) {
		const std::string& a = args[i];
		if (options_end || a.size() < 2 || a[0] != '-') {
			outs.push_back(a);
		} else if (a == "--") {
			options_end = true;
		} else if (a == "--help" || a == "-h") {
			options.help = true;
			return;
		} else if (size_t eq = a.find('='); eq != std::string::npos) {
			parse_option(a.substr(0, eq), a.substr(eq + 1), options);
		} else if (a != "--name" && a != "--release" && a != "--os") {
			fail("unknown option '" + a + "'");
		} else if (i + 1 == args.size()) {
			fail(a + " needs a value");
		} else {
			parse_option(a, args[++i], options);
		}
	}
	if (options.name.empty()) fail("--name is missing");
	if (options.releases.empty()) fail("no --release given");
	if (outs.empty()) fail("the output folder is missing");
	if (outs.size() > 1) fail("give one output folder, not " + std::to_string(outs.size()));
	options.out_path = outs[0];
	auto by_number = [](const mkdisc_release_struct& a, const mkdisc_release_struct& b) { return a.number < b.number; };
	std::stable_sort(options.releases.begin(), options.releases.end(), by_number);
	for (size_t i = 1; i < options.releases.size(); i++)
		if (options.releases[i].number == options.releases[i - 1].number)
			fail("release " + std::to_string(options.releases[i].number) + " is given twice");
}

int mkdisc_parse_args(const std::vector<std::string>& args, mkdisc_options_struct& options, std::string& error)
{
	options = mkdisc_options_struct();
	try {
		parse_args(args, options);
		return 0;
	} catch (const std::exception& e) {
		error = e.what();
		return 2;
	}
}

// ---------------------------------------------------------------------------------------------------
// Release folders

struct source_file_struct {
	std::string rel;  // path inside the release, with '/'
	std::string path; // where the file is
};

static bool contains(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

static bool is_utf8(const std::string& s)
{
	for (size_t i = 0; i < s.size();) {
		unsigned char c = s[i];
		size_t more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
		if (more == 9 || i + more >= s.size()) return false;
		for (size_t k = 1; k <= more; k++)
			if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
		i += more + 1;
	}
	return true;
}

static std::string manifest_path(const std::string& name, const std::string& rel) { return name + "/" + rel; }

// The archive's suffix, by the rule the installer uses to pick the reader.
static std::string archive_suffix(const std::string& manifest)
{
	return contains(manifest, "Global Scenery") ? ".7z" : ".zip";
}

// Why a file cannot round-trip through the directory file and its archive; empty when it can.
static std::string file_problem(const std::string& name, const std::string& rel)
{
	std::string file = rel.substr(rel.rfind('/') + 1);
	// the reader skips the blanks in front of the file name
	if (file[0] == ' ') return "begins with a blank, which the directory file cannot carry";
	for (const char* word : net_skipped_words)
		if (contains(file, word)) return std::string("has '") + word + "' in its name, which the network installer skips";
	std::string suffix = archive_suffix(manifest_path(name, rel));
	bool in_7z = suffix == ".7z";
	if (file.size() + suffix.size() > 255) return "is too long a name to take its archive's suffix";
	if (!in_7z && file.compare(0, 8, "__MACOSX") == 0)
		return "begins with '__MACOSX', which the installer skips in a zip archive";
	if (in_7z && !is_utf8(file)) return "is not UTF-8, which a 7z archive needs";
	return "";
}

static std::string entry_problem(const std::string& name, const std::string& rel, fs::file_status st)
{
	if (fs::is_symlink(st)) return "is a link; put the file itself there";
	if (fs::is_regular_file(st)) return file_problem(name, rel);
	if (!fs::is_directory(st)) return "is neither a file nor a folder";
	return "";
}

static std::vector<source_file_struct> scan_release(const std::string& name, const mkdisc_release_struct& release)
{
	std::string where = "release " + std::to_string(release.number) + ": ";
	std::error_code ec;
	if (!fs::is_directory(release.folder, ec)) fail(where + "'" + shown(release.folder) + "' is not a folder");
	std::string base = fs::path(release.folder).string();
	size_t skip = base.size() + (base.back() == '/' ? 0 : 1);
	std::vector<source_file_struct> files;
	fs::recursive_directory_iterator it(release.folder, ec), end;
	for (; !ec && it != end; it.increment(ec)) {
		std::string path = it->path().string();
		std::string rel = path.substr(skip);
		fs::file_status st = it->symlink_status(ec);
		if (ec) break;
		std::string problem = component_problem(it->path().filename().string());
		if (problem.empty()) problem = entry_problem(name, rel, st);
		if (!problem.empty()) fail(where + "'" + shown(rel) + "' " + problem);
		if (fs::is_regular_file(st)) files.push_back({rel, path});
	}
	if (ec) fail(where + "cannot read '" + shown(release.folder) + "': " + ec.message());
	return files;
}

// The last release's archives are files where its folders are; a file "a" and a folder "a.zip" clash.
static void check_archive_names(const std::string& name, const std::vector<source_file_struct>& files)
{
	std::map<std::string, const std::string*> folders;
	for (const source_file_struct& f : files)
		for (size_t slash = f.rel.find('/'); slash != std::string::npos; slash = f.rel.find('/', slash + 1))
			folders.emplace(f.rel.substr(0, slash), &f.rel);
	for (const source_file_struct& f : files) {
		auto clash = folders.find(f.rel + archive_suffix(manifest_path(name, f.rel)));
		if (clash != folders.end())
			fail("the archive of '" + shown(f.rel) + "' would take the place of the folder that holds '" +
			     shown(*clash->second) + "'");
	}
}

// ---------------------------------------------------------------------------------------------------
// The disc

static uint64_t kilobytes(uint64_t bytes) { return (bytes + 999) / 1000; }

static int os_type_of(const mkdisc_options_struct& options, const std::string& rel)
{
	for (const mkdisc_os_rule_struct& rule : options.os_rules)
		if (fnmatch(rule.glob.c_str(), rel.c_str(), 0) == 0) return rule.os_type;
	return 0;
}

static pack_member_struct member_of(const source_file_struct& f)
{
	struct stat st;
	if (stat(f.path.c_str(), &st) != 0) fail("cannot read '" + shown(f.path) + "': " + strerror(errno));
	pack_member_struct m;
	m.name = f.rel.substr(f.rel.rfind('/') + 1);
	m.size = uint64_t(st.st_size);
	m.mtime = st.st_mtime;
	m.perm = st.st_mode & 0777;
	return m;
}

// Packs the last release's copy of a path into its archive on the disc; returns the signature of what it
// holds and adds the archive to `result`.
static pack_sum_struct write_archive(const std::string& name, const source_file_struct& f, const std::string& disc,
                                     uint64_t& archive_size, mkdisc_result_struct& result)
{
	std::string manifest = manifest_path(name, f.rel);
	std::string archive = disc + "/" + name + "/" + manifest + archive_suffix(manifest);
	fs::create_directories(fs::path(archive).parent_path());
	pack_sum_struct sum = pack_file(f.path, member_of(f), archive);
	archive_size = fs::file_size(archive);
	result.files++;
	result.archive_bytes += archive_size;
	return sum;
}

struct record_struct {
	int version = 0;
	uint64_t down_kb = 0;
	uint64_t disk_kb = 0;
	std::string sig;
};

// Every release's copy of one path (null where a release lacks it), in release order.
using path_copies = std::vector<const source_file_struct*>;

// The versions of one path: a record for each release whose content differs from the release before,
// and GONE in the first release that lacks it.
static std::vector<record_struct> history_of(const mkdisc_options_struct& options, const path_copies& copies,
                                             const std::string& disc, mkdisc_result_struct& result)
{
	std::vector<record_struct> records;
	std::string before; // the previous release's signature; empty when it lacked the path
	for (size_t i = 0; i < copies.size(); i++) {
		int version = options.releases[i].number;
		if (!copies[i]) {
			if (!before.empty()) records.push_back({version, 0, 0, "GONE"});
			before.clear();
			continue;
		}
		bool last = i + 1 == copies.size();
		uint64_t archive_size = 0;
		pack_sum_struct sum = last ? write_archive(options.name, *copies[i], disc, archive_size, result)
		                           : pack_md5_file(copies[i]->path);
		if (sum.sig != before) records.push_back({version, kilobytes(sum.size), kilobytes(sum.size), sum.sig});
		before = sum.sig;
		// what the installer downloads for the current version is its archive
		if (last) records.back().down_kb = kilobytes(archive_size);
	}
	return records;
}

static std::string header(const char* tag) { return std::string("I\n900 version\n") + tag + "\n"; }

// The directory file; the archives are written on the way.
static std::string directory_text(const mkdisc_options_struct& options, const std::vector<std::vector<source_file_struct>>& releases,
                                  const std::string& disc, mkdisc_result_struct& result)
{
	std::map<std::string, path_copies> paths; // in byte order
	for (size_t i = 0; i < releases.size(); i++)
		for (const source_file_struct& f : releases[i]) {
			path_copies& copies = paths[f.rel];
			copies.resize(releases.size());
			copies[i] = &f;
		}
	std::string text = header("INSTALLER") + "\n";
	std::string dir;
	for (const auto& [rel, copies] : paths) {
		size_t slash = rel.rfind('/');
		std::string folder = manifest_path(options.name, rel.substr(0, slash + 1));
		if (folder != dir) text += "DIR " + folder + "\n";
		dir = folder;
		int os_type = os_type_of(options, rel);
		for (const record_struct& r : history_of(options, copies, disc, result)) {
			text += "FILE 0 " + std::to_string(os_type) + " " + std::to_string(r.version) + " " + std::to_string(r.down_kb) +
			        " " + std::to_string(r.disk_kb) + " " + r.sig + " " + rel.substr(slash + 1) + "\n";
			result.records++;
		}
	}
	return text;
}

static void write_disc(const mkdisc_options_struct& options, const std::vector<std::vector<source_file_struct>>& releases,
                       const std::string& disc, mkdisc_result_struct& result)
{
	pack_member_struct member;
	member.name = "directory.txt";
	member.mtime = time(nullptr);
	std::string text = directory_text(options, releases, disc, result);
	member.size = text.size();
	fs::create_directories(disc + "/" + options.name);
	pack_text(text, member, disc + "/" + options.name + "/directory.txt.zip");
	std::ofstream marker(disc + "/dvd_version.txt", std::ios::binary);
	marker << header("DVD") << "VERSION " << options.name << "\n";
	marker.close();
	if (!marker) fail("cannot write '" + shown(disc) + "/dvd_version.txt'");
}

// ---------------------------------------------------------------------------------------------------
// The output folder: the disc is made in a folder beside it and takes its place when complete.

static fs::path out_folder(const std::string& out_path)
{
	fs::path out(out_path);
	while (!out.has_filename() && out.has_relative_path()) out = out.parent_path();
	std::error_code ec;
	fs::file_status st = fs::symlink_status(out, ec);
	if (fs::exists(st) && !(fs::is_directory(st) && fs::is_empty(out, ec)))
		fail("'" + shown(out_path) + "' already exists; give a new folder or an empty one");
	fs::path parent = out.has_parent_path() ? out.parent_path() : fs::path(".");
	if (!fs::is_directory(parent, ec)) fail("the folder '" + shown(parent.string()) + "' that should hold the disc does not exist");
	return out;
}

static std::string make_staging(const fs::path& out)
{
	fs::path parent = out.has_parent_path() ? out.parent_path() : fs::path(".");
	std::string staging = (parent / ("." + out.filename().string() + ".partial-XXXXXX")).string();
	if (!mkdtemp(staging.data())) fail("cannot create a folder beside '" + shown(out.string()) + "': " + strerror(errno));
	// mkdtemp makes it private; the disc is for everyone
	mode_t mask = umask(0);
	umask(mask);
	chmod(staging.c_str(), 0777 & ~mask);
	return staging;
}

int mkdisc_author(const mkdisc_options_struct& options, mkdisc_result_struct& result, std::string& error)
{
	result = mkdisc_result_struct();
	std::string staging;
	try {
		fs::path out = out_folder(options.out_path);
		std::vector<std::vector<source_file_struct>> releases;
		for (const mkdisc_release_struct& r : options.releases) releases.push_back(scan_release(options.name, r));
		check_archive_names(options.name, releases.back());
		staging = make_staging(out);
		write_disc(options, releases, staging, result);
		if (rename(staging.c_str(), out.c_str()) != 0)
			fail("cannot move the disc to '" + shown(options.out_path) + "': " + strerror(errno));
		return 0;
	} catch (const std::exception& e) {
		error = e.what();
		if (staging.empty()) return 1;
		// the staging folder goes away, so a message names the place in the disc
		for (size_t at = error.find(staging); at != std::string::npos; at = error.find(staging, at + options.out_path.size()))
			error.replace(at, staging.size(), options.out_path);
		std::error_code ec;
		fs::remove_all(staging, ec);
		return 1;
	}
}
