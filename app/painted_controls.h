// The window's non-windowed controls: labels, link labels, push buttons and the picture area.
// The window owns them, paints them in their stored order (a later one covers an earlier one)
// and routes the mouse to the topmost one under the pointer.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "display_scale.h"

namespace orlaspin::app {

class PreviewRaster;

class PaintedControl {
 public:
  using ClickHandler = std::function<void(PaintedControl& sender)>;

  virtual ~PaintedControl() = default;

  const Rect& Bounds() const { return bounds_; }
  virtual void Paint(HDC dc) const = 0;
  bool IsVisible() const { return visible_; }
  void Hide() { visible_ = false; }
  bool HitTest(int x, int y) const { return bounds_.Contains(x, y); }

  // Only controls with a click handler take part in pressing; others let clicks fall through.
  bool IsClickable() const { return static_cast<bool>(onClick_); }
  void SetOnClick(ClickHandler handler) { onClick_ = std::move(handler); }
  void Click() {
    if (onClick_) onClick_(*this);
  }

  // The mouse went down on the control (true) or the press ended (false).
  virtual void SetPressed(bool /*pressed*/) {}
  // While pressed: whether the pointer is over the control.
  virtual void SetPointerInside(bool /*inside*/) {}
  virtual HCURSOR Cursor() const { return nullptr; }

 protected:
  explicit PaintedControl(const Rect& bounds) : bounds_(bounds) {}
  void SetBounds(const Rect& bounds) { bounds_ = bounds; }

 private:
  Rect bounds_;
  ClickHandler onClick_;
  bool visible_ = true;
};

// Left-aligned text that sizes itself to its lines; a carriage return starts a new line.
class Label : public PaintedControl {
 public:
  Label(int left, int top, std::wstring text, HFONT font, COLORREF colour);

  const std::wstring& Text() const { return text_; }
  // Resizes the label to the text: the widest line by all lines.
  void SetText(std::wstring text);
  void Paint(HDC dc) const override;

 private:
  std::wstring text_;
  HFONT font_;
  COLORREF colour_;
};

// A label that opens something when clicked and shows the pointing hand.
class LinkLabel final : public Label {
 public:
  using Label::Label;
  HCURSOR Cursor() const override { return LoadCursorW(nullptr, IDC_HAND); }
};

// A raised push button with a centred caption; it fires when released over itself.
class SpeedButton final : public PaintedControl {
 public:
  SpeedButton(const Rect& bounds, std::wstring caption, HFONT font)
      : PaintedControl(bounds), caption_(std::move(caption)), font_(font) {}

  void Paint(HDC dc) const override;
  void SetPressed(bool pressed) override {
    pressed_ = pressed;
    inside_ = pressed;
  }
  void SetPointerInside(bool inside) override { inside_ = inside; }
  bool LooksDown() const { return pressed_ && inside_; }

 private:
  std::wstring caption_;
  HFONT font_;
  bool pressed_ = false;
  bool inside_ = false;
};

// Image1: draws the preview raster at its top left, stretched to its bounds when the layout is
// scaled; draws nothing while there is no raster.
class PictureArea final : public PaintedControl {
 public:
  PictureArea(const Rect& bounds, const std::unique_ptr<PreviewRaster>& raster)
      : PaintedControl(bounds), raster_(raster) {}

  void Paint(HDC dc) const override;

 private:
  const std::unique_ptr<PreviewRaster>& raster_;
};

}  // namespace orlaspin::app
