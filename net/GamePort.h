#pragma once

#include <QtGlobal>

namespace kelvara {

// The TCP port a copy listens on for invitations and connection tests, and the one the start
// dialog offers for the other machine.
constexpr quint16 kGamePort = 2003;

}  // namespace kelvara
