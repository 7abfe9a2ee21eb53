// All of the window-message services in one include.
#pragma once

#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/qt_message_host.h"
#include "platform/messages/thread_services.h"
#include "platform/messages/ticks.h"
#include "platform/messages/win_types.h"
