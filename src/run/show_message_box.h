// Every message of the run goes through ShowMessageBox: kind 'e' shows an
// error box, 'i' an information box, any other kind nothing.
#pragma once

#include <cstdint>
#include <string_view>

// Returns what the box returned (1 shown, 0 not shown), or -1 when the kind
// shows no box.
int32_t ShowMessageBox(std::string_view Caption, std::string_view Text, char Kind);
