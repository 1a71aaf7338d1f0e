// Pictures and text of what the pilot sees: the MFD page drawn with Cairo in
// a real font from the page's own Sketchpad calls, the page as terminal text,
// and the view with the FUS overlay in its annotation boxes.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Orbitersdk.h"
#include "host/Host.h"
#include "tools/galeboard-sim/Scenario.h"

namespace sim {

// Texts from the module are single-byte Windows-1252 (the page's unit has the
// byte 0xB2 for the superscript two); Cairo and terminals want UTF-8.
std::string HostTextToUtf8(std::string_view text);

// A Sketchpad that draws with Cairo in DejaVu Sans sized so that a line is
// charHeight pixels high. GetTextWidth measures with that font, so the page
// lays its columns out against the very glyphs that are drawn. Coordinates
// are the display's pixels from (x0, y0) of the context.
class CairoSketchpad : public oapi::Sketchpad {
 public:
  CairoSketchpad(cairo_t* cr, double x0, double y0, unsigned charHeight);
  DWORD SetTextColor(DWORD col) override;
  DWORD GetTextWidth(const char* str, int len = 0) override;
  bool Text(int x, int y, const char* str, int len) override;
  int textCalls() const { return textCalls_; }

 private:
  void UseFont();

  cairo_t* cr_;
  double x0_, y0_;
  double size_ = 0.0;  // font size giving the character height
  double ascent_ = 0.0;
  DWORD colour_ = 0;
  int textCalls_ = 0;
};

// The display with its page and button labels, as a PNG. scale enlarges the
// picture (the page still sees its own pixel size).
bool RenderPage(ghost::Host& host, int display, const DisplayDecl& decl, const std::string& caption,
                const std::filesystem::path& png, std::string* error, double scale = 2.0);

// The page as text rows, one column per character width of the display; in
// terminal colours when colour is set. Button labels follow on a last row.
std::vector<std::string> PageText(ghost::Host& host, int display, const DisplayDecl& decl, bool colour);

// The view at the viewport's size: horizon by the focus vessel's pitch, the
// HUD when it is on, and every annotation in its box, with a magnified inset
// of the overlay beside the centre.
bool RenderView(const ghost::World& world, double simt, const std::filesystem::path& png, std::string* error);

// Frees the font caches that Cairo and fontconfig keep for the life of the
// process, so that leak checkers see only real leaks. Nothing may draw after.
void ReleaseFontCaches();

// An annotation's text height in pixels for its size and the viewport width:
// the host draws annotations in DejaVu Sans Mono with an em of
// 0.9 x size x width / 80, so that the FUS layout's columns (a unit of
// width / 80 x size apart) never overlap.
double AnnotationEm(double size, unsigned viewW);

}  // namespace sim
