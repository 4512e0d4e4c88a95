#include "app/Presentation.h"

#include <vector>

#include "app/Setup_.h"
#include "platform/FileText.h"

namespace {

constexpr const char* kPresentFile = "Present.bmp";
constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 240;
constexpr int kPictureTop = 100;

}  // namespace

std::unique_ptr<TTimerImage> MakePresentPicture(forms::Form& owner, platform::Files& files,
                                                int screenWidth) {
  const std::uint32_t attributes = files.GetAttributes(kPresentFile);
  if (attributes == platform::kInvalidFileAttributes ||
      (attributes & platform::kFileAttributeDirectory) != 0)
    return nullptr;
  auto picture = std::make_unique<TTimerImage>(owner, "PresentPicture");
  picture->SetBounds((screenWidth - kPictureWidth) / 2, kPictureTop, kPictureWidth, kPictureHeight);
  picture->SetShowPruh(10);
  picture->SetShowInc(1);
  picture->SetShowLength(10);
  picture->SetShowSpeed(10);
  picture->SetShowStyle(ssHorLines);
  picture->SetAOnTop(false);
  // Loaded into the bitmap in place: the control keeps its size whatever the picture's. A
  // file larger than any picture that can be held is not read at all.
  const std::vector<platform::FindData> found = files.Find(kPresentFile);
  if (found.empty() || found.front().size > forms::kMaxBmpFileBytes) return picture;
  if (const auto bytes = platform::ReadWholeFile(files, kPresentFile))
    forms::DecodeBmp(*bytes, picture->PictureA());
  return picture;
}

void TMainForm::SetPresentation(bool on) {
  if (PictureShown && PresentPicture) PresentPicture->SetAOnTop(on);
}
