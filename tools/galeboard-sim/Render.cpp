#include "tools/galeboard-sim/Render.h"

#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "host/RecordingSketchpad.h"
#include "tools/galeboard-sim/BodyAtmosphere.h"
#include "tools/galeboard-sim/Printable.h"

namespace sim {

namespace {

constexpr char kPageFont[] = "DejaVu Sans";
constexpr char kMonoFont[] = "DejaVu Sans Mono";
constexpr double kPi = 3.141592653589793;
// The bezel around a display's screen [display pixels].
constexpr double kBezelSide = 52.0, kBezelTop = 24.0, kBezelBottom = 34.0;

void SetColour(cairo_t* cr, DWORD bgr, double alpha = 1.0) {
  cairo_set_source_rgba(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0, alpha);
}

bool WritePng(cairo_surface_t* surface, const std::filesystem::path& png, std::string* error) {
  cairo_surface_flush(surface);
  const cairo_status_t status = cairo_surface_write_to_png(surface, png.string().c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = "cannot write " + png.string() + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

void Font(cairo_t* cr, const char* face, double size, bool bold = false) {
  cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& utf8) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, utf8.c_str(), &e);
  return e.x_advance;
}

// Text with its top at y.
void TextAt(cairo_t* cr, double x, double y, const std::string& utf8) {
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_move_to(cr, x, y + fe.ascent);
  cairo_show_text(cr, utf8.c_str());
}

void RoundedBox(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

const char* HudModeName(int mode) {
  switch (mode) {
    case HUD_ORBIT:
      return "ORBIT";
    case HUD_SURFACE:
      return "SURFACE";
    case HUD_DOCKING:
      return "DOCKING";
    default:
      return "";
  }
}

const char* CockpitModeName(int mode) {
  switch (mode) {
    case COCKPIT_GENERIC:
      return "generic";
    case COCKPIT_PANELS:
      return "panels";
    case COCKPIT_VIRTUAL:
      return "virtual";
    default:
      return "?";
  }
}

std::string ButtonLabel(ghost::Host& host, int display, int bt) {
  MFD* page = host.display(display).page;
  const char* label = page ? page->ButtonLabel(bt) : nullptr;
  return label ? HostTextToUtf8(label) : std::string();
}

}  // namespace

namespace {

// The code page's converter, opened once and closed when the program ends.
class Cp1252ToUtf8 {
 public:
  Cp1252ToUtf8() : cd_(iconv_open("UTF-8", "CP1252")) {}
  ~Cp1252ToUtf8() {
    if (open()) iconv_close(cd_);
  }
  Cp1252ToUtf8(const Cp1252ToUtf8&) = delete;
  Cp1252ToUtf8& operator=(const Cp1252ToUtf8&) = delete;

