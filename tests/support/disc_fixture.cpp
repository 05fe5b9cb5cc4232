#include "support/disc_fixture.h"

#include <openssl/evp.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/sandbox.h"

namespace fs = std::filesystem;

disc_fixture_class::disc_fixture_class(std::string root_in, std::string install_name_in)
	: root(std::move(root_in)), install_name(std::move(install_name_in))
{
	fs::create_directories(root + install_name);
}

static void write_text(const std::string& path, const std::string& text)
{
	fs::create_directories(fs::path(path).parent_path());
	std::ofstream(path, std::ios::binary) << text;
}

void disc_fixture_class::write_marker() const
{
	write_marker("I\n900 version\nDVD\n\nVERSION " + install_name + "\n");
}

void disc_fixture_class::write_marker(const std::string& text) const { write_text(root + "dvd_version.txt", text); }

// Packs `content` as a member called `member` into `archive` with the real zip or 7z program.
static void pack(const std::string& archive, const std::string& member, const std::string& content)
{
	std::string stage = (fs::temp_directory_path() / "disc-stage-XXXXXX").string();
	if (!mkdtemp(stage.data())) throw std::runtime_error("mkdtemp failed");
	write_text(stage + "/" + member, content);
	fs::create_directories(fs::path(archive).parent_path());
	fs::remove(archive);
	bool is_7z = archive.size() > 3 && archive.compare(archive.size() - 3, 3, ".7z") == 0;
	std::string tool = is_7z ? "7z a -bd -bso0 -bsp0 -y " : "zip -q -X ";
	int rc = run_shell("cd " + shell_quote(stage) + " && " + tool + shell_quote(archive) + " " + shell_quote(member));
	fs::remove_all(stage);
	if (rc != 0) throw std::runtime_error("packing failed: " + archive);
}

void disc_fixture_class::write_directory(const std::string& text) const
{
	pack(root + install_name + "/directory.txt.zip", "directory.txt", text);
}

std::string disc_fixture_class::archive_path(const std::string& manifest_path) const
{
	bool scenery = manifest_path.find("Global Scenery") != std::string::npos;
	return root + install_name + "/" + manifest_path + (scenery ? ".7z" : ".zip");
}

void disc_fixture_class::add_file(const std::string& manifest_path, const std::string& content) const
{
	pack(archive_path(manifest_path), manifest_path.substr(manifest_path.rfind('/') + 1), content);
}

std::string md5_of(const std::string& content)
{
	unsigned char digest[EVP_MAX_MD_SIZE];
	unsigned int len = 0;
	EVP_Digest(content.data(), content.size(), digest, &len, EVP_md5(), nullptr);
	std::string hex;
	char two[3];
	for (unsigned int i = 0; i < len; ++i) {
		snprintf(two, sizeof two, "%02x", digest[i]);
		hex += two;
	}
	return hex;
}

std::string directory_header(int version) { return "I\n" + std::to_string(version) + " version\nINSTALLER\n\n"; }

std::string file_line(int os_type, int version_num, const std::string& sig, const std::string& name, int down_size,
                      int disk_size)
{
	return "FILE 0 " + std::to_string(os_type) + " " + std::to_string(version_num) + " " + std::to_string(down_size) +
	       " " + std::to_string(disk_size) + " " + sig + " " + name + "\n";
}
