#include "tools/galeboard-sim/Scenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "Orbitersdk.h"
#include "tools/galeboard-sim/Printable.h"

namespace sim {

namespace {

constexpr int64_t kMaxSteps = 4'000'000'000;

// The letters as the host's keyboard gives them: the SDK's scan codes.
constexpr struct {
  char letter;
  uint32_t code;
} kLetters[] = {
    {'A', OAPI_KEY_A}, {'B', OAPI_KEY_B}, {'C', OAPI_KEY_C}, {'D', OAPI_KEY_D}, {'E', OAPI_KEY_E}, {'F', OAPI_KEY_F},
    {'G', OAPI_KEY_G}, {'H', OAPI_KEY_H}, {'I', OAPI_KEY_I}, {'J', OAPI_KEY_J}, {'K', OAPI_KEY_K}, {'L', OAPI_KEY_L},
    {'M', OAPI_KEY_M}, {'N', OAPI_KEY_N}, {'O', OAPI_KEY_O}, {'P', OAPI_KEY_P}, {'Q', OAPI_KEY_Q}, {'R', OAPI_KEY_R},
    {'S', OAPI_KEY_S}, {'T', OAPI_KEY_T}, {'U', OAPI_KEY_U}, {'V', OAPI_KEY_V}, {'W', OAPI_KEY_W}, {'X', OAPI_KEY_X},
    {'Y', OAPI_KEY_Y}, {'Z', OAPI_KEY_Z},
};

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

std::optional<double> ToNumber(std::string_view t) {
  double v = 0.0;
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string Lower(std::string_view t) {
  std::string s(t);
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// The words of a table's rows as "a, b, c or d", for messages.
template <typename Rows, typename Word>
std::string Listed(const Rows& rows, Word word) {
  std::string list;
  for (size_t i = 0; i < std::size(rows); ++i)
    list += (i == 0 ? "" : i + 1 < std::size(rows) ? ", " : " or ") + std::string(word(rows[i]));
  return list;
}

// What is wrong, and on which line.
struct Problem {
  int line;
  std::string what;
};

// "file:line: what", shown as a terminal can show it.
std::string Message(const std::string& file, int line, const std::string& what) {
  return Printable(file + ":" + std::to_string(line) + ": " + what);
}

// A number as the messages show it.
std::string Format(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Sets the run's duration and step, and the step before which each action
// runs. Returns what is wrong instead when the timing is bad, on the line of
// the action it concerns, or on line 0 when it is the run's length.
std::optional<Problem> SetTiming(Scenario* s, double duration, double step) {
  if (!(duration > 0.0) || !(step > 0.0) || !std::isfinite(duration) || !std::isfinite(step))
    return Problem{0, "duration and step must be more than 0 s"};
  const double steps = std::round(duration / step);
  if (steps < 1.0 || steps > static_cast<double>(kMaxSteps))
    return Problem{
        0, "a run of " + Format(duration) + " s in steps of " + Format(step) + " s is not between 1 and 4e9 steps"};
  for (const Action& a : s->timeline)
    if (a.time > duration + 1e-9 * duration)
      return Problem{a.line,
                     "action at " + Format(a.time) + " s, after the end of the run at " + Format(duration) + " s"};
  s->duration = duration;
  s->step = step;
  const int64_t n = s->Steps();
  // Before the first step that starts at or after the action's time.
  for (Action& a : s->timeline) a.step = std::min<int64_t>(n, static_cast<int64_t>(std::ceil(a.time / step - 1e-9)));
  return std::nullopt;
}

// Parses one statement's tokens, reporting problems with its line.
class Statement {
 public:
  Statement(const std::vector<std::string_view>& tokens, int line, std::vector<Problem>& problems)
      : tokens_(tokens), line_(line), problems_(problems) {}

  bool Fail(const std::string& message) {
    problems_.push_back({line_, message});
    failed_ = true;
    return false;
  }
  std::string Keyword() const { return Lower(tokens_[0]); }
  bool failed() const { return failed_; }
  int line() const { return line_; }
  bool AtEnd() const { return pos_ >= tokens_.size(); }
  std::string_view Peek() const { return AtEnd() ? std::string_view() : tokens_[pos_]; }
  bool PeekIsNumber() const { return !AtEnd() && ToNumber(tokens_[pos_]).has_value(); }

  std::optional<std::string_view> Word(const std::string& what) {
    if (AtEnd()) {
      Fail(what + " is missing");
      return std::nullopt;
    }
    return tokens_[pos_++];
  }

  // A number within [lo, hi].
  std::optional<double> Number(const std::string& what, double lo, double hi) {
    auto w = Word(what);
    if (!w) return std::nullopt;
    auto v = ToNumber(*w);
    if (!v) {
      Fail(what + ": '" + std::string(*w) + "' is not a number");
      return std::nullopt;
    }
    if (*v < lo || *v > hi) {
      Fail(what + " " + std::string(*w) + " is out of range (" + Format(lo) + " to " + Format(hi) + ")");
      return std::nullopt;
    }
    return v;
  }

  std::optional<uint32_t> Whole(const std::string& what, uint32_t lo, uint32_t hi) {
    auto w = Word(what);
    if (!w) return std::nullopt;
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(w->data(), w->data() + w->size(), v);
    if (ec != std::errc() || end != w->data() + w->size()) {
      Fail(what + ": '" + std::string(*w) + "' is not a whole number");
      return std::nullopt;
    }
    if (v < lo || v > hi) {
      Fail(what + " " + std::string(*w) + " is out of range (" + std::to_string(lo) + " to " + std::to_string(hi) +
           ")");
      return std::nullopt;
    }
    return v;
  }

  // One of the given words (case-insensitive); returns its index.
  std::optional<int> Choice(const std::string& what, std::initializer_list<const char*> words) {
    auto w = Word(what);
    if (!w) return std::nullopt;
    const std::string lw = Lower(*w);
    int i = 0;
    std::string list;
    for (const char* c : words) {
      if (lw == c) return i;
      list += (i ? ", " : "") + std::string(c);
      ++i;
    }
    Fail(what + ": '" + std::string(*w) + "' is not one of " + list);
    return std::nullopt;
  }

  bool End() {
    if (AtEnd() || failed_) return !failed_;
    return Fail("unexpected '" + std::string(tokens_[pos_]) + "'");
  }

  // The tokens from the given one on, joined by blanks.
  std::string Rest(size_t from) const {
    std::string s;
    for (size_t i = from; i < tokens_.size(); ++i) s += (s.empty() ? "" : " ") + std::string(tokens_[i]);
    return s;
  }

 private:
  const std::vector<std::string_view>& tokens_;
  size_t pos_ = 1;  // past the statement's keyword
  int line_;
  std::vector<Problem>& problems_;
  bool failed_ = false;
};

constexpr double kBig = 1e12;

class Parser {
 public:
  Parser(const std::string& file, Scenario* s) : file_(file), s_(*s) { s_.file = file; }

  void Line(std::string_view raw, int line) {
    lastLine_ = line;
    if (auto hash = raw.find('#'); hash != std::string_view::npos) raw = raw.substr(0, hash);
    std::vector<std::string_view> tokens = Split(raw);
    if (tokens.empty()) return;
    Statement st(tokens, line, problems_);
    Read(st, tokens[0]);
  }

  // Checks what needs the whole file, then hands out every problem in line
  // order, as a reader goes through the file.
  bool Finish(ScenarioErrors* errors) {
    if (s_.vessels.empty()) Fail(lastLine_, "the scenario declares no vessel");
    for (const Ref& r : refs_) {
      switch (r.kind) {
        case Ref::Body:
          if (!s_.FindBody(r.name)) Fail(r.line, "no body named '" + r.name + "'");
          break;
        case Ref::Vessel:
          if (!s_.FindVessel(r.name)) Fail(r.line, "no vessel named '" + r.name + "'");
          break;
        case Ref::Display:
          if (!s_.FindDisplay(r.name)) Fail(r.line, "no display named '" + r.name + "'");
          break;
      }
    }
    std::stable_sort(s_.timeline.begin(), s_.timeline.end(),
                     [](const Action& a, const Action& b) { return a.time < b.time; });
    if (problems_.empty()) {
      // The run's length is the duration's and the step's together: it is
      // told at the later of the two statements.
      if (std::optional<Problem> p = SetTiming(&s_, s_.duration, s_.step))
        problems_.push_back({p->line ? p->line : std::max(seen_["duration"], seen_["step"]), p->what});
    }
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    if (errors)
      for (const Problem& p : problems_) errors->messages.push_back(Message(file_, p.line, p.what));
    return problems_.empty();
  }

 private:
  struct Ref {
    enum Kind { Body, Vessel, Display } kind;
    std::string name;
    int line;
  };

  void Fail(int line, const std::string& message) { problems_.push_back({line, message}); }

  // A statement, by the reader of its keyword.
  void Read(Statement& st, std::string_view word) {
    static constexpr struct {
      const char* keyword;
      bool once;  // may be given once in a file
      void (Parser::*read)(Statement&);
    } kStatements[] = {
        {"title", true, &Parser::Title},       {"body", false, &Parser::Body},
        {"vessel", false, &Parser::Vessel},    {"focus", true, &Parser::Focus},
        {"viewport", true, &Parser::Viewport}, {"camera", true, &Parser::Screen},
        {"cockpit", true, &Parser::Screen},    {"hud", true, &Parser::Screen},
        {"display", false, &Parser::Display},  {"duration", true, &Parser::Duration},
        {"step", true, &Parser::Step},         {"at", false, &Parser::At},
    };
    const std::string keyword = Lower(word);
    for (const auto& statement : kStatements) {
      if (keyword != statement.keyword) continue;
      if (statement.once && !Once(st, keyword)) return;
      return (this->*statement.read)(st);
    }
    st.Fail("unknown statement '" + std::string(word) + "' (expected " +
            Listed(kStatements, [](const auto& statement) { return statement.keyword; }) + ")");
  }

  void Title(Statement& st) { s_.title = st.Rest(1); }

  void Focus(Statement& st) {
    if (auto n = st.Word("vessel name"); n && st.End()) {
      s_.focus = std::string(*n);
      refs_.push_back({Ref::Vessel, s_.focus, st.line()});
    }
  }

  void Viewport(Statement& st) {
    auto w = st.Whole("viewport width", 64, 8192);
    auto h = w ? st.Whole("viewport height", 64, 8192) : std::nullopt;
    if (h && st.End()) {
      s_.viewW = *w;
      s_.viewH = *h;
    }
  }

  void Screen(Statement& st) {
    Action a;
    const std::string keyword = st.Keyword();
    a.kind = keyword == "camera" ? ActionKind::Camera : keyword == "cockpit" ? ActionKind::Cockpit : ActionKind::Hud;
    if (ScreenMode(st, &a) && st.End()) ApplyScreen(a);
  }

  void Duration(Statement& st) {
    if (auto v = st.Number("duration", 0.0, kMaxDuration); v && st.End()) {
      if (*v <= 0.0)
        st.Fail("duration must be more than 0 s");
      else
        s_.duration = *v;
    }
  }

  void Step(Statement& st) {
    if (auto v = st.Number("step", 0.0, kMaxStep); v && st.End()) {
      if (*v <= 0.0)
        st.Fail("step must be more than 0 s");
      else
        s_.step = *v;
    }
  }

  bool Once(Statement& st, const std::string& keyword) {
    auto [it, fresh] = seen_.emplace(keyword, st.line());
    if (!fresh) return st.Fail(keyword + " is already given on line " + std::to_string(it->second));
    return true;
  }

  bool Name(Statement& st, const std::string& what, std::map<std::string, int>& names, std::string* out) {
    auto n = st.Word(what + " name");
    if (!n) return false;
    auto [it, fresh] = names.emplace(std::string(*n), st.line());
    if (!fresh)
      return st.Fail(what + " '" + std::string(*n) + "' is already declared on line " + std::to_string(it->second));
    *out = std::string(*n);
    return true;
  }

  void Body(Statement& st) {
    BodySpec b;
    b.line = st.line();
    if (!Name(st, "body", bodyNames_, &b.name)) return;
    bool radius = false;
    while (!st.AtEnd() && !st.failed()) {
      auto key = st.Choice("body attribute", {"radius", "atmosphere"});
      if (!key) return;
      if (*key == 1) {
        if (!Atmosphere(st, &b)) return;
        continue;
      }
      auto r = st.Number("radius", 1.0, kBig);
      if (!r) return;
      b.radius = *r;
      radius = true;
    }
    if (st.failed()) return;
    if (!radius) return void(st.Fail("body '" + b.name + "' needs a radius"));
    s_.bodies.push_back(b);
  }

  // The words after "atmosphere": the kind and, for some, its numbers.
  bool Atmosphere(Statement& st, BodySpec* b) {
    static constexpr AtmosphereKind kKinds[] = {AtmosphereKind::None,        AtmosphereKind::Earth1976,
                                                AtmosphereKind::Earth1976,   AtmosphereKind::Mars,
                                                AtmosphereKind::Exponential, AtmosphereKind::Uniform};
    auto kind = st.Choice("atmosphere", {"none", "earth1976", "earth-like", "mars", "exponential", "uniform"});
    if (!kind) return false;
    b->atmosphere = kKinds[*kind];
    if (b->atmosphere == AtmosphereKind::Exponential) {
      auto d = st.Number("surface density", 0.0, 1e4);
      auto h = d ? st.Number("scale height", 1.0, kBig) : std::nullopt;
      auto l = h ? st.Number("atmosphere limit", 0.0, kBig) : std::nullopt;
      if (!l) return false;
      if (*d <= 0.0) return st.Fail("surface density must be more than 0 kg/m3");
      b->density = *d;
      b->scaleHeight = *h;
      b->limit = *l;
    } else if (b->atmosphere == AtmosphereKind::Uniform) {
      auto d = st.Number("density", 0.0, 1e4);
      auto l = d ? st.Number("atmosphere limit", 0.0, kBig) : std::nullopt;
      if (!l) return false;
      if (*d <= 0.0) return st.Fail("density must be more than 0 kg/m3");
      b->density = *d;
      b->limit = *l;
    }
    return true;
  }

  void Vessel(Statement& st) {
    VesselSpec v;
    v.line = st.line();
    if (!Name(st, "vessel", vesselNames_, &v.name)) return;
    while (!st.AtEnd() && !st.failed()) {
      auto key = st.Choice("vessel attribute",
                           {"class", "body", "mass", "altitude", "heading", "pitch", "airspeed", "landed", "trim"});
      if (!key) return;
      std::optional<double> n;
      switch (*key) {
        case 0:
          if (auto w = st.Word("class name")) v.className = std::string(*w);
          break;
        case 1:
          if (auto w = st.Word("body name")) v.body = std::string(*w);
          break;
        case 2:
          if ((n = st.Number("mass", 0.0, kBig))) {
            if (*n <= 0.0) st.Fail("mass must be more than 0 kg");
            v.mass = *n;
          }
          break;
        case 3:
          if ((n = st.Number("altitude", 0.0, kBig))) v.altitude = *n;
          break;
        case 4:
          if ((n = st.Number("heading", -360.0, 720.0))) v.heading = *n;
          break;
        case 5:
          if ((n = st.Number("pitch", -90.0, 90.0))) v.pitch = *n;
          break;
        case 6:
          Airspeed(st, &v.airspeed);
          break;
        case 7:
          v.landed = true;
          break;
        default:
          if ((n = st.Number("trim", 0.0, 1e6))) v.trim = *n;
      }
    }
    if (st.failed()) return;
    if (v.className.empty()) return void(st.Fail("vessel '" + v.name + "' needs a class"));
    if (v.body.empty()) return void(st.Fail("vessel '" + v.name + "' needs a body"));
    refs_.push_back({Ref::Body, v.body, st.line()});
    if (v.landed) v.airspeed = Vec3{};
    s_.vessels.push_back(v);
  }

  // One number (forward) or three (side, up, forward).
  bool Airspeed(Statement& st, Vec3* out) {
    auto first = st.Number("airspeed", -1e6, 1e6);
    if (!first) return false;
    if (!st.PeekIsNumber()) {
      *out = Vec3{0.0, 0.0, *first};
      return true;
    }
    auto up = st.Number("airspeed up", -1e6, 1e6);
    if (!up) return false;
    if (!st.PeekIsNumber()) return st.Fail("airspeed takes one number (forward) or three (side up forward)");
    auto fwd = st.Number("airspeed forward", -1e6, 1e6);
    if (!fwd) return false;
    *out = Vec3{*first, *up, *fwd};
    return true;
  }

  void Display(Statement& st) {
    DisplayDecl d;
    d.line = st.line();
    if (!Name(st, "display", displayNames_, &d.name)) return;
    while (!st.AtEnd() && !st.failed()) {
      auto key = st.Choice("display attribute", {"size", "char", "vessel"});
      if (!key) return;
      if (*key == 0) {
        auto w = st.Whole("display width", 32, 4096);
        auto h = w ? st.Whole("display height", 32, 4096) : std::nullopt;
        if (!h) return;
        d.width = *w;
        d.height = *h;
      } else if (*key == 1) {
        auto w = st.Whole("character width", 1, 256);
        auto h = w ? st.Whole("character height", 1, 256) : std::nullopt;
        if (!h) return;
        d.charWidth = *w;
        d.charHeight = *h;
      } else if (auto v = st.Word("vessel name")) {
        d.vessel = std::string(*v);
        refs_.push_back({Ref::Vessel, d.vessel, st.line()});
      }
    }
    if (!st.failed()) s_.displays.push_back(d);
  }

  // The mode of a camera, cockpit or hud statement or action, of a's kind.
  bool ScreenMode(Statement& st, Action* a) {
    std::optional<int> m;
    if (a->kind == ActionKind::Camera) {
      m = st.Choice("camera", {"external", "internal"});  // Action::mode 1: internal
    } else if (a->kind == ActionKind::Cockpit) {
      static constexpr int kCockpits[] = {COCKPIT_GENERIC, COCKPIT_PANELS, COCKPIT_VIRTUAL};
      m = st.Choice("cockpit", {"generic", "panels", "virtual"});
      if (m) *m = kCockpits[*m];
    } else {
      static constexpr int kHuds[] = {HUD_NONE, HUD_ORBIT, HUD_SURFACE, HUD_DOCKING};
      m = st.Choice("hud", {"none", "orbit", "surface", "docking"});
      if (m) *m = kHuds[*m];
    }
    if (!m) return false;
    a->mode = *m;
    return true;
  }

  void ApplyScreen(const Action& a) {
    if (a.kind == ActionKind::Camera) s_.cameraInternal = a.mode != 0;
    if (a.kind == ActionKind::Cockpit) s_.cockpit = a.mode;
    if (a.kind == ActionKind::Hud) s_.hud = a.mode;
  }

  void At(Statement& st) {
    Action a;
    a.line = st.line();
    auto t = st.Number("action time", 0.0, kMaxDuration);
    if (!t) return;
    a.time = *t;
    auto verb = st.Word("action");
    if (!verb) return;
    a.text = st.Rest(2);
    if (ActionWords(st, *verb, &a) && st.End()) s_.timeline.push_back(a);
  }

  // What follows an action's verb, read by the verb's own reader; false when
  // it is bad (reported).
  bool ActionWords(Statement& st, std::string_view verb, Action* a) {
    const std::string lower = Lower(verb);
    static constexpr struct {
      const char* verb;
      ActionKind kind;
      bool (Parser::*read)(Statement&, Action*);
    } kActions[] = {
        {"key", ActionKind::Key, &Parser::KeyWords},
        {"click", ActionKind::Click, &Parser::ClickWords},
        {"focus", ActionKind::Focus, &Parser::VesselTarget},
        {"store", ActionKind::Store, &Parser::DisplayTarget},
        {"altitude", ActionKind::Altitude, &Parser::AltitudeWords},
        {"attitude", ActionKind::Attitude, &Parser::AttitudeWords},
        {"airspeed", ActionKind::Airspeed, &Parser::AirspeedWords},
        {"land", ActionKind::Land, &Parser::VesselTarget},
        {"liftoff", ActionKind::Liftoff, &Parser::VesselTarget},
        {"camera", ActionKind::Camera, &Parser::ScreenMode},
        {"cockpit", ActionKind::Cockpit, &Parser::ScreenMode},
        {"hud", ActionKind::Hud, &Parser::ScreenMode},
        {"snapshot", ActionKind::Snapshot, &Parser::NoWords},
    };
    for (const auto& action : kActions) {
      if (lower != action.verb) continue;
      a->kind = action.kind;
      return (this->*action.read)(st, a);
    }
    return st.Fail("unknown action '" + std::string(verb) + "' (expected " +
                   Listed(kActions, [](const auto& action) { return action.verb; }) + ")");
  }

  bool DisplayTarget(Statement& st, Action* a) { return Target(st, Ref::Display, a); }
  bool VesselTarget(Statement& st, Action* a) { return Target(st, Ref::Vessel, a); }

  bool Target(Statement& st, Ref::Kind kind, Action* a) {
    auto name = st.Word(kind == Ref::Display ? "display name" : "vessel name");
    if (!name) return false;
    a->target = std::string(*name);
    refs_.push_back({kind, a->target, st.line()});
    return true;
  }

  bool KeyWords(Statement& st, Action* a) {
    if (!DisplayTarget(st, a)) return false;
    if (st.AtEnd()) return st.Fail("key needs at least one key");
    while (!st.AtEnd()) {
      std::string_view k = *st.Word("key");
      uint32_t code = KeyCode(k);
      if (!code) return st.Fail("'" + std::string(k) + "' is not a key (a letter A-Z or a scan code 1-255)");
      a->keys.push_back(code);
    }
    return true;
  }

  bool ClickWords(Statement& st, Action* a) {
    if (!DisplayTarget(st, a)) return false;
    auto b = st.Number("button", -1000.0, 1000.0);
    if (!b) return false;
    if (*b != std::floor(*b)) return st.Fail("button must be a whole number");
    a->button = static_cast<int>(*b);
    a->event = PANEL_MOUSE_LBDOWN;
    if (st.AtEnd()) return true;
    static constexpr int kEvents[] = {PANEL_MOUSE_LBDOWN, PANEL_MOUSE_RBDOWN, PANEL_MOUSE_LBDOWN | PANEL_MOUSE_RBDOWN};
    auto e = st.Choice("mouse button", {"left", "right", "both"});
    if (!e) return false;
    a->event = kEvents[*e];
    return true;
  }

  bool AltitudeWords(Statement& st, Action* a) {
    if (!VesselTarget(st, a)) return false;
    auto h = st.Number("altitude", 0.0, kBig);
    if (!h) return false;
    a->a = *h;
    return true;
  }

  bool AttitudeWords(Statement& st, Action* a) {
    if (!VesselTarget(st, a)) return false;
    auto h = st.Number("heading", -360.0, 720.0);
    auto p = h ? st.Number("pitch", -90.0, 90.0) : std::nullopt;
    if (!p) return false;
    a->a = *h;
    a->b = *p;
    return true;
  }

  bool AirspeedWords(Statement& st, Action* a) { return VesselTarget(st, a) && Airspeed(st, &a->vector); }

  bool NoWords(Statement&, Action*) { return true; }

  const std::string& file_;
  Scenario& s_;
  std::vector<Problem> problems_;
  std::vector<Ref> refs_;
  std::map<std::string, int> seen_, bodyNames_, vesselNames_, displayNames_;
  int lastLine_ = 1;
};

}  // namespace

int64_t Scenario::Steps() const { return static_cast<int64_t>(std::llround(duration / step)); }

double Scenario::Duration() const { return static_cast<double>(Steps()) * step; }

const BodySpec* Scenario::FindBody(std::string_view name) const {
  for (const BodySpec& b : bodies)
    if (b.name == name) return &b;
  return nullptr;
}

const VesselSpec* Scenario::FindVessel(std::string_view name) const {
  for (const VesselSpec& v : vessels)
    if (v.name == name) return &v;
  return nullptr;
}

const DisplayDecl* Scenario::FindDisplay(std::string_view name) const {
  for (const DisplayDecl& d : displays)
    if (d.name == name) return &d;
  return nullptr;
}

bool ParseScenario(std::string_view text, const std::string& file, Scenario* out, ScenarioErrors* errors) {
  Scenario s;
  Parser p(file, &s);
  int line = 0;
  size_t start = 0;
  // A final line break ends the last line; it does not begin another.
  while (start < text.size() || (start == 0 && text.empty())) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++line;
    if (text.substr(start, end - start).find('\0') != std::string_view::npos) {
      if (errors) errors->messages = {Message(file, line, "not a text file (NUL byte)")};
      return false;
    }
    p.Line(text.substr(start, end - start), line);
    start = end + 1;
  }
  if (!p.Finish(errors)) return false;
  *out = std::move(s);
  return true;
}

bool OverrideTiming(Scenario* s, double duration, double step, const std::string& origin, std::string* error) {
  const std::optional<Problem> p = SetTiming(s, duration, step);
  if (!p) return true;
  *error = p->line ? Message(s->file, p->line, p->what) : Printable(origin + ": " + p->what);
  return false;
}

uint32_t KeyCode(std::string_view name) {
  if (name.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    for (const auto& l : kLetters)
      if (l.letter == c) return l.code;
  }
  uint32_t v = 0;
  const int base = name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X') ? 16 : 10;
  std::string_view digits = base == 16 ? name.substr(2) : name;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
  if (ec != std::errc() || end != digits.data() + digits.size() || v < 1 || v > 255) return 0;
  return v;
}

char KeyName(uint32_t code) {
  for (const auto& l : kLetters)
    if (l.code == code) return l.letter;
  return '?';
}

}  // namespace sim
