#include "io/zip.h"

#include <cstring>
#include <memory>
#include <new>

#include "io/IO_UTILS.h"
#include "shell/hl_init.h"

static const char* const unit = "zip";

// Entries are streamed through a buffer of at most this size, whatever size they claim.
static const uint64_t chunk_size = 1 << 20;

int unzip_symlink(unzFile, const std::string&, const unz_file_info64&) { return 0; }

int unzip_resource_fork(unzFile, const std::string&, const unz_file_info64&) { return 0; }

// Copies the open entry into `out`; it must hold exactly the size its header gives.
static int copy_entry(unzFile zip, replace_file_class& out, uint64_t size)
{
	// One byte more than expected shows an entry longer than its header says.
	uint64_t cap = size < chunk_size ? size + 1 : chunk_size;
	std::unique_ptr<char[]> buf(new (std::nothrow) char[cap]);
	if (!buf) return set_err_loc(12, unit, __LINE__);
	uint64_t total = 0;
	for (;;) {
		int n = unzReadCurrentFile(zip, buf.get(), (unsigned)cap);
		if (n < 0) return set_err_loc(20002, unit, __LINE__);
		if (n == 0) break;
		total += (uint64_t)n;
		if (total > size) return set_err_loc(20002, unit, __LINE__);
		if (int err = out.write(buf.get(), (size_t)n)) return err;
	}
	return total == size ? 0 : set_err_loc(20002, unit, __LINE__);
}

int unzip_file(unzFile zip, const std::string& inPath, const unz_file_info64& info)
{
	int err = unzOpenCurrentFile(zip);
	if (err != UNZ_OK) {
		set_err_loc(err, unit, __LINE__);
	} else {
		replace_file_class out(inPath);
		err = out.open();
		if (!err) err = copy_entry(zip, out, info.uncompressed_size);
		// Closing the entry checks its CRC once all of it has been read.
		int close_err = unzCloseCurrentFile(zip);
		if (!err && close_err != UNZ_OK) err = set_err_loc(close_err, unit, __LINE__);
		if (!err) err = out.commit();
	}
	if (err)
		xer_here() << "Zip to file failed with error " << err << ". file = " << sErrFile << " line = " << sErrLine
		    << ". inFile=" << inPath << ".\n";
	return err;
}

static bool is_mac_resource(const char* name) { return strncmp(name, "__MACOSX", 8) == 0; }

// Writes, creates or skips the archive's current entry.
static int extract_entry(unzFile zip, const std::string& out_directory)
{
	char name[256];
	unz_file_info64 info;
	int err = unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
	if (err != UNZ_OK) {
		xer_here() << "unzGetCurrentFileInfo err != UNZ_OK! err=" << err << "\n";
		return set_err_loc(err, unit, __LINE__);
	}
	// A name cut short at the buffer or at an embedded zero would be written under another name.
	if (info.size_filename >= sizeof name || strlen(name) != info.size_filename || !entry_name_stays_inside(name)) {
		err = set_err_loc(20002, unit, __LINE__);
	} else if (name[info.size_filename - 1] == '/') {
		if (!is_mac_resource(name)) {
			err = make_folder(out_directory + name);
			if (!show_make_dir_err(err)) err = 0;
		}
	} else if (is_mac_resource(name)) {
		err = unzip_resource_fork(zip, out_directory + name, info);
	} else if (((info.external_fa >> 16) & 0xA000) == 0xA000) {
		err = unzip_symlink(zip, out_directory + name, info);
	} else {
		err = unzip_file(zip, out_directory + name, info);
	}
	if (err) xer_here() << "UNZIP zip_to_file failed with err=" << err << "\n";
	return err;
}

int zip_to_file(const std::string& zip_file, const std::string& out_directory)
{
	unzFile zip = unzOpen64(zip_file.c_str());
	if (!zip) {
		xer_here() << "OK I am about to report that I could not open a zip file for extraction!\n"
		    << "That incoming file is " << zip_file << "\n"
		    << "In c-form, it is " << zip_file.c_str() << "\n"
		    << "The size is " << zip_file.size() << "\n";
		return set_err_loc(20001, unit, __LINE__);
	}
	int err = 0;
	for (int step = unzGoToFirstFile(zip); step != UNZ_END_OF_LIST_OF_FILE; step = unzGoToNextFile(zip)) {
		if (step != UNZ_OK) {
			err = set_err_loc(step, unit, __LINE__);
			break;
		}
		if ((err = extract_entry(zip, out_directory))) break;
	}
	unzClose(zip);
	if (err)
		xer_here() << "Zip to file failed with error err = " << err << ". file = " << sErrFile << " line = " << sErrLine
		    << ". zip_file=" << zip_file << ", out_directory=" << out_directory << ".\n";
	return err;
}
