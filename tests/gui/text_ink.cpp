#include "text_ink.h"

#include <algorithm>
#include <climits>
#include <map>
#include <stdexcept>

namespace orlaspin::gui_test {

namespace {

// Room around an expected text for glyphs that reach past their advance.
constexpr int kSlack = 24;
constexpr COLORREF kPaper = RGB(255, 255, 255);
// Long enough for a box to paint on a loaded machine; only a failing check waits it out.
constexpr auto kPaintTimeout = std::chrono::seconds(5);

std::uint32_t Colour(const Picture& picture, int x, int y) {
  return picture.Data()[static_cast<std::size_t>(y) * picture.Width() + x] & 0xFFFFFFu;
}

// The colour most of the area has.
std::uint32_t Background(const Picture& picture, const RECT& area) {
  std::map<std::uint32_t, int> counts;
  for (int y = std::max(0L, area.top); y < std::min<LONG>(picture.Height(), area.bottom); ++y) {
    for (int x = std::max(0L, area.left); x < std::min<LONG>(picture.Width(), area.right); ++x) {
      ++counts[Colour(picture, x, y)];
    }
  }
  if (counts.empty()) return 0;
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

bool Contains(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

struct Extent {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  void Add(int x, int y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + 1);
    bottom = std::max(bottom, y + 1);
  }
  std::string Describe() const {
    if (left == INT_MAX) return "no ink";
    return "x " + std::to_string(left) + ".." + std::to_string(right) + ", y " +
           std::to_string(top) + ".." + std::to_string(bottom);
  }
};

template <class Draw>
ExpectedText DrawOnPaper(SIZE text, int lineHeight, HFONT font, Draw&& draw) {
  Picture picture = DrawOffscreen(text.cx + 2 * kSlack, text.cy + 2 * kSlack, [&](HDC dc) {
    const RECT all{0, 0, text.cx + 2 * kSlack, text.cy + 2 * kSlack};
    SetBkColor(dc, kPaper);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    draw(dc);
    SelectObject(dc, old);
  });
  return {std::move(picture), {kSlack, kSlack}, lineHeight};
}

int WidthOf(HFONT font, const std::wstring& text) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

}  // namespace

TestFont::TestFont(const LOGFONTW& description) : handle_(CreateFontIndirectW(&description)) {
  if (!handle_) throw std::runtime_error("CreateFontIndirectW failed");
}

TestFont::~TestFont() { DeleteObject(handle_); }

TEXTMETRICW TestFont::Metrics() const {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, handle_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return metrics;
}

std::wstring TestFont::Face() const {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, handle_);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(screen, LF_FACESIZE, face);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return face;
}

LOGFONTW MessageFontDescription() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    throw std::runtime_error("SystemParametersInfoW failed");
  }
  return metrics.lfMessageFont;
}

ExpectedText DrawMeasured(const std::vector<std::wstring>& lines, HFONT font) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  std::vector<std::vector<int>> advances;
  int width = 0;
  for (const std::wstring& line : lines) {
    std::vector<int> ends(line.size());
    SIZE size{};
    GetTextExtentExPointW(screen, line.c_str(), static_cast<int>(line.size()), 0, nullptr,
                          ends.data(), &size);
    std::vector<int>& steps = advances.emplace_back(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) steps[i] = ends[i] - (i ? ends[i - 1] : 0);
    width = std::max(width, static_cast<int>(size.cx));
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);

  const int lineHeight = metrics.tmHeight;
  const SIZE text{width, lineHeight * static_cast<int>(lines.size())};
  return DrawOnPaper(text, lineHeight, font, [&](HDC dc) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ExtTextOutW(dc, kSlack, kSlack + static_cast<int>(i) * lineHeight, 0, nullptr,
                  lines[i].c_str(), static_cast<UINT>(lines[i].size()), advances[i].data());
    }
  });
}

