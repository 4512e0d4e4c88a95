#include "controls/Images.h"

#include <exception>

#include "forms/Form.h"

TTimerImage::TTimerImage(forms::WinControl& parent, std::string name)
    : forms::GraphicControl(parent, std::move(name)), FTimer(*this, "FTimer") {
  FTimer.SetEnabled(false);
  FTimer.SetInterval(ShowSpeed_);
  FTimer.SetOnTimer([this] { TimerTick(); });
  SetBounds(Left(), Top(), 100, 100);
}

TTimerImage::~TTimerImage() = default;

const forms::Bitmap& TTimerImage::ShownPicture() const {
  const forms::Bitmap& chosen = AOnTop_ ? AObrazek_ : BObrazek_;
  return chosen.Empty() ? FSnapshot : chosen;
}

void TTimerImage::SetAObrazek(const forms::Bitmap& picture) {
  AObrazek_ = picture;
  if (!AObrazek_.Empty()) SetBounds(Left(), Top(), AObrazek_.Width(), AObrazek_.Height());
  Repaint();
}

void TTimerImage::SetBObrazek(const forms::Bitmap& picture) {
  BObrazek_ = picture;
  if (!BObrazek_.Empty()) SetBounds(Left(), Top(), BObrazek_.Width(), BObrazek_.Height());
  Repaint();
}

void TTimerImage::SetShowSpeed(std::uint16_t speed) {
  if (speed == ShowSpeed_) return;
  ShowSpeed_ = speed;
  FTimer.SetInterval(speed);
}

void TTimerImage::SetShowStyle(TShowStyle style) {
  ShowStyle_ = style;
}

void TTimerImage::SetVisible(bool visible) {
  if (visible == Visible_) return;
  Visible_ = visible;
  Repaint();
}

void TTimerImage::SetAOnTop(bool aOnTop) {
  if (aOnTop == AOnTop_) return;
  if (FTimer.Enabled()) FinishTransition();
  AOnTop_ = aOnTop;
  if (!Visible_ || (AObrazek_.Empty() && BObrazek_.Empty())) return;
  if (ShowStyle_ == ssUpLines) {
    FPhase = ShowLength_;
    FCols = Width() / ShowPruh_ + 1;
    FRows = Height() / ShowPruh_ + 1;
    FCells = FCols * FRows;
  } else {
    FPhase = -1;
  }
  FTimer.SetEnabled(true);
}

void TTimerImage::FinishTransition() {
  FTimer.SetEnabled(false);
  Repaint();
}

void TTimerImage::CopyBlock(const forms::Bitmap& source, int left, int top, int right, int bottom) {
  Surface().BitBlt(left, top, right - left, bottom - top, source, left, top);
}

void TTimerImage::TimerTick() {
  if (!FTimer.Enabled()) return;
  const forms::Bitmap& source = ShownPicture();
  switch (ShowStyle_) {
    case ssHorLines:
    case ssVertLines:
    case ssCubes:
      FPhase += ShowInc_;
      if (FPhase > ShowPruh_ + ShowInc_) {
        FinishTransition();
        return;
      }
      if (ShowStyle_ == ssVertLines) {
        for (int x = 0; x < Width(); x += ShowPruh_) CopyBlock(source, x, 0, x + FPhase, Height());
      } else {
        for (int y = 0; y < Height(); y += ShowPruh_) {
          if (ShowStyle_ == ssHorLines) {
            CopyBlock(source, 0, y, Width(), y + FPhase);
            continue;
          }
          for (int x = 0; x < Width(); x += ShowPruh_)
            CopyBlock(source, x, y, x + FPhase, y + FPhase);
        }
      }
      return;
    case ssUpLines:
      for (int pass = 0; pass < ShowInc_; ++pass) {
        --FPhase;
        if (FPhase < 0) {
          FinishTransition();
          return;
        }
        const int cellsPerPass = FCells / ShowLength_;
        for (int j = 0; j <= cellsPerPass; ++j) {
          const int k = j * ShowLength_ + FPhase;
          const int left = (k % FCols) * ShowPruh_;
          const int top = (k / FCols) * ShowPruh_;
          CopyBlock(source, left, top, left + ShowPruh_, top + ShowPruh_);
        }
      }
      return;
    case ssNoEffect:
    default:
      FinishTransition();
      return;
  }
}

void TTimerImage::Paint() {
  if (FTimer.Enabled()) return;
  // A picture smaller than the control leaves the rest white, as a fresh work bitmap is.
  forms::Bitmap work(Width(), Height(), forms::kClWhite);
  if (BoundsRect() != snapshotBounds_ || FSnapshot.Empty()) TakeSnapshot();
  forms::Canvas(work).Draw(0, 0, ShownPicture());
  if (Visible_) Surface().Draw(0, 0, work);
}

void TTimerImage::BoundsChanged() {
  const bool resized = Shown().Width() != Width() || Shown().Height() != Height();
  forms::GraphicControl::BoundsChanged();  // paints when the size changed
  if (!resized) Repaint();
}

void TTimerImage::TakeSnapshot() {
  snapshotBounds_ = BoundsRect();
  FSnapshot = forms::Bitmap(Width(), Height());
  forms::Form* form = ParentForm();
  if (!form) return;
  // The form's surface as it shows now, without this control on it.
  snapshotting_ = true;
  const forms::Bitmap surface = form->RenderClient();
  snapshotting_ = false;
  const forms::Rect at = FormRect();
  forms::Canvas(FSnapshot).BitBlt(0, 0, Width(), Height(), surface, at.left, at.top);
}

bool GrabBackground(TTimerImage& image, const TGradientBack& back) {
  try {
    if (!back.BackCanvas) return false;
    forms::Bitmap& picture = image.PictureB();
    picture = forms::Bitmap(image.Width(), image.Height());
    forms::Canvas(picture).BitBlt(0, 0, image.Width(), image.Height(), back.BackCanvas->Target(),
                                  image.Left(), image.Top());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
