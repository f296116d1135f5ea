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

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
};

} // namespace zarvo
