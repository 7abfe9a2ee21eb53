// All of the socket services in one include.
#pragma once

#include "platform/winsock/module_table.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_types.h"