  bool open() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::string Convert(std::string_view text) {
    std::string out(text.size() * 3 + 1, '\0');
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* o = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
      if (iconv(cd_, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1)) break;
      if ((errno != EILSEQ && errno != EINVAL) || outLeft < 3) break;
      // A byte the code page leaves undefined: the replacement character.
      std::memcpy(o, "\xEF\xBF\xBD", 3);
      o += 3;
      outLeft -= 3;
      ++in;
      --inLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string HostTextToUtf8(std::string_view text) {
  static Cp1252ToUtf8 converter;
  if (converter.open()) return converter.Convert(text);
  std::string ascii;
  for (char c : text) ascii += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  return ascii;
}

CairoSketchpad::CairoSketchpad(cairo_t* cr, double x0, double y0, unsigned charHeight)
    : Sketchpad(nullptr), cr_(cr), x0_(x0), y0_(y0) {
  Font(cr_, kPageFont, 1.0);
  cairo_font_extents_t unit;
  cairo_font_extents(cr_, &unit);
  size_ = static_cast<double>(charHeight) / (unit.ascent + unit.descent);
  cairo_set_font_size(cr_, size_);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  ascent_ = fe.ascent;
  SetColour(cr_, colour_);
}

// The context may be shared: every call sets the pad's own font first.
void CairoSketchpad::UseFont() { Font(cr_, kPageFont, size_); }

DWORD CairoSketchpad::SetTextColor(DWORD col) {
  const DWORD previous = colour_;
  colour_ = col;
  SetColour(cr_, col);
  return previous;
}

DWORD CairoSketchpad::GetTextWidth(const char* str, int len) {
  if (!str) return 0;
  const size_t n = len > 0 ? static_cast<size_t>(len) : std::strlen(str);
  UseFont();
  return static_cast<DWORD>(std::lround(TextWidth(cr_, HostTextToUtf8(std::string_view(str, n)))));
}

bool CairoSketchpad::Text(int x, int y, const char* str, int len) {
  if (!str || len <= 0) return false;
  ++textCalls_;
  UseFont();
  SetColour(cr_, colour_);
  cairo_move_to(cr_, x0_ + x, y0_ + y + ascent_);
  cairo_show_text(cr_, HostTextToUtf8(std::string_view(str, static_cast<size_t>(len))).c_str());
  return true;
}

namespace {

// The bezel around a display of w x h: its caption, the twelve buttons with
// their labels beside them, and the three fixed buttons below.
void DrawBezel(cairo_t* cr, ghost::Host& host, int display, const std::string& caption, double w, double h) {
  const double totalW = w + 2 * kBezelSide;
  cairo_set_source_rgb(cr, 0.17, 0.18, 0.19);
  cairo_paint(cr);
  Font(cr, kPageFont, 10.0);
  cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
  const std::string cap = HostTextToUtf8(caption);
  TextAt(cr, (totalW - TextWidth(cr, cap)) / 2, 6.0, cap);
  Font(cr, kPageFont, 8.5, true);
  for (int bt = 0; bt < 12; ++bt) {
    const bool left = bt < 6;
    const double y = kBezelTop + h * (0.1 + 0.8 * (bt % 6) / 5.0);
    const double bx = left ? 5.0 : totalW - 5.0 - 13.0;
    RoundedBox(cr, bx, y - 5, 13, 10, 2.5);
    cairo_set_source_rgb(cr, 0.42, 0.43, 0.45);
    cairo_fill(cr);
    const std::string label = ButtonLabel(host, display, bt);
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.85);
    const double lw = TextWidth(cr, label);
    TextAt(cr, left ? bx + 16.0 : bx - 3.0 - lw, y - 5.5, label);
  }
  const char* const fixed[3] = {"PWR", "SEL", "MNU"};
  for (int i = 0; i < 3; ++i) {
    const double bx = totalW / 2 + (i - 1) * 54.0 - 16.0, by = kBezelTop + h + 10.0;
    RoundedBox(cr, bx, by, 32, 14, 3);
    cairo_set_source_rgb(cr, 0.42, 0.43, 0.45);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.85);
    TextAt(cr, bx + (32 - TextWidth(cr, fixed[i])) / 2, by + 1.5, fixed[i]);
  }
}

// Ends a drawing: the context destroyed, the picture written if the drawing
// went well, the surface destroyed.
bool Finish(cairo_t* cr, cairo_surface_t* surface, const std::filesystem::path& png, const char* what,
            std::string* error) {
  const cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  bool ok = status == CAIRO_STATUS_SUCCESS;
  if (!ok) *error = std::string("drawing ") + what + " failed: " + cairo_status_to_string(status);
  ok = ok && WritePng(surface, png, error);
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace

bool RenderPage(ghost::Host& host, int display, const DisplayDecl& decl, const std::string& caption,
                const std::filesystem::path& png, std::string* error, double scale) {
  const double w = decl.width, h = decl.height;
  const double totalW = w + 2 * kBezelSide, totalH = h + kBezelTop + kBezelBottom;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(totalW * scale),
                                                        static_cast<int>(totalH * scale));
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  DrawBezel(cr, host, display, caption, w, h);

  // The screen and the page on it, clipped to it like the real display.
  cairo_rectangle(cr, kBezelSide, kBezelTop, w, h);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  cairo_fill_preserve(cr);
  cairo_clip(cr);
  CairoSketchpad skp(cr, kBezelSide, kBezelTop, decl.charHeight);
  if (auto* page = dynamic_cast<MFD2*>(host.display(display).page)) page->Update(&skp);
  cairo_reset_clip(cr);
  return Finish(cr, surface, png, "the page", error);
}

std::vector<std::string> PageText(ghost::Host& host, int display, const DisplayDecl& decl, bool colour) {
  const int cw = static_cast<int>(decl.charWidth);
  ghost::RecordingSketchpad skp(cw);
  if (auto* page = dynamic_cast<MFD2*>(host.display(display).page)) page->Update(&skp);
  std::vector<ghost::TextCall> calls = skp.calls();
  std::stable_sort(calls.begin(), calls.end(), [](const ghost::TextCall& a, const ghost::TextCall& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  std::vector<std::string> rows;
  size_t i = 0;
  while (i < calls.size()) {
    const int y = calls[i].y;
    std::string row;
    int column = 0;
    for (; i < calls.size() && calls[i].y == y; ++i) {
      const ghost::TextCall& c = calls[i];
      const int at = (c.x + cw / 2) / cw;
      if (at > column) {
        row.append(static_cast<size_t>(at - column), ' ');
        column = at;
      }
      if (colour) {
        char esc[32];
        std::snprintf(esc, sizeof esc, "\x1b[38;2;%u;%u;%um", c.colour & 0xFF, (c.colour >> 8) & 0xFF,
                      (c.colour >> 16) & 0xFF);
        row += esc;
      }
      row += Printable(HostTextToUtf8(c.text));
      if (colour) row += "\x1b[0m";
      column += static_cast<int>(c.text.size());
    }
    rows.push_back(row);
  }
  std::string buttons;
  for (int bt = 0; bt < 12; ++bt) {
    const std::string label = ButtonLabel(host, display, bt);
    if (!label.empty()) buttons += (buttons.empty() ? "" : " ") + std::to_string(bt) + ":" + Printable(label);
  }
  if (!buttons.empty()) rows.push_back("buttons " + buttons);
  return rows;
}

void ReleaseFontCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

double AnnotationEm(double size, unsigned viewW) { return 0.9 * size * static_cast<double>(viewW) / 80.0; }

namespace {

void DrawAnnotations(cairo_t* cr, const ghost::World& world) {
  const double W = world.viewW, H = world.viewH;
  for (const ghost::Annotation& a : world.annotations) {
    const double x1 = a.x1 * W, y1 = a.y1 * H, x2 = a.x2 * W, y2 = a.y2 * H;
    const double r = std::clamp(a.colour.x, 0.0, 1.0), g = std::clamp(a.colour.y, 0.0, 1.0),
                 b = std::clamp(a.colour.z, 0.0, 1.0);
    const double dash[2] = {4.0, 3.0};
    cairo_set_dash(cr, dash, 2, 0.0);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, x1 + 0.5, y1 + 0.5, std::max(0.0, x2 - x1 - 1.0), std::max(0.0, y2 - y1 - 1.0));
    cairo_set_source_rgba(cr, r, g, b, 0.3);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    if (!a.text || a.text->empty()) continue;
    const double em = AnnotationEm(a.size, world.viewW);
    Font(cr, kMonoFont, em);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    size_t start = 0;
    int line = 0;
    while (start < a.text->size()) {
      size_t end = a.text->find('\n', start);
      if (end == std::string::npos) end = a.text->size();
      const std::string utf8 = HostTextToUtf8(std::string_view(*a.text).substr(start, end - start));
      const double y = y1 + fe.ascent + line * fe.height;
      cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.6);
      cairo_move_to(cr, x1 + 1.0, y + 1.0);
      cairo_show_text(cr, utf8.c_str());
      cairo_set_source_rgb(cr, r, g, b);
      cairo_move_to(cr, x1, y);
      cairo_show_text(cr, utf8.c_str());
      start = end + 1;
      ++line;
    }
  }
}

void DrawHud(cairo_t* cr, const ghost::World& world, const ghost::Vessel& v, double focal) {
  const double W = world.viewW, H = world.viewH;
  const double cx = W / 2, cy = H / 2;
  cairo_set_source_rgba(cr, 0.25, 1.0, 0.35, 0.85);
  cairo_set_line_width(cr, 1.5);
  const double pitch = v.pitch * 180.0 / kPi;
  Font(cr, kPageFont, H / 60.0);
  for (int th = -90; th <= 90; th += 10) {
    if (std::fabs(th - pitch) > 40.0) continue;
    const double y = cy + focal * std::tan((pitch - th) * kPi / 180.0);
    const double half = th == 0 ? W * 0.22 : W * 0.07;
    cairo_move_to(cr, cx - half, y);
    cairo_line_to(cr, cx - W * 0.03, y);
    cairo_move_to(cr, cx + W * 0.03, y);
    cairo_line_to(cr, cx + half, y);
    cairo_stroke(cr);
    if (th != 0) {
      const std::string n = std::to_string(th);
      TextAt(cr, cx + half + 4, y - H / 120.0, n);
    }
  }
  // The waterline mark: where the nose points.
  cairo_move_to(cr, cx - 30, cy);
  cairo_line_to(cr, cx - 12, cy);
  cairo_line_to(cr, cx - 6, cy + 8);
  cairo_line_to(cr, cx, cy);
  cairo_line_to(cr, cx + 6, cy + 8);
  cairo_line_to(cr, cx + 12, cy);
  cairo_line_to(cr, cx + 30, cy);
  cairo_stroke(cr);

  char buf[64];
  Font(cr, kPageFont, H / 40.0, true);
  std::snprintf(buf, sizeof buf, "HDG %03.0f", std::fmod(v.heading * 180.0 / kPi + 360.0, 360.0));
  TextAt(cr, cx - TextWidth(cr, buf) / 2, H * 0.04, buf);
  std::snprintf(buf, sizeof buf, "AS %6.1f m/s",
                std::sqrt(v.airspeed.x * v.airspeed.x + v.airspeed.y * v.airspeed.y + v.airspeed.z * v.airspeed.z));
  TextAt(cr, W * 0.12, cy - H / 8.0, buf);
  std::snprintf(buf, sizeof buf, "ALT %8.0f m", v.altitude);
  TextAt(cr, W * 0.88 - TextWidth(cr, buf), cy - H / 8.0, buf);
  TextAt(cr, W * 0.04, H * 0.04, HudModeName(world.hudMode));
}

}  // namespace

namespace {

// Everything but the inset and the status line, in viewport pixels.
void DrawScene(cairo_t* cr, const ghost::World& world) {
  const double W = world.viewW, H = world.viewH;
  const ghost::Vessel* v = world.focus;

  // Sky and ground, the horizon placed by the pitch; the sky darkens with the
  // air's thinning, black in space.
  const double focal = (H / 2) / std::tan(30.0 * kPi / 180.0);
  const double pitch = v ? std::clamp(v->pitch, -1.5, 1.5) : 0.0;
  const double horizon = std::clamp(H / 2 + focal * std::tan(pitch), -H, 2 * H);
  double air = 0.0;
  const double surface = v && v->AtmRef() ? SurfaceDensity(*v->AtmRef()) : 0.0;
  if (surface > 0.0) air = std::pow(std::clamp(v->AtmDensity() / surface, 0.0, 1.0), 0.25);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, std::min(0.0, horizon - H), 0, horizon);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.02 + 0.10 * air, 0.03 + 0.22 * air, 0.06 + 0.42 * air);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.05 + 0.55 * air, 0.05 + 0.68 * air, 0.08 + 0.82 * air);
  cairo_rectangle(cr, 0, 0, W, std::max(0.0, horizon));
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  cairo_pattern_t* ground = cairo_pattern_create_linear(0, horizon, 0, std::max(horizon + 1, H));
  cairo_pattern_add_color_stop_rgb(ground, 0.0, 0.46, 0.40, 0.28);
  cairo_pattern_add_color_stop_rgb(ground, 1.0, 0.24, 0.21, 0.14);
  cairo_rectangle(cr, 0, std::max(0.0, horizon), W, H);
  cairo_set_source(cr, ground);
  cairo_fill(cr);
  cairo_pattern_destroy(ground);

