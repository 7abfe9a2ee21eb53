#pragma once
// Helpers of the socket tests (the waits and the peer processes come from loopback/):
// loopback servers made of the socket component itself, and a fixture that
// checks that every test leaves Windows Sockets unloaded.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ftp/wsocket.h"
#include "loopback/message_waits.h"
#include "loopback/peer_process.h"
#include "platform/messages/win_types.h"

// A listening socket on 127.0.0.1 with a port chosen by the system. Each connection
// is accepted into a new socket, which Configure may prepare before it takes the
// accepted handle over.
class LoopbackServer {
public:
    explicit LoopbackServer(std::function<void(TCustomWSocket&)> Configure = {},
                            std::function<void(TCustomWSocket&)> Accepted = {});
    std::string Port() { return Listener.GetBoundPort(); }
    TCustomWSocket* Peer(std::size_t Index = 0) { return Index < Peers.size() ? Peers[Index].get() : nullptr; }
    std::size_t PeerCount() const { return Peers.size(); }

    TCustomWSocket Listener;
    std::vector<std::unique_ptr<TCustomWSocket>> Peers;

private:
    std::function<void(TCustomWSocket&)> FConfigure;
    std::function<void(TCustomWSocket&)> FAccepted;
};

// Connects Client to Server and waits until both ends are connected.
void ConnectLoopback(TCustomWSocket& Client, LoopbackServer& Server);

// Every test starts and ends with no socket alive and Windows Sockets unloaded.
class WSocketTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The text of the ESocketException that Action raises, or "(nothing raised)".
std::string MessageOf(const std::function<void()>& Action);

// The bytes 0..N-1 of a pattern that does not repeat with any block size used here.
std::string PatternBytes(std::size_t Count, unsigned Seed = 1);
