// The paint box of the page preview: hands paint, mouse and resize events to the main window.
#pragma once

#include <QWidget>

#include <functional>

namespace zarvo {

class TGrafikFeld : public QWidget {
    Q_OBJECT
public:
    explicit TGrafikFeld(QWidget* Parent = nullptr);

    std::function<void(QPainter&)> OnPaint;
    std::function<void(Qt::MouseButton, int, int)> OnMouseDown;
    std::function<void(int, int)> OnMouseMove;
    std::function<void()> OnResize;
    // Whole wheel notches (positive away from the user), the modifiers held and the pointer.
    std::function<void(int, Qt::KeyboardModifiers, int, int)> OnWheel;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;

private:
    int FWheelRest = 0; // eighths of a degree short of a whole notch, from fine-grained wheels
};

} // namespace zarvo
