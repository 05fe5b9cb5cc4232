// Peak memory while extracting an archive whose one entry is 1 GB.
#include "bench_io.h"
#include "io/p7z.h"
#include "io/zip.h"

int main()
{
	bench_dir_class dir;
	std::string big = dir.root + "big.bin";
	write_text_file(big, 1000000000, 7);
	sh("cd " + dir.root + " && zip -q -1 big.zip big.bin && 7z a -bd -mx1 big.7z big.bin > /dev/null && rm big.bin");

	double idle = child_peak_mb([] { return 0; });
	double zip = child_peak_mb([&] { return zip_to_file(dir.root + "big.zip", dir.root); });
	sh("rm " + big);
	double p7z = child_peak_mb([&] { return p7z_to_file(dir.root + "big.7z", dir.root); });
	printf("peak resident memory, 1 GB entry: zip_to_file %.1f MB, p7z_to_file %.1f MB (idle process %.1f MB)\n",
	       zip, p7z, idle);
}
