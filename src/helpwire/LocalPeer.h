#pragma once

#include <QtGlobal>

// Whether the process at the other end of a connected local socket runs as this process's user, as the system
// recorded it when the peer connected or started listening. A descriptor whose peer cannot be known counts as a
// stranger's.
bool PeerIsThisUser(qintptr socketDescriptor);
