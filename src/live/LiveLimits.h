#pragma once

#include <QtGlobal>

namespace lapdeck {

// What the live server allows on a shared network. Tests make them small.
struct LiveLimits {
    int maxWatchers = 200;       // pages receiving updates; past it the page says "full" (503)
    int maxConnections = 600;    // watchers and the phones' other connections together
    qint64 maxHeadBytes = 8192;  // request line and headers of one request
    int maxTargetBytes = 2048;   // the request line's path and query
    int idleMs = 15000;          // a connection that sends no request in this time is closed
    int heartbeatMs = 15000;     // watchers hear from the server at least this often
    qint64 maxBacklogBytes = 256 * 1024;  // a watcher that reads slower than this is dropped
};

}  // namespace lapdeck
