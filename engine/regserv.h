// Registration of one COM server or type library: a DLL through its DllRegisterServer
// entry point, an EXE by running it, a type library through the platform's COM library.
// The object keeps the message of the last failure for the Retry/Cancel box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"

namespace engine {

// The result of RegisterServerFile.
enum class RegResult : std::int32_t {
  RegOk = 0,      // registered
  RegFailed = 2,  // not registered; RegStatus tells why
};

// What a registration does with a file, told by its name and the type-library flag.
enum class ServerForm {
  Dll,          // loaded, and its DllRegisterServer called
  TypeLibrary,  // registered through the system's COM library
  Program,      // an ".EXE" (any case): run, and it registers itself
};
ServerForm FormOfServer(const std::string& path, bool typeLibrary);

// A registration failure with the message the user is shown.
class RegServError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The registration unit. Its status text lives as long as the object (the program) and is
// only ever replaced by a newer failure, never cleared.
class RegServer {
 public:
  // Registers the file at `path`: an ".EXE" (any case) is run and must end with code 0;
  // otherwise a type library when `typeLibrary` is set, else a DLL server. A failure with
  // a message becomes RegFailed with the message in RegStatus; other errors pass on.
  RegResult RegisterServerFile(platform::Platform& platform, const std::string& path,
                               bool typeLibrary);
  // Loads the current path as a DLL and calls its DllRegisterServer; throws RegServError.
  void RegisterDllServer(platform::Platform& platform);
  // Registers the current path as a type library (a bare file name is taken from the
  // current directory); throws RegServError.
  void RegisterTypeLibrary(platform::Platform& platform);

  // The message of the last failure (empty before the first one).
  const std::string& RegStatus() const { return status_; }
  // The path of the registration under way (a type library's may have been completed).
  const std::string& CurrentPath() const { return path_; }

 private:
  std::string status_;
  std::string path_;
  bool typeLibrary_ = false;
};

}  // namespace engine
