// The services and protocols databases (the system's own files).
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/winsock_api.h"

#include <netdb.h>

#include <string>
#include <vector>

namespace wsimpl {

namespace {

// Per-thread storage for the entries handed out, as on the platform: valid
// until the thread's next call of the same function.
struct Names {
    std::string name;
    std::vector<std::string> aliases;
    std::vector<char*> aliasPointers;
    std::string proto;

    char** Fill(char** systemAliases) {
        aliases.clear();
        for (char** a = systemAliases; a != nullptr && *a != nullptr; ++a) aliases.emplace_back(*a);
        aliasPointers.clear();
        for (auto& a : aliases) aliasPointers.push_back(a.data());
        aliasPointers.push_back(nullptr);
        return aliasPointers.data();
    }
};

}  // namespace

}  // namespace wsimpl

namespace ws {

servent* getservbyname(const char* name, const char* proto) {
    if (!wsimpl::BeginPlainCall("getservbyname")) return nullptr;
    if (name == nullptr) {
        wsimpl::SetError(WSAEFAULT);
        return nullptr;
    }
    ::servent entry{};
    ::servent* found = nullptr;
    char buffer[4096];
    if (::getservbyname_r(name, proto, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
        wsimpl::SetError(WSANO_DATA);
        return nullptr;
    }
    thread_local wsimpl::Names names;
    thread_local servent result;
    names.name = found->s_name != nullptr ? found->s_name : "";
    names.proto = found->s_proto != nullptr ? found->s_proto : "";
    result.s_aliases = names.Fill(found->s_aliases);
    result.s_name = names.name.data();
    result.s_proto = names.proto.data();
    result.s_port = static_cast<std::int16_t>(found->s_port);  // both in network order
    return &result;
}

protoent* getprotobyname(const char* name) {
    if (!wsimpl::BeginPlainCall("getprotobyname")) return nullptr;
    if (name == nullptr) {
        wsimpl::SetError(WSAEFAULT);
        return nullptr;
    }
    ::protoent entry{};
    ::protoent* found = nullptr;
    char buffer[4096];
    if (::getprotobyname_r(name, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
        wsimpl::SetError(WSANO_DATA);
        return nullptr;
    }
    thread_local wsimpl::Names names;
    thread_local protoent result;
    names.name = found->p_name != nullptr ? found->p_name : "";
    result.p_aliases = names.Fill(found->p_aliases);
    result.p_name = names.name.data();
    result.p_proto = static_cast<std::int16_t>(found->p_proto);
    return &result;
}

}  // namespace ws
