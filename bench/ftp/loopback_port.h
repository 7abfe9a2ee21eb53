#pragma once
// Loopback ports for the benchmark's server, probed with the system's own sockets (kept
// apart from the client, whose socket layer declares the same names).

// A loopback port nobody listens on just now.
int FreeLoopbackPort();
// Whether something accepts connections on the loopback port.
bool LoopbackListening(int Port);
