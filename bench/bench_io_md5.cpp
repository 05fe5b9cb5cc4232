// calc_file_md5 against md5sum over the same few hundred MB of files already in the page cache.
#include <cstring>
#include <vector>

#include "bench_io.h"
#include "io/md5.h"

int main()
{
	const int files = 48;
	const uint64_t file_size = 8 << 20;
	bench_dir_class dir;
	std::vector<std::string> paths;
	std::string list;
	for (int i = 0; i < files; ++i) {
		paths.push_back(dir.root + "f" + std::to_string(i) + ".bin");
		write_text_file(paths.back(), file_size, i);
		list += " " + paths.back();
	}
	sh("cat" + list + " > /dev/null");

	std::string sig;
	timing_struct ours, theirs;
	time_both(
		7, ours, [&] {
			for (auto& p : paths) calc_file_md5(p, sig);
		},
		theirs, [&] { sh("md5sum" + list + " > /dev/null"); });
	std::string expected;
	if (FILE* p = popen(("md5sum " + paths.back()).c_str(), "r")) {
		char buf[33] = {};
		if (fread(buf, 1, 32, p) == 32) expected = buf;
		pclose(p);
	}
	double mb = files * (double)file_size / 1e6;
	printf("data: %d files, %.0f MB, warm; signatures %s\n", files, mb, sig == expected ? "agree" : "DIFFER");
	report("calc_file_md5", ours, "md5sum", theirs, mb);
}
