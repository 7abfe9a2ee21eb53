#include "ftp/socket_component.h"

#include <algorithm>

TSocketComponent::~TSocketComponent() {
    BeginDestruction();
}

void TSocketComponent::BeginDestruction() noexcept {
    FDestroying = true;
    if (FNotified) return;
    FNotified = true;
    // Each partner forgets us before it hears of our removal, so a partner that drops
    // its own links from inside Notification cannot disturb this walk.
    while (!FFreeNotifies.empty()) {
        TSocketComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->Unlink(this);
        try {
            other->Notification(this, TOperation::opRemove);
        } catch (...) {
            // A destructor never throws: a failing notification is dropped.
        }
    }
}

void TSocketComponent::FreeNotification(TSocketComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
}

void TSocketComponent::RemoveFreeNotification(TSocketComponent* AComponent) {
    if (!AComponent) return;
    Unlink(AComponent);
    AComponent->Unlink(this);
}

void TSocketComponent::Unlink(TSocketComponent* AComponent) noexcept {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TSocketComponent::Notification(TSocketComponent*, TOperation) {}
