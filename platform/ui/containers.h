#pragma once
// Containers: TPanel, TGroupBox, TPageControl with its TTabSheet pages.
#include <string>
#include <vector>

#include "platform/ui/controls.h"

class QTabBar;
class TTabSheet;

// A plain rectangle that holds controls; its Caption shows in its middle.
class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl* parent);

protected:
    void ApplyText() override;
    void ApplyColor() override;
    void Resized() override;

private:
    QWidget* caption_ = nullptr;
};

// A framed box with a title that holds controls.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TWinControl* parent);
    int ClientWidth() const override;
    int ClientHeight() const override;
    TRect ClientArea() const override;

protected:
    void ApplyText() override;
};

// Pages with tabs. Pages are added as children: TabSheet1 = pc->Add<TTabSheet>("TabSheet1").
// SetActivePage fires nothing; a user click on a tab fires OnChange after the page shows.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TWinControl* parent);

    int PageCount() const { return int(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);

    TNotifyEvent OnChange;

    // For the layer and the harness.
    QTabBar* TabBar() const { return tabBar_; }
    void AddPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void PageCaptionChanged(TTabSheet* page);
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    void Resized() override;

private:
    void ShowActive();
    void UserChose(int index);
    QTabBar* tabBar_ = nullptr;
    std::vector<TTabSheet*> pages_;
    int active_ = -1;
};

// One page of a page control; its Caption is the text of its tab.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TWinControl* parent);  // the parent must be a TPageControl
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    int PageIndex() const;

protected:
    void ApplyText() override;

private:
    TPageControl* pageControl_ = nullptr;
};
