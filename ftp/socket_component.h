#pragma once
// The common base of the socket layer's components (sockets, logger, FTP client).
// It carries what those components need of a component: a name, the "being destroyed"
// flag, and the free notification that lets a component forget a reference to another
// one when that one is destroyed.
#include <string>
#include <vector>

enum class TOperation { opInsert, opRemove };

class TSocketComponent {
public:
    TSocketComponent() = default;
    TSocketComponent(const TSocketComponent&) = delete;
    TSocketComponent& operator=(const TSocketComponent&) = delete;
    virtual ~TSocketComponent();

    std::string Name;

    // True from the start of destruction on.
    bool Destroying() const { return FDestroying; }

    // Asks to be told (through Notification with opRemove) when AComponent is destroyed.
    // The link is mutual: whichever of the two goes first tells the other.
    void FreeNotification(TSocketComponent* AComponent);
    void RemoveFreeNotification(TSocketComponent* AComponent);

protected:
    virtual void Notification(TSocketComponent* AComponent, TOperation Operation);
    // Derived destructors call this first, so that their own teardown already sees the
    // flag set; the base destructor calls it in any case.
    void BeginDestruction() noexcept;

private:
    void Unlink(TSocketComponent* AComponent) noexcept;
    bool FDestroying = false;
    bool FNotified = false;
    std::vector<TSocketComponent*> FFreeNotifies;
};
