#pragma once

#include <cstring>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QString>

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "RaceHost.h"
#include "SerialPortSource.h"

namespace lapdeck::test {

// A pseudo-terminal pair in raw mode: the window opens the follower end as its
// port, the test writes the lap counter's bytes into the leader end.
struct Pty {
    Pty() {
        if (openpty(&leader, &follower, name, nullptr, nullptr) != 0) {
            return;
        }
        for (int fd : {follower, leader}) {
            termios raw{};
            tcgetattr(fd, &raw);
            cfmakeraw(&raw);
            tcsetattr(fd, TCSANOW, &raw);
        }
    }
    ~Pty() {
        for (int fd : {leader, follower}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return leader >= 0; }
    QString path() const { return QString::fromLocal8Bit(name); }
    void send(const char* bytes) const {
        ASSERT_EQ(write(leader, bytes, strlen(bytes)), static_cast<ssize_t>(strlen(bytes)));
    }

    int leader = -1;
    int follower = -1;
    char name[256] = {};
};

// Lets the port's notifier take what the pty delivered (real I/O, so a short wait).
inline void waitForInput(SerialPortSource& port) {
    runUntil([&port]() { return port.hasInput(); }, 3000);  // hasInput pulls what arrived
}

}  // namespace lapdeck::test
