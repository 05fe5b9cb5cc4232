// Per-file extraction (zip_to_file, p7z_to_file) against unzip and 7z x of one archive holding all
// the same files.
#include <functional>
#include <vector>

#include "bench_io.h"
#include "io/p7z.h"
#include "io/zip.h"

// Output throughput of extracting every per-file archive, and of the tool on the one archive.
static void compare(const char* what, const std::vector<std::string>& archives, const std::string& out,
                    const std::function<int(const std::string&, const std::string&)>& extract,
                    const std::string& tool, double mb)
{
	auto clean = [&] { sh("rm -rf " + out + " && mkdir " + out); };
	int failures = 0;
	timing_struct ours, theirs;
	time_both(
		3, ours, [&] {
			for (auto& a : archives) failures += extract(a, out + "/") != 0;
		},
		theirs, [&] { sh(tool); }, clean);
	if (failures) printf("%s: %d FAILURES\n", what, failures);
	report((std::string(what) + ", per-file archives").c_str(), ours,
	       (tool.substr(0, tool.find(' ')) + ", one archive").c_str(), theirs, mb);
}

int main()
{
	const int files = 160;
	const uint64_t file_size = 2 << 20;
	bench_dir_class dir;
	std::string src = dir.root + "src", out = dir.root + "out";
	sh("mkdir " + src + " " + dir.root + "zips " + dir.root + "7zs");
	std::vector<std::string> zips, p7zs;
	for (int i = 0; i < files; ++i) {
		std::string name = "f" + std::to_string(i) + ".txt";
		write_text_file(src + "/" + name, file_size, i);
		zips.push_back(dir.root + "zips/" + name + ".zip");
		p7zs.push_back(dir.root + "7zs/" + name + ".7z");
	}
	sh("cd " + src + " && for f in *; do zip -q ../zips/$f.zip $f && 7z a -bd -mx1 ../7zs/$f.7z $f >/dev/null; done");
	sh("cd " + src + " && zip -q ../all.zip * && 7z a -bd -mx1 ../all.7z * >/dev/null");
	double mb = files * (double)file_size / 1e6;
	printf("data: %d files, %.0f MB of text-like bytes\n\n", files, mb);

	compare("zip_to_file", zips, out, zip_to_file, "unzip -q -o " + dir.root + "all.zip -d " + out, mb);
	compare("p7z_to_file", p7zs, out, p7z_to_file, "7z x -bd -y -o" + out + " " + dir.root + "all.7z > /dev/null",
	        mb);
}
