// velmora-mkdisc: authors an install disc from release folders (see mkdisc.h).
#include <cstdio>
#include <string>
#include <vector>

#include "mkdisc.h"

int main(int argc, char** argv)
{
	std::vector<std::string> args(argv + 1, argv + argc);
	mkdisc_options_struct options;
	std::string error;
	if (mkdisc_parse_args(args, options, error) != 0) {
		fprintf(stderr, "velmora-mkdisc: %s\nTry 'velmora-mkdisc --help'.\n", error.c_str());
		return 2;
	}
	if (options.help) {
		fputs(mkdisc_usage, stdout);
		return 0;
	}
	mkdisc_result_struct result;
	if (mkdisc_author(options, result, error) != 0) {
		fprintf(stderr, "velmora-mkdisc: %s\n", error.c_str());
		return 1;
	}
	printf("%s: %d files packed into %llu bytes of archives, %d records in the directory file\n", options.out_path.c_str(), result.files,
	       static_cast<unsigned long long>(result.archive_bytes), result.records);
	return 0;
}
