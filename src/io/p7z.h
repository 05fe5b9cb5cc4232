#pragma once
// Unpacking 7z archives into a folder. Results are 0 or an error code (see error_str).
#include <archive.h>

#include <string>

// Writes every file item of the archive below `out_directory` (ends with '/'), in archive order.
// Folders are not created: the output folders must exist. Existing files are replaced.
int p7z_to_file(const std::string& zip_file, const std::string& out_directory);

// The archive reader's input stream over the open archive file (`stream` is its p7z_stream_struct).
la_ssize_t SzFileReadImp(struct archive* reader, void* stream, const void** buf);
la_int64_t SzFileSeekImp(struct archive* reader, void* stream, la_int64_t offset, int whence);
