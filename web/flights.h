// SPDX-License-Identifier: MIT
// A flight the page reads to replay, from a file or a link, fed to the module in pieces as the
// page reads them (web/flights.cpp, the vandrel_flight_… calls), so that neither the page nor
// the module ever holds its text whole.
#pragma once

#include <optional>

#include "host/replay_script.h"

namespace vandrel::web {

/// The script of the flight read last, once it has been read to its end and checked; none
/// after that.
std::optional<host::ReplayScript> takeFlight();

}  // namespace vandrel::web
