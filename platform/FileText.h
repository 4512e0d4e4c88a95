// Whole-file reading and writing on top of the Files service.
#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"

namespace platform {

// Reads every byte of a file (opened for reading, others may read too). Empty when the
// file cannot be opened or a read fails. With `info`, also what the handle read from tells
// of the file (File::Info), so that the bytes and the identity are of one file.
std::optional<std::string> ReadWholeFile(Files& files, const std::string& path,
                                         std::optional<FileInfo>* info = nullptr);

// Creates or truncates a file and writes `bytes` to it. False when it cannot be created or
// a write falls short.
bool WriteWholeFile(Files& files, const std::string& path, const std::string& bytes);

}  // namespace platform
