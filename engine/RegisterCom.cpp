// COM registration of an installed file, with the Retry/Cancel loop around regserv.
#include "app/Setup_.h"
#include "forms/MessageBox.h"
#include "script/Text.h"

namespace {

constexpr char kRetryCaption[] = "Registration of COM objects";
constexpr char kUserInterruption[] =
    "The installation interrupted by the user.\r\nThe installation is not complete.";
constexpr char kUnidentifiableError[] =
    "The installation was interrupted by unidentificable error.\r\n"
    "The installation is not complete.";

}  // namespace

bool TMainForm::RegisterComFile(const std::string& value, const std::string& path) {
  const bool typeLibrary = script::UpperAscii(value) == "REGTLB";
  // Noted before the server runs, so that a registration cut short is taken back too.
  if (Record) Record->NoteServer(path, engine::FormOfServer(path, typeLibrary));
  for (;;) {
    engine::RegResult result = engine::RegResult::RegFailed;
    try {
      result = RegServ.RegisterServerFile(Platform(), path, typeLibrary);
    } catch (const std::exception&) {
      Message(kUnidentifiableError, forms::kMbOk | forms::kMbIconError);
      Interrupted = true;
      return false;
    }
    if (result == engine::RegResult::RegOk) return true;
    // Retry repeats the whole registration, the file-exists test included.
    const int answer = App()->MessageBox(RegServ.RegStatus(), kRetryCaption,
                                         forms::kMbRetryCancel | forms::kMbIconQuestion);
    if (answer != forms::kIdRetry) {
      Message(kUserInterruption, forms::kMbOk | forms::kMbIconError);
      Interrupted = true;
      return false;
    }
  }
}
