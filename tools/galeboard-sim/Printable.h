// Text from a scenario, a path or the module, made safe to show on a
// terminal: its control characters escaped instead of acted on.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The text with every control character (C0, DEL, and C1 in UTF-8) and every
// byte that is not part of a UTF-8 character written as \xNN; the rest,
// UTF-8 letters included, as it stands.
std::string Printable(std::string_view text);

}  // namespace sim
