// Host name lookups of TCustomWSocket: asynchronous by name and by address (replies
// arrive as WM_ASYNCGETHOSTBYNAME and WM_ASYNCGETHOSTBYADDR), blocking by address,
// and cancellation. One lookup at a time: a new one cancels the pending one.
#include <cstring>

#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"

namespace {

std::string DottedText(const char* AddressBytes) {
    ws::in_addr address{};
    std::memcpy(&address.s_addr, AddressBytes, sizeof address.s_addr);
    return WSocket::CountedInetNtoa(address);
}

}  // namespace

void TCustomWSocket::ForgetLastLookup() {
    if (FDnsLookupHandle) {
        WSocket::WSACancelAsyncRequest(FDnsLookupHandle);
        FDnsLookupHandle = nullptr;
    }
    FDnsResult.clear();
    FDnsResultList.clear();
}

void TCustomWSocket::DnsLookup(const std::string& HostName) {
    if (HostName.empty()) {
        RaiseSocketException("DNS lookup: invalid host name.");
        TriggerDnsLookupDone(ws::WSAEINVAL);
        return;
    }
    ForgetLastLookup();

    if (IsDottedIp(HostName)) {
        const std::string trimmed = TrimBlanks(HostName);
        const ws::u_long address = WSocket::inet_addr(trimmed.c_str());
        if (address != ws::INADDR_NONE) {
            FDnsResult = WSocket::inet_ntoa(ws::in_addr{address});
            FDnsResultList.push_back(FDnsResult);
            TriggerDnsLookupDone(0);
            return;
        }
    }

    if (!FWindowHandle) {
        RaiseSocketException("DNS Lookup: Window not assigned");
        return;
    }
    FDnsEarlyReply = false;
    FDnsLookupHandle = WSocket::WSAAsyncGetHostByName(FWindowHandle, WM_ASYNCGETHOSTBYNAME, HostName.c_str(),
                                                      FDnsLookupBuffer, sizeof FDnsLookupBuffer);
    if (!FDnsLookupHandle) {
        RaiseSocketException(HostName + ": can't start DNS lookup - " + FormatSocketError(WSocket::WSAGetLastError()));
        return;
    }
    // A reply that came in while the request was being made is handled now.
    if (FDnsEarlyReply) {
        FDnsEarlyReply = false;
        TMessage saved = FDnsSavedReply;
        HandleHostByNameReply(saved);
    }
}

void TCustomWSocket::HandleHostByNameReply(TMessage& Msg) {
    if (!FDnsLookupHandle) {
        // The request call has not returned yet: keep the reply for it.
        FDnsSavedReply = Msg;
        FDnsEarlyReply = true;
        return;
    }
    if (reinterpret_cast<HANDLE>(Msg.WParam) != FDnsLookupHandle) return;  // an older, cancelled lookup
    FDnsLookupHandle = nullptr;
    const WORD error = ws::WSAGETASYNCERROR(Msg.LParam);
    if (error == 0) {
        const auto* host = reinterpret_cast<const ws::hostent*>(FDnsLookupBuffer);
        for (char** entry = host->h_addr_list; entry && *entry; ++entry) FDnsResultList.push_back(DottedText(*entry));
        if (!FDnsResultList.empty()) FDnsResult = FDnsResultList.front();
    }
    TriggerDnsLookupDone(error);
}

bool TCustomWSocket::StartReverseLookup(const std::string& HostAddr, ws::u_long& Address) {
    if (HostAddr.empty() || HostAddr.size() > 256) {
        RaiseSocketException("Reverse DNS Lookup: Invalid host name.");
        TriggerDnsLookupDone(ws::WSAEINVAL);
        return false;
    }
    ForgetLastLookup();
    Address = WSocket::inet_addr(HostAddr.c_str());
    return true;
}

void TCustomWSocket::ReverseDnsLookup(const std::string& HostAddr) {
    ws::u_long address = 0;
    if (!StartReverseLookup(HostAddr, address)) return;
    if (!FWindowHandle) {
        RaiseSocketException("Reverse DNS Lookup: Window not assigned");
        return;
    }
    FDnsLookupHandle = WSocket::WSAAsyncGetHostByAddr(FWindowHandle, WM_ASYNCGETHOSTBYADDR,
                                                      reinterpret_cast<const char*>(&address), sizeof address,
                                                      ws::AF_INET, FDnsLookupBuffer, sizeof FDnsLookupBuffer);
    if (!FDnsLookupHandle)
        RaiseSocketException(HostAddr + ": can't start reverse DNS lookup - " +
                             FormatSocketError(WSocket::WSAGetLastError()));
}

namespace {

void TakeHostNames(const ws::hostent& Host, std::string& Result, std::vector<std::string>& List) {
    Result = Host.h_name ? Host.h_name : "";
    List.push_back(Result);
    for (char** alias = Host.h_aliases; alias && *alias; ++alias)
        if (**alias) List.emplace_back(*alias);
}

}  // namespace

void TCustomWSocket::HandleHostByAddrReply(TMessage& Msg) {
    if (!FDnsLookupHandle || reinterpret_cast<HANDLE>(Msg.WParam) != FDnsLookupHandle) return;
    FDnsLookupHandle = nullptr;
    const WORD error = ws::WSAGETASYNCERROR(Msg.LParam);
    if (error == 0) TakeHostNames(*reinterpret_cast<const ws::hostent*>(FDnsLookupBuffer), FDnsResult, FDnsResultList);
    TriggerDnsLookupDone(error);
}

void TCustomWSocket::ReverseDnsLookupSync(const std::string& HostAddr) {
    ws::u_long address = 0;
    if (!StartReverseLookup(HostAddr, address)) return;
    const ws::hostent* host =
        WSocket::gethostbyaddr(reinterpret_cast<const char*>(&address), sizeof address, ws::AF_INET);
    if (!host) {
        TriggerDnsLookupDone(static_cast<std::uint16_t>(WSocket::WSAGetLastError()));
        return;
    }
    TakeHostNames(*host, FDnsResult, FDnsResultList);
    TriggerDnsLookupDone(0);
}

void TCustomWSocket::CancelDnsLookup() {
    if (!FDnsLookupHandle) return;
    if (WSocket::WSACancelAsyncRequest(FDnsLookupHandle) != 0) {
        FDnsLookupHandle = nullptr;
        RaiseSocketError("WSACancelAsyncRequest");
        return;
    }
    FDnsLookupHandle = nullptr;
    if (!Destroying()) TriggerDnsLookupDone(ws::WSAEINTR);
}
