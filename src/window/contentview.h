// The preview's EPS drawings in the window: the View menu's check item, the background
// renderer behind it, repaints when a drawing arrives, and the tooltip of a failed one.
#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace zarvo {

class TEpsRenderer;
class TPageView;

class TContentView : public QObject {
public:
    // Shown: the configuration's choice (1 on, 0 off, -1 none yet: on when Ghostscript is
    // installed). Adds the check item to Menu; Field is the preview's paint box.
    TContentView(TPageView& View, QWidget& Field, QMenu& Menu, int Shown);
    ~TContentView() override;

    QAction* Action() const { return FAction; }
    // The choice for the configuration: 1 shown, 0 not, or as configured while there is no
    // Ghostscript to choose with.
    int Shown() const;
    void SetShown(bool On);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    TPageView& FView;
    QWidget& FField;
    QAction* FAction;
    int FConfigured;
    std::unique_ptr<TEpsRenderer> FRenderer; // none without Ghostscript
};

} // namespace zarvo
