#pragma once
// Unpacking zip archives into a folder. Results are 0 or an error code (see error_str).
#include <minizip/unzip.h>

#include <string>

// Writes every entry of the archive below `out_directory` (ends with '/'), in archive order. Folder
// entries create one folder each; other output folders must exist. Existing files are replaced.
int zip_to_file(const std::string& zip_file, const std::string& out_directory);
// Writes the archive's current entry to `inPath`.
int unzip_file(unzFile zip, const std::string& inPath, const unz_file_info64& info);
// Symbolic-link and Mac resource-fork entries are skipped.
int unzip_symlink(unzFile zip, const std::string& inPath, const unz_file_info64& info);
int unzip_resource_fork(unzFile zip, const std::string& inPath, const unz_file_info64& info);
