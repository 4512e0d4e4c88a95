// TTimerImage: a windowless control holding two pictures that switches between them
// through a timer-driven transition (stripes, squares or scattered cells). Where a picture
// is empty it shows a snapshot of the form under the control instead, so switching between
// a picture and an empty one makes the picture appear on, or vanish from, the background.
#pragma once

#include <cstdint>
#include <string>

#include "controls/Gradient.h"
#include "forms/Component.h"
#include "forms/ExtControls.h"

// How the next picture comes into view.
enum TShowStyle : std::uint8_t {
  ssHorLines = 0,
  ssCubes = 1,
  ssVertLines = 2,
  ssUpLines = 3,
  ssNoEffect = 4,
};

class TTimerImage : public forms::GraphicControl {
 public:
  // A 100 x 100 picture control with both pictures empty, picture A on top, horizontal
  // stripes 10 pixels apart growing one pixel every 10 ms.
  explicit TTimerImage(forms::WinControl& parent, std::string name = {});
  ~TTimerImage() override;

  const forms::Bitmap& AObrazek() const { return AObrazek_; }
  const forms::Bitmap& BObrazek() const { return BObrazek_; }
  // Copies the picture in; a non-empty one gives the control its size. Paints.
  void SetAObrazek(const forms::Bitmap& picture);
  void SetBObrazek(const forms::Bitmap& picture);
  // The pictures themselves, changed in place: no resizing, no painting.
  forms::Bitmap& PictureA() { return AObrazek_; }
  forms::Bitmap& PictureB() { return BObrazek_; }

  bool AOnTop() const { return AOnTop_; }
  // Chooses the shown picture; a change starts a transition towards it (when visible and
  // not both pictures are empty), ending a running one at once first.
  void SetAOnTop(bool aOnTop);

  int ShowPruh() const { return ShowPruh_; }
  void SetShowPruh(int pruh) { ShowPruh_ = pruh; }
  int ShowInc() const { return ShowInc_; }
  void SetShowInc(int inc) { ShowInc_ = inc; }
  int ShowLength() const { return ShowLength_; }
  void SetShowLength(int length) { ShowLength_ = length; }
  std::uint16_t ShowSpeed() const { return ShowSpeed_; }
  // The timer interval in milliseconds.
  void SetShowSpeed(std::uint16_t speed);
  TShowStyle ShowStyle() const { return ShowStyle_; }
  // A running transition takes the new style at its next tick.
  void SetShowStyle(TShowStyle style);

  // The control's own visibility: when false it draws nothing and starts no transition,
  // while it stays in place for the toolkit (Control::Visible is that other one).
  bool Visible() const { return Visible_; }
  void SetVisible(bool visible);

  // True while a transition runs.
  bool InTransition() const { return FTimer.Enabled(); }
  // Transition progress: the stripe width so far, or for ssUpLines the passes left.
  int Phase() const { return FPhase; }
  // The cell grid of ssUpLines.
  int Cells() const { return FCells; }
  int Cols() const { return FCols; }
  int Rows() const { return FRows; }
  // The copy of the form under the control, and the bounds it was taken at.
  const forms::Bitmap& Snapshot() const { return FSnapshot; }
  const forms::Rect& SnapshotBounds() const { return snapshotBounds_; }

  // The picture shown now (or being brought into view): the chosen one, or the snapshot
  // when the chosen one is empty.
  const forms::Bitmap& ShownPicture() const;
  // One step of the running transition.
  void TimerTick();
  // Copies the form's pixels under the control into the snapshot.
  void TakeSnapshot();

  // Nothing of the control shows while it is not Visible or its snapshot is being taken.
  bool Opaque() const override { return Visible_ && !snapshotting_; }

 protected:
  // Draws the shown picture whole; draws nothing while a transition runs.
  void Paint() override;
  // A moved control is painted again, as the screen shows it anew at its new place.
  void BoundsChanged() override;

 private:
  // Copies one rectangle of the source picture to the same place on the control.
  void CopyBlock(const forms::Bitmap& source, int left, int top, int right, int bottom);
  void FinishTransition();

  bool Visible_ = true;
  forms::Bitmap AObrazek_;
  forms::Bitmap BObrazek_;
  forms::Bitmap FSnapshot;
  bool AOnTop_ = true;
  forms::Timer FTimer;
  int FPhase = 0;
  int ShowPruh_ = 10;
  forms::Rect snapshotBounds_{-1, -1, -2, -2};  // left, top, width, height all -1 at first
  std::uint16_t ShowSpeed_ = 10;
  TShowStyle ShowStyle_ = ssHorLines;
  int ShowInc_ = 1;
  int ShowLength_ = 10;
  int FCells = 0;
  int FCols = 0;
  int FRows = 0;
  bool snapshotting_ = false;
};

// Gives picture B the picture control's size and copies into it the gradient's pixels at
// the picture control's left and top; false when the copy failed.
bool GrabBackground(TTimerImage& image, const TGradientBack& back);
