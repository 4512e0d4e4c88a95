// The device names Windows keeps in every directory: CON, PRN, AUX, NUL, COM1-COM9 and
// LPT1-LPT9, in any case, with or without an extension. A file of such a name can be
// neither made nor found; the name reaches the device.
//
// The emulated machine has no console, printer or serial and parallel ports behind them,
// so it answers as a Windows (here: Wine, 32-bit) without such devices does: every device
// name is there (attributes archive, found with its name as written before the first dot,
// size 0, no time stamp) but only NUL opens, as a sink that reads nothing and takes every
// write; CON refuses as an invalid handle and the others as not found.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace sandbox {

// The device part of one path component ("Con" of "Con.txt", "NUL" of "NUL  "), or
// nothing when the component names an ordinary file.
std::optional<std::string> DeviceNameOf(std::string_view component);

// True for the null device, the one device that opens here.
bool IsNullDevice(std::string_view device);

// The error an open of any other device gives (ERROR_INVALID_HANDLE for CON,
// ERROR_FILE_NOT_FOUND for the rest).
std::uint32_t DeviceOpenError(std::string_view device);

// An open null device: reads give 0 bytes, writes take everything, time stamps are taken.
std::unique_ptr<platform::File> OpenNullDevice();

// What a directory search finds for a device: the name, archive, size 0 and a zero time.
platform::FindData DeviceFindData(std::string name);

}  // namespace sandbox
