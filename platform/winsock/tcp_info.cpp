// SIO_TCP_INFO over Linux's TCP_INFO and the send-queue counters. Kept apart: the
// kernel's tcp_info declaration clashes with the C library's.
#include "platform/winsock/detail/tcp_info.h"

#include <netinet/in.h>
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace wsimpl {

bool QueryTcpInfo(int Fd, ws::TCP_INFO_v0& Info) {
    tcp_info kernel{};
    socklen_t length = sizeof kernel;
    if (::getsockopt(Fd, IPPROTO_TCP, TCP_INFO, &kernel, &length) != 0) return false;
    int queued = 0;     // bytes in the send queue, sent or not
    int notSent = 0;    // of which not sent yet
    if (::ioctl(Fd, SIOCOUTQ, &queued) != 0 || ::ioctl(Fd, SIOCOUTQNSD, &notSent) != 0) return false;
    Info = ws::TCP_INFO_v0{};
    Info.State = kernel.tcpi_state;
    Info.Mss = kernel.tcpi_snd_mss;
    Info.TimestampsEnabled = (kernel.tcpi_options & TCPI_OPT_TIMESTAMPS) != 0;
    Info.RttUs = kernel.tcpi_rtt;
    Info.MinRttUs = kernel.tcpi_min_rtt;
    Info.BytesInFlight = static_cast<ws::u_long>(queued > notSent ? queued - notSent : 0);
    Info.Cwnd = kernel.tcpi_snd_cwnd * kernel.tcpi_snd_mss;
    Info.SndWnd = kernel.tcpi_snd_wnd;
    Info.RcvWnd = kernel.tcpi_rcv_space;
    Info.BytesOut = kernel.tcpi_bytes_sent;
    Info.BytesIn = kernel.tcpi_bytes_received;
    Info.BytesReordered = kernel.tcpi_reordering;
    Info.BytesRetrans = static_cast<ws::u_long>(kernel.tcpi_bytes_retrans);
    Info.FastRetrans = kernel.tcpi_retrans;
    Info.TimeoutEpisodes = kernel.tcpi_backoff;
    return true;
}

}  // namespace wsimpl