ExpectedText DrawWithDrawText(const std::wstring& text, HFONT font, UINT format, SIZE box) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return DrawOnPaper(box, metrics.tmHeight, font, [&](HDC dc) {
    RECT where{kSlack, kSlack, kSlack + box.cx, kSlack + box.cy};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &where, format | DT_NOCLIP);
  });
}

std::vector<std::wstring> WrapAtSpaces(const std::wstring& text, HFONT font, int maxWidth) {
  std::vector<std::wstring> lines;
  std::wstring line;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(L' ', at);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring word = text.substr(at, end - at);
    const std::wstring longer = line.empty() ? word : line + L' ' + word;
    if (!line.empty() && WidthOf(font, longer) > maxWidth) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    at = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string InkDifference(const Picture& captured, const RECT& visible, POINT textOrigin,
                          const ExpectedText& expected) {
  const std::uint32_t capturedPaper = Background(captured, visible);
  const std::uint32_t expectedPaper = kPaper & 0xFFFFFFu;
  // Where the expected picture lies in the capture.
  const int dx = textOrigin.x - expected.origin.x;
  const int dy = textOrigin.y - expected.origin.y;
  const RECT canvas{dx, dy, dx + expected.picture.Width(), dy + expected.picture.Height()};
  RECT all;
  UnionRect(&all, &visible, &canvas);

  std::map<int, std::pair<Extent, Extent>> lines;  // drawn, expected
  bool differs = false;
  int firstLine = 0;
  for (int y = all.top; y < all.bottom; ++y) {
    for (int x = all.left; x < all.right; ++x) {
      const bool inCapture = x >= 0 && y >= 0 && x < captured.Width() && y < captured.Height();
      const bool drawn =
          inCapture && Contains(visible, x, y) && Colour(captured, x, y) != capturedPaper;
      const bool wanted =
          Contains(canvas, x, y) && Colour(expected.picture, x - dx, y - dy) != expectedPaper;
      const int line = (y - textOrigin.y + 1000 * expected.lineHeight) / expected.lineHeight - 1000;
      if (drawn) lines[line].first.Add(x - textOrigin.x, y - textOrigin.y);
      if (wanted) lines[line].second.Add(x - textOrigin.x, y - textOrigin.y);
      if (drawn != wanted && !differs) {
        differs = true;
        firstLine = line;
      }
    }
  }
  if (!differs) return "";
  const auto& [drawn, wanted] = lines[firstLine];
  return "line " + std::to_string(firstLine + 1) + ": drawn " + drawn.Describe() +
         "; the whole text: " + wanted.Describe();
}

RECT InCapture(const RECT& onScreen, const RECT& area) {
  return {onScreen.left - area.left, onScreen.top - area.top, onScreen.right - area.left,
          onScreen.bottom - area.top};
}

SIZE DrawTextSize(const std::wstring& text, HFONT font, UINT format) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  RECT box{0, 0, 0, 0};
  DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &box, format | DT_CALCRECT);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return {box.right, box.bottom};
}

std::string ShownTextDifference(HWND box, HWND label, const ExpectedText& expected) {
  const RECT area = ClientRectOnScreen(box);
  const RECT labelArea = ClientRectOnScreen(label);
  RECT visible;
  IntersectRect(&visible, &labelArea, &area);
  const RECT shownAt = InCapture(visible, area);
  const POINT origin{labelArea.left - area.left, labelArea.top - area.top};
  std::string difference;
  WaitUntil(
      [&] {
        difference = InkDifference(CaptureScreen(area), shownAt, origin, expected);
        return difference.empty();
      },
      kPaintTimeout);
  return difference;
}

std::string NoticeTextDifference(HWND box, const std::wstring& text, const LOGFONTW& messageFont) {
  const TestFont font(messageFont);
  const int halfScreen = GetSystemMetrics(SM_CXSCREEN) / 2;
  return ShownTextDifference(
      box, ChildOfClass(box, L"Static"),
      DrawMeasured(WrapAtSpaces(text, font.Handle(), halfScreen), font.Handle()));
}

}  // namespace orlaspin::gui_test
