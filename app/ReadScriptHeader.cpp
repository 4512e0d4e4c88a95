// The header pass: reads the settings the wizard needs from Setup.Inf and checks the
// operating system the script asks for.
#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "app/Setup_.h"
#include "forms/MessageBox.h"
#include "platform/FileText.h"
#include "script/Header.h"
#include "script/Numbers.h"
#include "script/ScriptLine.h"
#include "script/TextLines.h"
#include "wizard/BackNext.h"

void TMainForm::ReadScriptHeader() {
  const std::string path = SetupDir + "Setup.Inf";
  const std::optional<std::string> bytes = platform::ReadWholeFile(Platform().files, path);
  if (!bytes) throw std::runtime_error("Cannot read " + path);
  const std::vector<std::string> lines = script::SplitTextLines(*bytes);
  TWizForm& wizard = *context_.forms.WizForm;

  for (const std::string& line : lines) {
    if (Interrupted) break;
    const script::ScriptLine split = script::SplitScriptLine(line);
    switch (script::MatchHeaderKey(split.Key)) {
      case script::HeaderKey::InstTo:
        InstallDir = split.Value1;
        break;
      case script::HeaderKey::Caption:
        ProductCaption = split.Value1;
        LTitleA.SetCaption(ProductCaption);
        LTitleB.SetCaption(ProductCaption);
        App()->ProcessMessages();
        break;
      case script::HeaderKey::OsType: {
        const script::OsTypeCheck check =
            script::CheckOSType(split.Value1, Platform().system.Version().platformId);
        if (check.failed) {
          Message(script::OsTypeMessage(check.name), forms::kMbOk | forms::kMbIconError);
          Interrupted = true;
        }
        break;
      }
      case script::HeaderKey::CsdVersion:
        if (!script::CheckCSDVersion(split.Value1, Platform().system.Version().csdVersion)) {
          Message(script::CsdVersionMessage(split.Value1), forms::kMbOk | forms::kMbIconError);
          Interrupted = true;
        }
        break;
      case script::HeaderKey::Reboot:
        if (script::IsFlagOn(split.Value1)) RebootNeeded = true;
        break;
      case script::HeaderKey::Process: {
        // A byte count, so decimal only; the KB figure is held to what the wizard can show.
        const std::optional<std::int64_t> bytesNeeded = script::ParseDecimal64(split.Value1);
        if (!bytesNeeded) throw std::runtime_error("PROCESS is not a whole number");
        SpaceRequiredKB = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(*bytesNeeded / 1000, INT32_MIN, INT32_MAX));
        break;
      }
      case script::HeaderKey::Uninstall:
        if (script::IsFlagOn(split.Value1)) WantUninstall = true;
        break;
      case script::HeaderKey::Lang:
        wizard.AddLanguage(split.Value1, split.Value2, split.Value3);
        break;
      case script::HeaderKey::Compressed:
        if (script::IsFlagOn(split.Value1)) Compressed = true;
        break;
      case script::HeaderKey::None:
        break;
    }
  }
  GroupName = ProductCaption;
}