  if (v && world.cameraInternal && world.hudMode != HUD_NONE) DrawHud(cr, world, *v, focal);
  if (v && !world.cameraInternal) {
    // Outside view: the vessel ahead of the camera.
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.82);
    cairo_move_to(cr, W / 2 - 60, H / 2 + 12);
    cairo_line_to(cr, W / 2, H / 2 - 14);
    cairo_line_to(cr, W / 2 + 60, H / 2 + 12);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  DrawAnnotations(cr, world);
}

}  // namespace

namespace {

// The centre of the view drawn again, enlarged, bottom left: the overlay's
// small text readable.
void DrawInset(cairo_t* cr, const ghost::World& world) {
  const double W = world.viewW, H = world.viewH;
  const double rw = W * 0.14, rh = H * 0.14, rx = W / 2 - rw / 2, ry = H / 2 - rh * 0.8;
  const double k = 2.5, ix = 12, iy = H - rh * k - 40;
  cairo_save(cr);
  cairo_rectangle(cr, ix, iy, rw * k, rh * k);
  cairo_clip(cr);
  cairo_translate(cr, ix, iy);
  cairo_scale(cr, k, k);
  cairo_translate(cr, -rx, -ry);
  DrawScene(cr, world);
  cairo_restore(cr);
  cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, ix + 0.5, iy + 0.5, rw * k, rh * k);
  cairo_stroke(cr);
  cairo_rectangle(cr, rx + 0.5, ry + 0.5, rw, rh);
  cairo_set_source_rgba(cr, 0.9, 0.9, 0.9, 0.35);
  cairo_stroke(cr);
  Font(cr, kPageFont, 12.0);
  cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
  TextAt(cr, ix, iy - 16, "centre of the view, 2.5x");
}

// What the picture shows, along its bottom.
void DrawStatusLine(cairo_t* cr, const ghost::World& world, double simt) {
  const double W = world.viewW, H = world.viewH;
  const ghost::Vessel* v = world.focus;
  char status[256];
  std::snprintf(status, sizeof status, "t %.2f s   %s (%s)   altitude %.0f m   camera %s   cockpit %s   HUD %s   %ux%u",
                simt, v ? v->name.c_str() : "-", v ? v->className.c_str() : "-", v ? v->altitude : 0.0,
                world.cameraInternal ? "internal" : "external", CockpitModeName(world.cockpitMode),
                world.hudMode == HUD_NONE ? "off" : "on", world.viewW, world.viewH);
  cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.55);
  cairo_rectangle(cr, 0, H - 24, W, 24);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
  TextAt(cr, 8, H - 20, HostTextToUtf8(status));
}

}  // namespace

bool RenderView(const ghost::World& world, double simt, const std::filesystem::path& png, std::string* error) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(world.viewW), static_cast<int>(world.viewH));
  cairo_t* cr = cairo_create(surface);
  DrawScene(cr, world);
  DrawInset(cr, world);
  DrawStatusLine(cr, world, simt);
  return Finish(cr, surface, png, "the view", error);
}

}  // namespace sim
